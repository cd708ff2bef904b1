#pragma once
// Tracking numbers (伝票番号) of the pre-printed waybill forms. The built-in
// form's are twelve digits, the last being the first eleven read as one
// number modulo 7; another form names its own rule and length (none, plain
// digits, or modulo 7 of the others). Read as a user types them or a
// barcode scanner sends them (NW-7 codes carry a start and a stop letter A-D).
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "print/core/form.h"

namespace batch {

inline constexpr std::size_t kTrackingDigits = 12;

// How a form's numbers are made: the rule and the count of digits.
struct TrackingScheme {
    print::TrackingRule rule = print::TrackingRule::Mod7;
    std::size_t digits = kTrackingDigits;
    friend bool operator==(const TrackingScheme&, const TrackingScheme&) = default;
};

// The scheme of the form's numbers.
TrackingScheme trackingSchemeOf(const print::Form& form);

// The check digit of the digits before it: their number modulo 7 (no
// validation of the text).
int trackingCheckDigit(std::string_view others);

// True for the scheme's count of ASCII digits, the last of them the check
// digit under the modulo-7 rule. Never true for a form without numbers.
bool isValidTracking(std::string_view digits, const TrackingScheme& scheme = {});

// Why a text is no tracking number; the message is Japanese UTF-8.
struct TrackingRefusal {
    std::string reason;
};

// The digits of a typed or scanned number: full-width digits count as
// digits; blanks, hyphens and a leading and trailing letter A-D (either
// case) are dropped. Anything else, another length or a wrong check digit
// is refused with its reason ("伝票番号の検査数字が合いません"); so is every
// number for a form without numbers.
std::variant<std::string, TrackingRefusal> parseTracking(std::string_view utf8, const TrackingScheme& scheme = {});

// The number `steps` forms after a valid one: counted on (all but the check
// digit under the modulo-7 rule, which is computed again). Empty when the
// count runs past the digits, or the form has no numbers.
std::string nextTracking(std::string_view validDigits, std::uint64_t steps = 1, const TrackingScheme& scheme = {});

}  // namespace batch
