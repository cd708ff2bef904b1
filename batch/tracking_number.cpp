#include "batch/tracking_number.h"

#include <algorithm>

namespace batch {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isStartStop(char c) { return (c >= 'A' && c <= 'D') || (c >= 'a' && c <= 'd'); }

// Full-width separators a typed or pasted number may carry.
constexpr std::string_view kDropped[] = {"\u3000", "－", "ー", "‐", "−"};

// Bytes of the UTF-8 character with this lead byte (1 for a stray byte).
std::size_t utf8Length(unsigned char lead) {
    return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

// The part of a number that counts: all but the check digit under mod 7.
std::size_t countedDigits(const TrackingScheme& scheme) {
    return scheme.rule == print::TrackingRule::Mod7 ? scheme.digits - 1 : scheme.digits;
}

// `digits` plus `steps` in as many digits; false when it does not fit.
bool addTo(std::string& digits, std::uint64_t steps) {
    for (auto i = digits.size(); i-- > 0 && steps > 0;) {
        const std::uint64_t sum = static_cast<std::uint64_t>(digits[i] - '0') + steps % 10;
        steps = steps / 10 + sum / 10;
        digits[i] = static_cast<char>('0' + sum % 10);
    }
    return steps == 0;
}

}  // namespace

TrackingScheme trackingSchemeOf(const print::Form& form) {
    return {form.tracking, static_cast<std::size_t>(std::max(form.trackingDigits, 0))};
}

int trackingCheckDigit(std::string_view others) {
    int rest = 0;
    for (const char c : others) rest = (rest * 10 + (c - '0')) % 7;
    return rest;
}

bool isValidTracking(std::string_view d, const TrackingScheme& scheme) {
    if (scheme.rule == print::TrackingRule::None || scheme.digits == 0) return false;
    if (d.size() != scheme.digits || !std::all_of(d.begin(), d.end(), isDigit)) return false;
    return scheme.rule != print::TrackingRule::Mod7 || d.back() - '0' == trackingCheckDigit(d.substr(0, d.size() - 1));
}

std::variant<std::string, TrackingRefusal> parseTracking(std::string_view s, const TrackingScheme& scheme) {
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
    const auto bad = std::find_if(t.begin(), t.end(), [](char c) { return !isDigit(c); });
    if (bad != t.end()) {
        const auto at = static_cast<std::size_t>(bad - t.begin());
        return TrackingRefusal{"伝票番号に数字でない文字があります: " +
                               t.substr(at, utf8Length(static_cast<unsigned char>(*bad)))};
    }
    if (t.empty()) return TrackingRefusal{"伝票番号がありません"};
    if (scheme.rule == print::TrackingRule::None || scheme.digits == 0)
        return TrackingRefusal{"この送り状には伝票番号を記録しません"};
    if (t.size() != scheme.digits)
        return TrackingRefusal{"伝票番号は" + std::to_string(scheme.digits) + "桁です (" + std::to_string(t.size()) +
                               "桁あります)"};
    if (!isValidTracking(t, scheme)) return TrackingRefusal{"伝票番号の検査数字が合いません"};
    return t;
}

std::string nextTracking(std::string_view valid, std::uint64_t steps, const TrackingScheme& scheme) {
    if (!isValidTracking(valid, scheme)) return {};
    std::string next(valid.substr(0, countedDigits(scheme)));
    if (!addTo(next, steps)) return {};
    if (scheme.rule == print::TrackingRule::Mod7) next += static_cast<char>('0' + trackingCheckDigit(next));
    return next;
}

}  // namespace batch
