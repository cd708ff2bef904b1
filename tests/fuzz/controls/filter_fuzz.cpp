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

// The normaliser written the slow, obvious way (convert everything, then
// scan, then apply the limits); the real one stops early and must agree.
std::string referenceFilter(std::string_view s, const numedit::FilterOptions& o) {
    std::string converted;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        if (!lead) {
            if (c == 0 || c == 0x80 || c == 0xA0 || c >= 0xFD) break;
            converted += static_cast<char>(c);
            ++i;
            continue;
        }
        if (i + 1 >= s.size()) break;
        const auto t = static_cast<unsigned char>(s[i + 1]);
        i += 2;
        if (c == 0x82 && t >= 0x4F && t <= 0x58) converted += static_cast<char>('0' + t - 0x4F);
        else if (c == 0x81 && t == 0x7C) converted += '-';
        else if (c == 0x81 && t == 0x44) converted += '.';
        else if (c == 0x81 && t == 0x43) continue;
        else break;
    }
    std::string out;
    bool point = false;
    for (std::size_t i = 0; i < converted.size(); ++i) {
        const char c = converted[i];
        if (c == ',') continue;
        if (c == '.' && o.decimalLength > 0 && !point) point = true;
        else if (c == '-' && o.minus && i == 0) {
        } else if (c < '0' || c > '9') break;
        out += c;
    }
    if (out.empty()) return out;
    const auto dot = out.find('.');
    if (dot != std::string::npos && out.size() - dot - 1 > static_cast<std::size_t>(o.decimalLength))
        out.resize(dot + 1 + static_cast<std::size_t>(o.decimalLength));
    const std::size_t intEnd = dot == std::string::npos ? out.size() : dot;
    const std::size_t digits = intEnd - (out[0] == '-' ? 1 : 0);
    if (digits > static_cast<std::size_t>(o.integerLength)) return {};
    return out;
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
    check(filtered == referenceFilter(text, o));
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
