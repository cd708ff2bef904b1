// Fuzzes the numeric normaliser: whatever bytes arrive, the value text has
// the one shape the control relies on and stays within its limits.
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

#include "controls/num_filter.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

// Optional leading "-", digits, at most one "."; limits on both parts.
void checkShape(std::string_view v, const numedit::FilterOptions& o, bool stripped) {
    std::size_t i = 0;
    if (!v.empty() && v[0] == '-') {
        check(o.minus);
        i = 1;
    }
    int integer = 0, decimals = 0;
    bool point = false;
    for (; i < v.size(); ++i) {
        const char c = v[i];
        if (c == '.') {
            check(!point && o.decimalLength > 0);
            point = true;
        } else {
            check(c >= '0' && c <= '9');
            ++(point ? decimals : integer);
        }
    }
    check(decimals <= o.decimalLength);
    // Stripping may add one "0" in front of a bare point ("." -> "0."), but
    // only when there was no integer digit before.
    check(integer <= (stripped ? std::max(o.integerLength, 1) : o.integerLength));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    // The first two bytes choose the options, the rest is the text.
    numedit::FilterOptions o;
    o.integerLength = data[0] % 12;
    o.decimalLength = data[1] % 5;
    o.minus = (data[0] & 0x80) != 0;
    const bool zeroEnabled = (data[1] & 0x80) != 0;
    const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);

    const std::string filtered = numedit::FilterText(text, o);
    checkShape(filtered, o, false);
    const std::string value = numedit::StripLeadingZeros(filtered, zeroEnabled);
    checkShape(value, o, true);
    // A value already in shape passes the filter unchanged, and stripping
    // twice changes nothing more.
    check(numedit::FilterText(filtered, o) == filtered);
    check(numedit::StripLeadingZeros(value, zeroEnabled) == value);
    if (!zeroEnabled && value.size() > 1) {
        const std::size_t digits = value[0] == '-' ? 1 : 0;
        check(!(value[digits] == '0' && digits + 1 < value.size() && value[digits + 1] != '.'));
    }
    return 0;
}
