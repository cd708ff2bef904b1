#pragma once
// Tracking numbers (伝票番号) of the pre-printed waybill forms: twelve
// digits, the last being the first eleven read as one number modulo 7.
// Read as a user types them or a barcode scanner sends them (NW-7 codes
// carry a start and a stop letter A-D).
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace batch {

inline constexpr std::size_t kTrackingDigits = 12;

// The check digit of the first eleven digits (no validation of the text).
int trackingCheckDigit(std::string_view elevenDigits);

// True for twelve ASCII digits whose last is their check digit.
bool isValidTracking(std::string_view digits);

// Why a text is no tracking number; the message is Japanese UTF-8.
struct TrackingRefusal {
    std::string reason;
};

// The twelve digits of a typed or scanned number: full-width digits count
// as digits; blanks, hyphens and a leading and trailing letter A-D (either
// case) are dropped. Anything else, another length or a wrong check digit
// is refused with its reason ("伝票番号の検査数字が合いません").
std::variant<std::string, TrackingRefusal> parseTracking(std::string_view utf8);

// The number `steps` forms after a valid one: the first eleven digits
// counted on, the check digit computed again. Empty when the count runs
// past eleven digits.
std::string nextTracking(std::string_view validDigits, std::uint64_t steps = 1);

}  // namespace batch
