#include "batch/address_join.h"

#include <algorithm>
#include <vector>

#include "print/core/form_items.h"
#include "text/sjis_convert.h"

namespace batch {

namespace {

// Code point of the UTF-8 character at s[i] (len bytes).
char32_t codePoint(std::string_view s, std::size_t i, std::size_t len) {
    auto b = [&](std::size_t k) { return static_cast<char32_t>(static_cast<unsigned char>(s[i + k])); };
    if (len == 1 || i + len > s.size()) return b(0);
    if (len == 2) return ((b(0) & 0x1F) << 6) | (b(1) & 0x3F);
    if (len == 3) return ((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
    return ((b(0) & 0x07) << 18) | ((b(1) & 0x3F) << 12) | ((b(2) & 0x3F) << 6) | (b(3) & 0x3F);
}

bool isDigit(char32_t c) { return (c >= U'0' && c <= U'9') || (c >= U'０' && c <= U'９'); }
// Characters that continue a house number ("1-2", "1の2").
bool joinsNumber(char32_t c) {
    return c == U'-' || c == U'－' || c == U'ー' || c == U'‐' || c == U'−' || c == U'の';
}
bool isBlank(char32_t c) { return c == U' ' || c == U'\u3000'; }
bool endsPlaceName(char32_t c) {
    return c == U'都' || c == U'道' || c == U'府' || c == U'県' || c == U'市' || c == U'区' || c == U'郡' ||
           c == U'町' || c == U'村';
}

constexpr std::string_view kWideSpace = "\xE3\x80\x80";  // U+3000

std::string trimBlanks(std::string_view s) {
    auto blankAt = [&](std::size_t i) { return s[i] == ' ' || s.substr(i, kWideSpace.size()) == kWideSpace; };
    std::size_t b = 0;
    while (b < s.size() && blankAt(b)) b += s[b] == ' ' ? 1u : 3u;
    std::size_t e = s.size();
    while (e > b && (s[e - 1] == ' ' || (e - b >= 3 && s.substr(e - 3, kWideSpace.size()) == kWideSpace)))
        e -= s[e - 1] == ' ' ? 1u : 3u;
    return std::string(s.substr(b, e - b));
}

constexpr std::string_view kPrefectures[] = {
    "北海道", "青森県", "岩手県", "宮城県", "秋田県", "山形県", "福島県", "茨城県", "栃木県", "群馬県",
    "埼玉県", "千葉県", "東京都", "神奈川県", "新潟県", "富山県", "石川県", "福井県", "山梨県", "長野県",
    "岐阜県", "静岡県", "愛知県", "三重県", "滋賀県", "京都府", "大阪府", "兵庫県", "奈良県", "和歌山県",
    "鳥取県", "島根県", "岡山県", "広島県", "山口県", "徳島県", "香川県", "愛媛県", "高知県", "福岡県",
    "佐賀県", "長崎県", "熊本県", "大分県", "宮崎県", "鹿児島県", "沖縄県",
};

}  // namespace

std::string prefectureOfCode(std::string_view text) {
    if (text.empty() || text.size() > 2 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::string(text);
    const int code = text.size() == 1 ? text[0] - '0' : (text[0] - '0') * 10 + (text[1] - '0');
    if (code < 1 || code > 47) return std::string(text);
    return std::string(kPrefectures[code - 1]);
}

bool startsWithPrefecture(std::string_view s) {
    return std::any_of(std::begin(kPrefectures), std::end(kPrefectures),
                       [&](std::string_view p) { return s.substr(0, p.size()) == p; });
}

AddressLines splitOneFieldAddress(std::string_view addressIn, std::string_view rest, std::size_t room) {
    const std::string address = trimBlanks(addressIn);
    // The house number starts at the first digit (or a blank before the rest).
    std::size_t at = 0;
    for (std::size_t i = 0; i < address.size();) {
        const std::size_t len = sjis::utf8SeqLen(static_cast<unsigned char>(address[i]));
        const char32_t c = codePoint(address, i, len);
        if (isDigit(c) || isBlank(c)) {
            at = i;
            break;
        }
        i += len;
    }
    const std::string first = trimBlanks(std::string_view(address).substr(0, at));
    if (at == 0 || sjisWidth(first) > room) return joinAddress(address, rest, room);
    std::string second = trimBlanks(std::string_view(address).substr(at));
    const std::string more = trimBlanks(rest);
    if (!more.empty()) second += (second.empty() ? "" : " ") + more;
    return {first, second};
}

std::size_t sjisWidth(std::string_view s) {
    std::size_t w = 0;
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t len = sjis::utf8SeqLen(static_cast<unsigned char>(s[i]));
        const char32_t c = codePoint(s, i, len);
        w += (c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F)) ? 1 : 2;
        i += len;
    }
    return w;
}

std::size_t addressRoomBytes(const print::Form& form) {
    // 1/160 inch per form unit, 72 points per inch: an em of `size` points
    // is size × 160 / 72 units.
    const print::FormItemPlace* add1 = form.find(print::FormItem::Add1);
    if (!add1 || add1->size <= 0) return kAddressLineBytes;
    const auto chars = static_cast<std::size_t>(std::max((add1->right - add1->u) * 72 / (160 * add1->size), 0));
    std::size_t room = std::min(kAddressLineBytes, 2 * chars);
    const int limit = form.byteLimits[static_cast<std::size_t>(print::FormItem::Add1)];
    if (limit > 0) room = std::min(room, static_cast<std::size_t>(limit));
    return room;
}

AddressLines joinAddress(std::string_view streetIn, std::string_view restIn, std::size_t room) {
    const std::string street = trimBlanks(streetIn);
    const std::string rest = trimBlanks(restIn);
    if (sjisWidth(street) <= room) return {street, rest};

    // Walk the characters, remembering the last break that still fits.
    std::size_t width = 0, lastFit = 0, lastBreak = 0;
    char32_t prev = 0;
    for (std::size_t i = 0; i < street.size();) {
        const std::size_t len = sjis::utf8SeqLen(static_cast<unsigned char>(street[i]));
        const char32_t c = codePoint(street, i, len);
        if (i > 0 && (isBlank(c) || (isDigit(c) && !isDigit(prev) && !joinsNumber(prev)) || endsPlaceName(prev))) lastBreak = i;
        width += (c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F)) ? 1 : 2;
        if (width > room) break;
        i += len;
        lastFit = i;
        prev = c;
    }
    const std::size_t cut = lastBreak > 0 ? lastBreak : lastFit;
    std::string tail = trimBlanks(std::string_view(street).substr(cut));
    if (!rest.empty()) tail += (tail.empty() ? "" : " ") + rest;
    return {trimBlanks(std::string_view(street).substr(0, cut)), tail};
}

}  // namespace batch
