#include "controls/num_format.h"

#include <initializer_list>

namespace numedit {

ValueParts SplitValue(std::string_view s) {
    ValueParts p;
    if (!s.empty() && s.front() == '-') {
        p.sign = '-';
        s.remove_prefix(1);
    }
    const auto dot = s.find('.');
    if (dot == std::string_view::npos) {
        p.integer = std::string(s);
    } else {
        p.integer = std::string(s.substr(0, dot));
        p.point = '.';
        p.decimals = std::string(s.substr(dot + 1));
    }
    return p;
}

std::string GroupDigits(std::string_view digits) {
    std::string out;
    out.reserve(digits.size() + digits.size() / 3);
    const std::size_t n = digits.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

namespace {

std::string concat(std::initializer_list<std::string_view> parts) {
    std::size_t size = 0;
    for (auto part : parts) size += part.size();
    std::string out;
    out.reserve(size);
    for (auto part : parts) out.append(part);
    return out;
}

std::string joined(const ValueParts& p) { return concat({p.sign, p.integer, p.point, p.decimals}); }

// Integer part as drawn: grouped, and "0" for an empty one under the fixed
// options.
void shapeInteger(ValueParts& p, const FormatOptions& f) {
    if (f.comma) p.integer = GroupDigits(p.integer);
    if ((f.integerFixed || f.decimalFixed) && p.integer.empty()) p.integer = '0';
}

}  // namespace

std::string FormatValue(std::string_view value, const FormatOptions& f) {
    ValueParts p = SplitValue(value);
    shapeInteger(p, f);
    if (f.decimalFixed) {
        const auto len = static_cast<std::size_t>(f.decimalLength > 0 ? f.decimalLength : 0);
        p.decimals.resize(len, '0');
        if (f.decimalLength > 0) p.point = '.';
    }
    return joined(p);
}

std::string DisplayText(std::string_view value, const FormatOptions& f) {
    std::string formatted = FormatValue(value, f);
    if (formatted.empty()) return formatted;
    return concat({f.leftMark, formatted, f.rightMark});
}

std::string FieldTemplate(std::string_view value, const FormatOptions& f) {
    ValueParts p = SplitValue(value);
    if (f.integerFixed) {
        p.integer.assign(static_cast<std::size_t>(f.integerLength), '0');
        p.sign.assign(f.minus ? 1 : 0, '-');
    }
    shapeInteger(p, f);
    // The point only when decimals can exist, as in FormatValue; otherwise the
    // field would be a point wider than any value it can show.
    if (f.decimalFixed && f.decimalLength > 0) {
        p.point = '.';
        p.decimals.assign(static_cast<std::size_t>(f.decimalLength), '0');
    }
    return joined(p);
}

std::string MaxTemplate(const FormatOptions& f) {
    std::string zeros(static_cast<std::size_t>(f.integerLength), '0');
    return concat({f.minus ? "-" : "", f.comma ? GroupDigits(zeros) : zeros, ".",
                   std::string(static_cast<std::size_t>(f.decimalLength), '0')});
}

std::string CaretPrefix(std::string_view value, const FormatOptions& f) {
    ValueParts p = SplitValue(value);
    shapeInteger(p, f);
    return joined(p);
}

}  // namespace numedit
