#pragma once
#include <string>
#include <string_view>

// Half-width conversion of Shift-JIS text: every character with a narrow
// form (full-width ASCII, ideographic space, katakana and kana punctuation)
// becomes that form; everything else is kept. Texts of any length are
// converted whole.
std::string Han_Conv(std::string_view sjisText);
