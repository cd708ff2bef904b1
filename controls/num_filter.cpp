#include "controls/num_filter.h"

#include "text/sjis.h"

namespace numedit {
namespace {

// One character of the input after the width conversion, as a byte value;
// kEnd means the conversion scan ends here, kSkip that the character
// yields nothing. Both lie outside the byte range.
constexpr int kEnd = -1;
constexpr int kSkip = -2;

// Converts the character at pos (advancing pos past it). Single bytes pass
// unchanged; of the double-byte characters only full-width digits, minus,
// full stop and comma are understood, anything else ends the reading.
int convertAt(std::string_view s, std::size_t& pos) {
    const auto c = static_cast<unsigned char>(s[pos]);
    if (!sjis::isLeadByte(c)) {
        ++pos;
        // 0x80, 0xA0 and 0xFD-0xFF are no character of their own: stray bytes.
        if (c == 0x80 || c == 0xA0 || c >= 0xFD) return kEnd;
        return c;
    }
    if (pos + 1 >= s.size()) return kEnd;  // lead byte without its trail byte
    const auto t = static_cast<unsigned char>(s[pos + 1]);
    pos += 2;
    if (c == 0x82 && t >= 0x4F && t <= 0x58) return '0' + (t - 0x4F);
    if (c == 0x81 && t == 0x7C) return '-';
    if (c == 0x81 && t == 0x44) return '.';
    if (c == 0x81 && t == 0x43) return kSkip;  // full-width comma: dropped
    return kEnd;
}

}  // namespace

std::string FilterText(std::string_view s, const FilterOptions& opt) {
    std::string out;
    bool hasPoint = false;
    int intDigits = 0;
    int decimals = 0;
    bool first = true;  // no character seen yet by the rule scan, commas included
    std::size_t pos = 0;
    const std::size_t n = s.size();
    while (pos < n) {
        const auto byte = static_cast<unsigned char>(s[pos]);
        char ch;
        if (byte >= 0x20 && byte < 0x7F) {  // the common case: printable ASCII
            ch = static_cast<char>(byte);
            ++pos;
        } else {
            const int converted = convertAt(s, pos);
            if (converted == kEnd) break;
            if (converted == kSkip) continue;
            ch = static_cast<char>(converted);
        }
        const bool atStart = first;
        first = false;
        if (ch == ',') continue;
        if (ch >= '0' && ch <= '9') {
            if (hasPoint) {
                // Decimals beyond the limit are cut; nothing after them can
                // change the result any more.
                if (decimals >= opt.decimalLength) break;
                ++decimals;
            } else if (++intDigits > opt.integerLength) {
                return {};  // too many integer digits drop the whole value
            }
            out += ch;
        } else if (ch == '-') {
            if (!opt.minus || !atStart) break;
            out += ch;
        } else if (ch == '.') {
            if (opt.decimalLength <= 0 || hasPoint) break;
            hasPoint = true;
            out += ch;
        } else {
            break;
        }
    }
    return out;
}

std::string StripLeadingZeros(std::string_view v, bool zeroEnabled) {
    if (zeroEnabled) return std::string(v);
    const bool negative = !v.empty() && v.front() == '-';
    if (negative) v.remove_prefix(1);
    std::size_t zeros = 0;
    while (zeros < v.size() && v[zeros] == '0') ++zeros;
    const std::string_view rest = v.substr(zeros);
    std::string out;
    out.reserve(rest.size() + 2);
    if (negative) out += '-';
    if (rest.empty()) {
        if (zeros > 0) out += '0';  // only zeros: one stays
    } else {
        if (rest.front() == '.') out += '0';
        out.append(rest);
    }
    return out;
}

}  // namespace numedit
