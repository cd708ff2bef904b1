#include "history/history_text.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "text/sjis.h"
#include "text/sjis_convert.h"

namespace store {

namespace {

// Full-width katakana (and punctuation) for U+FF61..U+FF9F in order.
constexpr char16_t kHalfKana[] = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9, 0x30E3,
    0x30E5, 0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB, 0x30AD, 0x30AF,
    0x30B1, 0x30B3, 0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1, 0x30C4, 0x30C6, 0x30C8,
    0x30CA, 0x30CB, 0x30CC, 0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5, 0x30D8, 0x30DB, 0x30DE, 0x30DF,
    0x30E0, 0x30E1, 0x30E2, 0x30E4, 0x30E6, 0x30E8, 0x30E9, 0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF,
    0x30F3, 0x309B, 0x309C};

// Decodes one UTF-8 character at pos; returns 0 bytes for an invalid one.
std::size_t decode(std::string_view s, std::size_t pos, char32_t& out) {
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[pos + i]); };
    const unsigned char c = b(0);
    std::size_t n = 0;
    if (c < 0x80) { out = c; return 1; }
    if (c >= 0xC2 && c <= 0xDF) { n = 2; out = c & 0x1Fu; }
    else if (c >= 0xE0 && c <= 0xEF) { n = 3; out = c & 0x0Fu; }
    else if (c >= 0xF0 && c <= 0xF4) { n = 4; out = c & 0x07u; }
    else return 0;
    if (pos + n > s.size()) return 0;
    for (std::size_t i = 1; i < n; ++i) {
        if ((b(i) & 0xC0) != 0x80) return 0;
        out = (out << 6) | (b(i) & 0x3Fu);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not characters.
    if ((n == 3 && out < 0x800) || (n == 4 && (out < 0x10000 || out > 0x10FFFF)) ||
        (out >= 0xD800 && out <= 0xDFFF))
        return 0;
    return n;
}

void encode(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The katakana that a voiced (dakuten) mark turns into the next code point.
bool takesVoicedMark(char32_t kana) {
    return (kana >= 0x30AB && kana <= 0x30C8 && kana != 0x30C3) || (kana >= 0x30CF && kana <= 0x30DB);
}

}  // namespace

std::string telKey(std::string_view sjisText) {
    std::string key;
    for (std::size_t i = 0; i < sjisText.size();) {
        const std::size_t n = sjis::charBytes(sjisText, i);
        const auto c0 = static_cast<unsigned char>(sjisText[i]);
        if (n == 1 && c0 >= '0' && c0 <= '9') {
            key += static_cast<char>(c0);
        } else if (n == 2 && c0 == 0x82) {
            // Full-width digits are 0x824F..0x8258.
            const auto c1 = static_cast<unsigned char>(sjisText[i + 1]);
            if (c1 >= 0x4F && c1 <= 0x58) key += static_cast<char>('0' + (c1 - 0x4F));
        }
        i += n;
    }
    return key;
}

std::string searchFold(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t c = 0;
        const std::size_t n = decode(utf8, i, c);
        if (n == 0) {
            ++i;
            continue;
        }
        i += n;
        if (c >= 0xFF01 && c <= 0xFF5E) c -= 0xFEE0;  // full-width ASCII
        if (c == 0x3000) c = ' ';
        if (c >= 'A' && c <= 'Z') c += 'a' - 'A';
        if (c < 0x20 || c == 0x7F) continue;
        if (c >= 0xFF61 && c <= 0xFF9F) {
            c = kHalfKana[c - 0xFF61];
            char32_t mark = 0;
            const std::size_t m = i < utf8.size() ? decode(utf8, i, mark) : 0;
            if (m != 0 && mark == 0xFF9E && (takesVoicedMark(c) || c == 0x30A6)) {
                c = c == 0x30A6 ? char32_t{0x30F4} : c + 1;  // ｳﾞ is ヴ
                i += m;
            } else if (m != 0 && mark == 0xFF9F && c >= 0x30CF && c <= 0x30DB) {
                c += 2;
                i += m;
            }
        }
        encode(c, out);
    }
    return out;
}

namespace {

// Dashes and blanks that may stand between the groups of a number.
bool separatorAt(std::string_view s, std::size_t pos, std::size_t& bytes) {
    char32_t c = 0;
    bytes = decode(s, pos, c);
    if (bytes == 0) {
        bytes = 1;
        return false;
    }
    return c == '-' || c == ' ' || c == '(' || c == ')' || (c >= 0x2010 && c <= 0x2015) || c == 0x2212 ||
           c == 0x30FC;
}

// The digits of a folded field and where each of its groups starts in them.
struct Digits {
    std::string all;
    std::vector<std::size_t> groups;
};

Digits digitsOf(std::string_view utf8) {
    const std::string folded = searchFold(utf8);
    Digits d;
    bool inGroup = false;
    for (const char ch : folded) {
        const bool digit = ch >= '0' && ch <= '9';
        if (digit && !inGroup) d.groups.push_back(d.all.size());
        if (digit) d.all += ch;
        inGroup = digit;
    }
    return d;
}

constexpr std::size_t kNumberDigits = 4;

}  // namespace

std::string numberQuery(std::string_view folded) {
    std::string digits;
    for (std::size_t i = 0; i < folded.size();) {
        std::size_t n = 1;
        if (folded[i] >= '0' && folded[i] <= '9') digits += folded[i];
        else if (!separatorAt(folded, i, n)) return {};
        i += n;
    }
    return digits.size() >= kNumberDigits ? digits : std::string();
}

std::vector<std::string> numberKeys(std::string_view zip, std::string_view tel, std::string_view tracking,
                                    std::string_view orderNo) {
    std::vector<std::string> keys;
    const auto add = [&](const std::string& key) {
        if (key.size() >= kNumberDigits + (key[0] == 'r' ? 1 : 0)) keys.push_back(key);
    };
    const auto fromGroups = [&](const Digits& d, bool reversed) {
        for (const std::size_t at : d.groups) add(d.all.substr(at));
        if (reversed) add("r" + std::string(d.all.rbegin(), d.all.rend()));
    };
    fromGroups(digitsOf(zip), false);
    fromGroups(digitsOf(tel), true);
    fromGroups(digitsOf(orderNo), true);
    const Digits t = digitsOf(tracking);
    fromGroups(t, true);
    if (t.all.size() >= 2 * kNumberDigits) add(t.all.substr(kNumberDigits));
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    return keys;
}

std::vector<std::string> numberKeys(const WaybillRecord& r) {
    const auto u = [](const std::string& s) { return sjis::toUtf8(s); };
    return numberKeys(u(r.consignee.zip), u(r.consignee.tel), u(r.tracking), u(r.orderNo));
}

std::array<std::string, 2> numberPrefixes(const std::string& digits) {
    return {digits, "r" + std::string(digits.rbegin(), digits.rend())};
}

bool rowMatches(const std::string& folded, const std::string& searchText, const std::vector<std::string>& keys) {
    const std::string digits = numberQuery(folded);
    if (digits.empty()) return searchText.find(folded) != std::string::npos;
    for (const std::string& prefix : numberPrefixes(digits))
        for (const std::string& key : keys)
            if (key.compare(0, prefix.size(), prefix) == 0) return true;
    return false;
}

std::size_t utf8Length(std::string_view utf8) {
    std::size_t n = 0;
    for (const char ch : utf8)
        if ((static_cast<unsigned char>(ch) & 0xC0) != 0x80) ++n;
    return n;
}

std::string prefixBound(std::string_view prefix) {
    std::string bound(prefix);
    while (!bound.empty()) {
        auto& last = bound.back();
        if (static_cast<unsigned char>(last) != 0xFF) {
            last = static_cast<char>(static_cast<unsigned char>(last) + 1);
            return bound;
        }
        bound.pop_back();
    }
    return bound;
}

}  // namespace store
