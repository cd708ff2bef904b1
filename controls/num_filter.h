#pragma once
// The numeric control's normaliser, usable without the widget (the text
// transfer reads numbers through it).
#include <string>
#include <string_view>

namespace numedit {

struct FilterOptions {
    int integerLength = 9;
    int decimalLength = 3;
    bool minus = true;
};

// Normalises Shift-JIS text into a value text (optional "-", digits, at most
// one "."); full-width digits, "－", "．" and "，" are understood.
std::string FilterText(std::string_view sjisText, const FilterOptions& options);

// Removes leading zeros of the integer part unless zeroEnabled.
std::string StripLeadingZeros(std::string_view value, bool zeroEnabled);

}  // namespace numedit
