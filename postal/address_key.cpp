#include "postal/address_key.h"

#include "text/sjis.h"

namespace postal {

namespace {

// Two-byte characters written in more than one way, with the one they
// become ("ケ" 0x8350 and "の" 0x82CC).
struct Fold {
    unsigned char lead, trail;
    char toLead, toTrail;
};
constexpr Fold kFolds[] = {
    {0x83, 0x96, '\x83', '\x50'},  // ヶ
    {0x83, 0x95, '\x83', '\x50'},  // ヵ
    {0x82, 0xAA, '\x83', '\x50'},  // が
    {0x94, 0x56, '\x82', '\xCC'},  // 之
    {0x83, 0x6D, '\x82', '\xCC'},  // ノ
};

}  // namespace

std::string addressKey(std::string_view s) {
    std::string key;
    key.reserve(s.size());
    std::size_t step = 0;
    for (std::size_t pos = 0; pos < s.size(); pos += step) {
        step = sjis::charBytes(s, pos);
        const auto c = static_cast<unsigned char>(s[pos]);
        if (step == 1) {
            if (c <= 0x20 || c == 0x7F) continue;
            if (c >= 'a' && c <= 'z') key += static_cast<char>(c - 0x20);
            else if (c == 0xB9) key += "\x83\x50";  // ｹ
            else if (c == 0xC9) key += "\x82\xCC";  // ﾉ
            else key += static_cast<char>(c);
            continue;
        }
        const auto t = static_cast<unsigned char>(s[pos + 1]);
        if (c == 0x81 && t == 0x40) continue;  // full-width space
        if (c == 0x82 && t >= 0x4F && t <= 0x58) {
            key += static_cast<char>('0' + (t - 0x4F));
            continue;
        }
        if (c == 0x82 && t >= 0x60 && t <= 0x79) {
            key += static_cast<char>('A' + (t - 0x60));
            continue;
        }
        if (c == 0x82 && t >= 0x81 && t <= 0x9A) {
            key += static_cast<char>('A' + (t - 0x81));
            continue;
        }
        if (c == 0x81 && (t == 0x7C || t == 0x5D || t == 0x5C)) {
            key += '-';
            continue;
        }
        bool folded = false;
        for (const Fold& f : kFolds) {
            if (c == f.lead && t == f.trail) {
                key += f.toLead;
                key += f.toTrail;
                folded = true;
                break;
            }
        }
        if (!folded) key.append(s.substr(pos, 2));
    }
    return key;
}

std::string_view afterGun(std::string_view s) {
    // "郡" is 0x8C 0x53; stepping by characters keeps a trail byte of
    // another character from matching.
    std::size_t step = 0;
    for (std::size_t pos = 0; pos < s.size(); pos += step) {
        step = sjis::charBytes(s, pos);
        if (step == 2 && s[pos] == '\x8C' && s[pos + 1] == '\x53') return s.substr(pos + 2);
    }
    return {};
}

}  // namespace postal
