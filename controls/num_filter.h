#pragma once
// The numeric control's normaliser, usable without the widget (the text
// transfer reads numbers through it).
#include <string>
#include <string_view>

namespace numedit {

struct FilterOptions {
    int integerLength = 9;  // most integer digits, the minus not counted
    int decimalLength = 3;  // most decimals; 0 = integers only
    bool minus = true;      // a leading "-" is allowed
};

// Normalises Shift-JIS text into a value text (optional "-", digits, at most
// one "."); full-width digits, "－", "．" and "，" are understood. Reading
// stops at the first character that does not fit; decimals beyond the limit
// are cut, but too many integer digits empty the whole value.
std::string FilterText(std::string_view sjisText, const FilterOptions& options);

// Removes leading zeros of the integer part unless zeroEnabled ("000" -> "0",
// ".5" -> "0.5", "-007.25" -> "-7.25", a lone "-" stays).
std::string StripLeadingZeros(std::string_view value, bool zeroEnabled);

}  // namespace numedit
