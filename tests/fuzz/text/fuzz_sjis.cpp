// Fuzz target: Shift-JIS (CP932) conversion and byte helpers on arbitrary
// bytes. The input is read both as CP932 and as UTF-8; every result must be
// well-formed in its own encoding, and text that came from CP932 must come
// back unchanged through one more round trip.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "text/sjis.h"
#include "text/sjis_convert.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

// Strict UTF-8: shortest forms only, no surrogates, nothing past U+10FFFF.
bool isValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t n = 0;
        std::uint32_t cp = 0;
        if (c < 0x80) { ++i; continue; }
        if (c >= 0xC2 && c <= 0xDF) { n = 1; cp = c & 0x1Fu; }
        else if (c >= 0xE0 && c <= 0xEF) { n = 2; cp = c & 0x0Fu; }
        else if (c >= 0xF0 && c <= 0xF4) { n = 3; cp = c & 0x07u; }
        else return false;
        if (i + n >= s.size()) return false;
        for (std::size_t k = 1; k <= n; ++k) {
            const auto t = static_cast<unsigned char>(s[i + k]);
            if ((t & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (t & 0x3Fu);
        }
        if ((n == 2 && cp < 0x800) || (n == 3 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += n + 1;
    }
    return true;
}

void checkByteHelpers(std::string_view s, std::size_t cut) {
    // Stepping by characters lands exactly on the end.
    std::size_t chars = 0, i = 0;
    while (i < s.size()) {
        const std::size_t n = sjis::charBytes(s, i);
        check(n == 1 || n == 2);
        i += n;
        ++chars;
    }
    check(i == s.size() && chars == sjis::lengthInChars(s));

    const std::string_view prefix = sjis::prefixBytes(s, cut);
    check(prefix.size() <= cut && s.substr(0, prefix.size()) == prefix);
    // Never more than one byte short of the limit, and never half a pair.
    check(prefix.size() + 1 >= std::min(cut, s.size()));
    if (sjis::isWellFormed(s)) check(sjis::isWellFormed(prefix));

    const std::string part = sjis::substrBytes(s, cut % 7 + 1, cut);
    check(part.size() <= cut);
    if (!part.empty()) check(s.find(part) != std::string_view::npos);
    if (sjis::isWellFormed(s)) check(sjis::isWellFormed(part));

    const std::string trimmed = sjis::trim(s);
    check(trimmed.size() <= s.size() && s.find(trimmed) != std::string_view::npos);
    check(sjis::trim(trimmed) == trimmed);
    if (!trimmed.empty()) {
        check(static_cast<unsigned char>(trimmed.front()) > 32);
        check(static_cast<unsigned char>(trimmed.back()) > 32);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = size ? data[0] % (size + 1) : 0;
    checkByteHelpers(bytes, cut);

    // As CP932: always decodes to valid UTF-8 (unknown bytes as U+FFFD).
    const std::string utf8 = sjis::toUtf8(bytes);
    check(isValidUtf8(utf8));
    // Text decoded from CP932 encodes again, and that encoding decodes to
    // the same text (the round trip of what a user's file holds).
    if (const auto again = sjis::fromUtf8(utf8)) {
        check(sjis::isWellFormed(*again));
        check(sjis::toUtf8(*again) == utf8);
    }

    // As UTF-8: the strict conversion, the check and the lossy one agree.
    const auto strict = sjis::fromUtf8(bytes);
    check(sjis::canEncode(bytes) == strict.has_value());
    const std::string lossy = sjis::fromUtf8Lossy(bytes);
    check(sjis::isWellFormed(lossy));
    if (strict) {
        check(*strict == lossy);
        check(isValidUtf8(sjis::toUtf8(*strict)));
    }
    return 0;
}
