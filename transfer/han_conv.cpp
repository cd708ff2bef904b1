#include "transfer/han_conv.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "text/sjis.h"
#include "text/sjis_convert.h"

// The mapping follows the Unicode <wide>/<narrow> compatibility
// decompositions, towards the narrow side, restricted to narrow forms that
// Shift-JIS holds as single bytes:
//   U+FF01..U+FF5E -> ASCII "!".."~" (so "～" U+FF5E becomes "~"),
//   U+3000         -> " ",
//   kana and kana punctuation -> U+FF61..U+FF9F (0xA1..0xDF), a voiced or
//   semi-voiced katakana as its base letter followed by "ﾞ" or "ﾟ".
// The full-width signs "￠" "￡" "￢" "￣" "￤" "￥" stay as they are: their
// narrow forms (¢ £ ¬ ¯ ¦ ¥) have no single-byte Shift-JIS code, and the
// yen's nearest byte 0x5C reads back as a backslash. Curly quotes have no
// narrow form at all and stay too.
namespace {

// Wide counterparts of the half-width katakana U+FF61..U+FF9D, in order.
constexpr char32_t kWideKana[] =
    U"。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン";
constexpr std::u32string_view kVoiceable = U"カキクケコサシスセソタチツテトハヒフヘホ";
constexpr std::u32string_view kSemiVoiceable = U"ハヒフヘホ";
constexpr unsigned char kFirstHalfKana = 0xA1;  // Shift-JIS of U+FF61
constexpr unsigned char kVoicedMark = 0xDE;     // "ﾞ"
constexpr unsigned char kSemiVoicedMark = 0xDF; // "ﾟ"

bool isOneOf(char32_t c, std::u32string_view set) { return set.find(c) != std::u32string_view::npos; }

// Narrow Shift-JIS bytes packed low byte first; 0 means "no narrow form".
using Packed = std::uint16_t;

Packed pack(unsigned char a, unsigned char b = 0) { return static_cast<Packed>(a | (b << 8)); }

Packed narrowOf(char32_t c) {
    if (c >= 0xFF01 && c <= 0xFF5E) return pack(static_cast<unsigned char>(c - 0xFF01 + 0x21));
    if (c == 0x3000) return pack(' ');
    if (c == 0x309B) return pack(kVoicedMark);      // "゛"
    if (c == 0x309C) return pack(kSemiVoicedMark);  // "゜"
    for (std::size_t i = 0; kWideKana[i] != 0; ++i) {
        const auto half = static_cast<unsigned char>(kFirstHalfKana + i);
        const char32_t base = kWideKana[i];
        if (c == base) return pack(half);
        // Voiced letters follow their base letter in Unicode (カ ガ, ハ バ パ).
        if (isOneOf(base, kVoiceable) && c == base + 1) return pack(half, kVoicedMark);
        if (isOneOf(base, kSemiVoiceable) && c == base + 2) return pack(half, kSemiVoicedMark);
        if (base == U'ウ' && c == U'ヴ') return pack(half, kVoicedMark);
    }
    return 0;
}

// Decodes a UTF-8 text that holds exactly one code point; 0 otherwise.
char32_t singleCodePoint(const std::string& u) {
    const auto b = [&](std::size_t i) { return static_cast<char32_t>(static_cast<unsigned char>(u[i])); };
    if (u.size() == 2 && (b(0) & 0xE0) == 0xC0) return ((b(0) & 0x1F) << 6) | (b(1) & 0x3F);
    if (u.size() == 3 && (b(0) & 0xF0) == 0xE0)
        return ((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
    return 0;
}

// Narrow form of every double-byte code, indexed by lead << 8 | trail.
// Built once by decoding each code, so duplicate codes (the NEC and IBM
// copies of "＂" "＇" and friends) convert too.
const std::array<Packed, 65536>& table() {
    static const auto t = [] {
        auto a = std::make_unique<std::array<Packed, 65536>>();
        a->fill(0);
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (!sjis::isLeadByte(static_cast<unsigned char>(lead))) continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                if (trail == 0x7F) continue;
                const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                const char32_t c = singleCodePoint(sjis::toUtf8(std::string_view(pair, 2)));
                if (c != 0 && c != 0xFFFD) (*a)[static_cast<std::size_t>(lead << 8 | trail)] = narrowOf(c);
            }
        }
        return a;
    }();
    return *t;
}

}  // namespace

std::string Han_Conv(std::string_view s) {
    const auto& t = table();
    std::string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (!sjis::isLeadByte(c) || i + 1 >= s.size()) {
            out.push_back(s[i++]);
            continue;
        }
        const Packed p = t[static_cast<std::size_t>(c << 8 | static_cast<unsigned char>(s[i + 1]))];
        if (p == 0) {
            out.append(s.substr(i, 2));
        } else {
            out.push_back(static_cast<char>(p & 0xFF));
            if (p >> 8) out.push_back(static_cast<char>(p >> 8));
        }
        i += 2;
    }
    return out;
}

namespace {

bool isDigitAt(std::string_view s, std::size_t pos, std::size_t bytes) {
    const auto a = static_cast<unsigned char>(s[pos]);
    if (bytes == 1) return a >= '0' && a <= '9';
    const auto b = static_cast<unsigned char>(s[pos + 1]);
    return a == 0x82 && b >= 0x4F && b <= 0x58;  // "０".."９"
}

bool isHyphenLikeAt(std::string_view s, std::size_t pos, std::size_t bytes) {
    const auto a = static_cast<unsigned char>(s[pos]);
    if (bytes == 1) return a == 0xB0;  // "ｰ"
    const auto b = static_cast<unsigned char>(s[pos + 1]);
    // "ー" 815B, "―" 815C, "‐" 815D, "－" 817C (where "−" lands too).
    return a == 0x81 && (b == 0x5B || b == 0x5C || b == 0x5D || b == 0x7C);
}

}  // namespace

std::string hyphensBetweenDigits(std::string_view s) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < s.size(); i += sjis::charBytes(s, i)) starts.push_back(i);
    starts.push_back(s.size());
    std::string out;
    out.reserve(s.size());
    for (std::size_t k = 0; k + 1 < starts.size(); ++k) {
        const std::size_t at = starts[k];
        const std::size_t bytes = starts[k + 1] - at;
        const bool between = k > 0 && k + 2 < starts.size() && isHyphenLikeAt(s, at, bytes) &&
                             isDigitAt(s, starts[k - 1], at - starts[k - 1]) &&
                             isDigitAt(s, starts[k + 1], starts[k + 2] - starts[k + 1]);
        if (between)
            out.push_back('-');
        else
            out.append(s.substr(at, bytes));
    }
    return out;
}

std::string halfWidthCode(std::string_view s) { return Han_Conv(hyphensBetweenDigits(s)); }
