#pragma once
// Checking one order before a form is spent on it, and turning it into the
// waybill the layout prints (Shift-JIS fields).
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "batch/order.h"
#include "print/core/waybill_fields.h"

namespace batch {

// What the postal table says about a code and an address.
enum class PostalVerdict { Ok, Unknown, Mismatch, Unavailable };
// Seven digits without the hyphen, and the address (おところ① and ②
// joined), both UTF-8.
using PostalCheck = std::function<PostalVerdict(std::string_view zip7, std::string_view address)>;

struct Problem {
    Col col = Col::Count;  // Col::Count: the whole row
    std::string text;      // for the user, Japanese UTF-8
    // Set when the value looks damaged by a spreadsheet program and can be
    // mended: the value to put in its place once the user accepts it.
    std::string repair;
    // Something the carrier would rather have, which the user may accept
    // for the row (withWarningsAccepted) instead of mending it; accepted,
    // it no longer holds the row back but is still shown.
    bool warning = false;
    bool accepted = false;
    friend bool operator==(const Problem&, const Problem&) = default;
};

// Key of a problem's column for JSON ("row" for the whole row).
std::string_view problemKey(const Problem& p);

// A check that looks at the finished waybill (the text against its room on
// the form, for instance) and adds its findings.
using WaybillCheck = std::function<void(const print::WaybillFields&, std::vector<Problem>&)>;

struct Checks {
    PostalCheck postal;    // none: codes are checked for their form only
    WaybillCheck waybill;  // none: byte limits only
};

// Room of the printed fields in Shift-JIS bytes: the entry form's limits,
// and the length past which an address line runs out of its place.
inline constexpr std::size_t kZipBytes = 8;
inline constexpr std::size_t kNameBytes = 80;
inline constexpr std::size_t kGoodsBytes = 30;
inline constexpr std::size_t kTelBytes = 20;

struct CheckedOrder {
    print::WaybillFields fields;
    std::vector<Problem> problems;
    // Nothing holds the row back: every problem is an accepted warning.
    bool printable() const;
    // A problem other than a warning: the row cannot print even once its
    // warnings are accepted.
    bool hasErrors() const;
};

// Fields not given by the order come from `defaults`: the sender, the
// shipping date ("yyyy/mm/dd") and whether it prints, the goods lines, the
// time band and special handling, and the printer captions (resolution and
// margins). The file's sender is used when the order holds one.
CheckedOrder checkOrder(const Order& order, const print::WaybillFields& defaults, const Checks& checks);

// The order with every offered repair put in.
Order withRepairs(Order order, const std::vector<Problem>& problems);
// The order with its warnings accepted by the user: they no longer hold it
// back while their columns keep their values.
Order withWarningsAccepted(Order order, const std::vector<Problem>& problems);

// Normalised forms shared with the window: full-width digits, hyphens and
// blanks made half-width, "〒" and blanks dropped.
std::string halfWidthDigits(std::string_view utf8);

}  // namespace batch
