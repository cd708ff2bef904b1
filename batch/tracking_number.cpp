#include "batch/tracking_number.h"

#include <algorithm>

namespace batch {

namespace {

constexpr std::uint64_t kElevenDigits = 100'000'000'000ULL;

std::uint64_t valueOf(std::string_view digits) {
    std::uint64_t v = 0;
    for (char c : digits) v = v * 10 + static_cast<std::uint64_t>(c - '0');
    return v;
}

bool isStartStop(char c) { return (c >= 'A' && c <= 'D') || (c >= 'a' && c <= 'd'); }

// Full-width separators a typed or pasted number may carry.
constexpr std::string_view kDropped[] = {"\u3000", "－", "ー", "‐", "−"};

// Bytes of the UTF-8 character with this lead byte (1 for a stray byte).
std::size_t utf8Length(unsigned char lead) {
    return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

}  // namespace

int trackingCheckDigit(std::string_view eleven) { return static_cast<int>(valueOf(eleven) % 7); }

bool isValidTracking(std::string_view d) {
    if (d.size() != kTrackingDigits || !std::all_of(d.begin(), d.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    return d.back() - '0' == trackingCheckDigit(d.substr(0, kTrackingDigits - 1));
}

std::variant<std::string, TrackingRefusal> parseTracking(std::string_view s) {
    // The text without blanks and hyphens, full-width digits made plain.
    std::string t;
    for (std::size_t i = 0; i < s.size();) {
        const char c = s[i];
        if (static_cast<unsigned char>(c) < 0x80) {  // ASCII, what a scanner sends
            if (c != ' ' && c != '\t' && c != '-') t += c;
            ++i;
            continue;
        }
        const std::size_t len = std::min(utf8Length(static_cast<unsigned char>(c)), s.size() - i);
        const std::string_view ch = s.substr(i, len);
        i += len;
        if (std::find(std::begin(kDropped), std::end(kDropped), ch) != std::end(kDropped)) continue;
        // Full-width digits U+FF10..U+FF19 are EF BC 90..99.
        if (ch.size() == 3 && ch[0] == '\xEF' && ch[1] == '\xBC' && ch[2] >= '\x90' && ch[2] <= '\x99')
            t += static_cast<char>('0' + (ch[2] - '\x90'));
        else
            t += ch;
    }
    // The start and stop letters of an NW-7 barcode.
    if (!t.empty() && isStartStop(t.front())) t.erase(0, 1);
    if (!t.empty() && isStartStop(t.back())) t.pop_back();
    const auto bad = std::find_if(t.begin(), t.end(), [](char c) { return c < '0' || c > '9'; });
    if (bad != t.end()) {
        const auto at = static_cast<std::size_t>(bad - t.begin());
        return TrackingRefusal{"伝票番号に数字でない文字があります: " +
                               t.substr(at, utf8Length(static_cast<unsigned char>(*bad)))};
    }
    if (t.empty()) return TrackingRefusal{"伝票番号がありません"};
    if (t.size() != kTrackingDigits)
        return TrackingRefusal{"伝票番号は12桁です (" + std::to_string(t.size()) + "桁あります)"};
    if (!isValidTracking(t)) return TrackingRefusal{"伝票番号の検査数字が合いません"};
    return t;
}

std::string nextTracking(std::string_view valid, std::uint64_t steps) {
    const std::uint64_t base = valueOf(valid.substr(0, kTrackingDigits - 1));
    if (steps >= kElevenDigits || base + steps >= kElevenDigits) return {};
    const std::uint64_t next = base + steps;
    std::string out = std::to_string(next);
    out.insert(0, kTrackingDigits - 1 - out.size(), '0');
    out += static_cast<char>('0' + next % 7);
    return out;
}

}  // namespace batch
