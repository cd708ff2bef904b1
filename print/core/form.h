#pragma once
// A pre-printed form as data: its size, the carrier it belongs to, the rule
// of its tracking numbers, and where each item of the waybill is printed.
// The built-in form is the compiled table of form_items.h; other forms come
// from form files. Every place is in form units of 1/160 inch, as there.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "print/core/form_items.h"

namespace print {

// How a form's tracking numbers are made.
enum class TrackingRule : std::uint8_t {
    None,    // the form carries no number the program proposes or checks
    Mod7,    // `digits` digits, the last one the others read as one number modulo 7
    Digits,  // `digits` digits, no check digit
};

// What the sales platforms are told about the carrier of a parcel printed on
// this form (UTF-8).
struct FormCarrier {
    std::string name = "日本通運";      // the carrier's name (配送会社)
    std::string method = "ペリカン便";  // the service (shipping method)
    std::string amazonCode = "Other";   // Amazon's carrier-code; "Other" with the name for an unlisted one
    std::string rakutenCode = "1021";   // 楽天's number of the carrier
    friend bool operator==(const FormCarrier&, const FormCarrier&) = default;
};

struct Form {
    std::string id = "pelican";  // file stem, what a printer record and the history name
    std::string name = "\xe3\x83\x9a\xe3\x83\xaa\xe3\x82\xab\xe3\x83\xb3\xe4\xbe\xbf \xe9\x80\x81\xe3\x82\x8a\xe7\x8a\xb6";  // ペリカン便 送り状 (UTF-8)
    FormCarrier carrier;
    int width = kFormWidth, height = kFormHeight;  // form units
    int pageLength = kFormHeight;  // the continuous form's feed per waybill, form units
    TrackingRule tracking = TrackingRule::Mod7;
    int trackingDigits = 12;

    // The items this form prints, each at most once, in FormItem order. An
    // item that is not here is not printed on this form. `key` and `label`
    // always point at the built-in table's texts.
    std::vector<FormItemPlace> items;
    // The longest text in Shift-JIS bytes an item takes; 0: no limit of the
    // form's own. Indexed by FormItem.
    std::array<int, static_cast<std::size_t>(FormItem::Count)> byteLimits{};

    // The item's place, or nullptr when the form does not print it.
    const FormItemPlace* find(FormItem item) const;
    bool builtIn() const;
    friend bool operator==(const Form&, const Form&);
};

// The compiled form, made once.
const Form& builtinForm();

// The built-in table's entry for the item whose key is `key` ("zip1",
// "add1", "my_tel"), or nullptr.
const FormItemPlace* itemByKey(std::string_view key);

}  // namespace print
