#include "print/core/str_to_int.h"

#include "text/sjis_convert.h"

namespace print {

ConvertError::ConvertError(std::string_view sjisText)
    : std::runtime_error("'" + sjis::toUtf8(sjisText) + "' is not a valid integer value") {}

namespace {
int digitValue(char c, int base) {
    int v = -1;
    if (c >= '0' && c <= '9') v = c - '0';
    else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    return v < base ? v : -1;
}
}  // namespace

std::optional<std::int32_t> parseInt32(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    int base = 10;
    if (i < s.size() && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == s.size()) return std::nullopt;  // no digits at all
    // Accumulate the magnitude; the negative range reaches one further.
    const std::int64_t limit = negative ? std::int64_t{INT32_MAX} + 1 : INT32_MAX;
    std::int64_t value = 0;
    for (; i < s.size(); ++i) {
        int d = digitValue(s[i], base);
        if (d < 0) return std::nullopt;
        value = value * base + d;
        if (value > limit) return std::nullopt;
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

std::int32_t strToInt(std::string_view sjisText) {
    if (auto v = parseInt32(sjisText)) return *v;
    throw ConvertError(sjisText);
}

}  // namespace print
