#include "text/sjis.h"

namespace sjis {

std::size_t charBytes(std::string_view s, std::size_t pos) {
    if (pos + 1 < s.size() && isLeadByte(static_cast<unsigned char>(s[pos]))) return 2;
    return 1;
}

std::size_t lengthInChars(std::string_view s) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < s.size(); i += charBytes(s, i)) ++n;
    return n;
}

static bool isBlankByte(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string_view trimLeftView(std::string_view s) {
    while (!s.empty() && isBlankByte(s.front())) s.remove_prefix(1);
    return s;
}

std::string_view trimRightView(std::string_view s) {
    // A trailing byte <= 32 can never be the trail byte of a pair
    // (trail bytes are 0x40..0xFC), so plain byte trimming is safe.
    while (!s.empty() && isBlankByte(s.back())) s.remove_suffix(1);
    return s;
}

std::string_view trimView(std::string_view s) { return trimRightView(trimLeftView(s)); }

std::string trimLeft(std::string_view s) { return std::string(trimLeftView(s)); }
std::string trimRight(std::string_view s) { return std::string(trimRightView(s)); }
std::string trim(std::string_view s) { return std::string(trimView(s)); }

std::string_view prefixBytes(std::string_view s, std::size_t maxBytes) {
    std::size_t i = 0;
    while (i < s.size()) {
        std::size_t n = charBytes(s, i);
        if (i + n > maxBytes) break;
        i += n;
    }
    return s.substr(0, i);
}

std::string substrBytes(std::string_view s, std::size_t pos1, std::size_t count) {
    if (pos1 == 0 || count == 0) return {};
    const std::size_t from = pos1 - 1, to = from + count;
    std::string out;
    for (std::size_t i = 0; i < s.size() && i < to;) {
        std::size_t n = charBytes(s, i);
        if (i >= from && i + n <= to) out.append(s.substr(i, n));
        i += n;
    }
    return out;
}

bool isWellFormed(std::string_view s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (isLeadByte(static_cast<unsigned char>(s[i]))) {
            if (i + 1 >= s.size()) return false;
            ++i;
        }
    }
    return true;
}

}  // namespace sjis
