#pragma once
// Formatting of a numeric value text: grouping, zero fill, marks and the
// templates that size the value field.
#include <string>
#include <string_view>

namespace numedit {

struct FormatOptions {
    int integerLength = 9;
    int decimalLength = 3;
    bool minus = true;
    bool comma = true;
    bool decimalFixed = false;
    bool integerFixed = false;
    std::string leftMark;   // Shift-JIS
    std::string rightMark;  // Shift-JIS
};

struct ValueParts {
    std::string sign;      // "-" or empty
    std::string integer;   // digits before the point
    std::string point;     // "." or empty
    std::string decimals;  // digits after the point
};

ValueParts SplitValue(std::string_view value);

// "1234567" -> "1,234,567": a comma after every third digit from the right.
std::string GroupDigits(std::string_view digits);

// The value as drawn, without marks: grouping and the fixed options applied.
std::string FormatValue(std::string_view value, const FormatOptions& f);

// FormatValue framed by the marks; empty when the formatted value is empty.
std::string DisplayText(std::string_view value, const FormatOptions& f);

// The text whose width is the value field: with the fixed options it is as
// wide as the longest value those options can show, so the field keeps its
// width while the value grows.
std::string FieldTemplate(std::string_view value, const FormatOptions& f);

// The longest value the options allow ("-", all integer digits, ".", all
// decimals), used to size the control.
std::string MaxTemplate(const FormatOptions& f);

// The part of the formatted value in front of the caret: like FormatValue,
// but decimals only as typed (zeros added by decimalFixed stand behind it).
std::string CaretPrefix(std::string_view value, const FormatOptions& f);

}  // namespace numedit
