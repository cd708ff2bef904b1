// Fuzz target: typed or scanned text as a tracking number. What is
// accepted is twelve digits that pass the check, reads back as itself with
// the barcode's letters around it, and counts on to valid numbers.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>

#include "batch/tracking_number.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto parsed = batch::parseTracking(text);
    if (const auto* refusal = std::get_if<batch::TrackingRefusal>(&parsed)) {
        if (refusal->reason.empty()) std::abort();
        return 0;
    }
    const auto& digits = std::get<std::string>(parsed);
    if (!batch::isValidTracking(digits)) std::abort();
    const auto again = batch::parseTracking("A" + digits + "D");
    if (!std::holds_alternative<std::string>(again) || std::get<std::string>(again) != digits) std::abort();
    for (std::uint64_t k : {1u, 2u, 7u, 1000u}) {
        const std::string next = batch::nextTracking(digits, k);
        if (!next.empty() && (!batch::isValidTracking(next) || next <= digits)) std::abort();
    }
    return 0;
}
