#include "postal/town_key.h"

#include <cstdint>

#include "postal/address_key.h"
#include "text/sjis.h"

namespace postal {

namespace {

// The kanji numerals, their two Shift-JIS bytes and what they stand for:
// a digit, or a multiplier (十, 百, 千).
struct Numeral {
    unsigned char lead, trail;
    int value;
    bool multiplier;
};
constexpr Numeral kNumerals[] = {
    {0x81, 0x5A, 0, false},   {0x88, 0xEA, 1, false},   {0x93, 0xF1, 2, false},  {0x8E, 0x4F, 3, false},
    {0x8E, 0x6C, 4, false},   {0x8C, 0xDC, 5, false},   {0x98, 0x5A, 6, false},  {0x8E, 0xB5, 7, false},
    {0x94, 0xAA, 8, false},   {0x8B, 0xE3, 9, false},   {0x8F, 0x5C, 10, true},  {0x95, 0x53, 100, true},
    {0x90, 0xE7, 1000, true},
};

const Numeral* numeralAt(std::string_view s, std::size_t pos) {
    if (pos + 1 >= s.size()) return nullptr;
    const auto lead = static_cast<unsigned char>(s[pos]);
    const auto trail = static_cast<unsigned char>(s[pos + 1]);
    for (const Numeral& n : kNumerals)
        if (n.lead == lead && n.trail == trail) return &n;
    return nullptr;
}

constexpr std::string_view kOaza = "\x91\xE5\x8E\x9A";  // 大字
constexpr std::string_view kAza = "\x8E\x9A";           // 字
constexpr std::string_view kOpenBracket = "\x81\x69";   // （

}  // namespace

std::string townKey(std::string_view sjisText) {
    const std::string key = addressKey(sjisText);
    std::string_view s = key;
    if (s.starts_with(kOaza)) s.remove_prefix(kOaza.size());
    else if (s.starts_with(kAza)) s.remove_prefix(kAza.size());

    std::string out;
    out.reserve(s.size());
    std::size_t step = 0;
    for (std::size_t pos = 0; pos < s.size(); pos += step) {
        step = sjis::charBytes(s, pos);
        if (s[pos] == '(' || s.substr(pos, step) == kOpenBracket) break;
        if (step != 2 || !numeralAt(s, pos)) {
            out.append(s.substr(pos, step));
            continue;
        }
        // A run of numerals: digits read place by place ("一〇" is 10), a
        // multiplier takes the digits before it ("二十一" is 2×10 + 1).
        // (A run is read in pieces past kRunLimit, so no sum can overflow.)
        constexpr std::int64_t kRunLimit = 1'000'000'000;
        std::int64_t total = 0;
        std::int64_t digits = 0;
        bool anyDigit = false;
        std::size_t at = pos;
        for (const Numeral* n = nullptr; (n = numeralAt(s, at)) != nullptr && total < kRunLimit && digits < kRunLimit; at += 2) {
            if (n->multiplier) {
                total += (anyDigit ? digits : 1) * n->value;
                digits = 0;
                anyDigit = false;
            } else {
                digits = digits * 10 + n->value;
                anyDigit = true;
            }
        }
        out += std::to_string(total + digits);
        step = at - pos;
    }
    return out;
}

std::string townKeyHead(std::string_view sjisTown) {
    if (sjisTown.empty()) return {};
    const std::string_view first = sjisTown.substr(0, sjis::charBytes(sjisTown, 0));
    if (numeralAt(first, 0) || first == kAza || sjisTown.starts_with(kOaza)) return {};
    return addressKey(first);
}

bool beginsWithTown(std::string_view restKey, std::string_view townKey) {
    if (townKey.empty() || !restKey.starts_with(townKey)) return false;
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    return restKey.size() == townKey.size() || !isDigit(townKey.back()) || !isDigit(restKey[townKey.size()]);
}

}  // namespace postal
