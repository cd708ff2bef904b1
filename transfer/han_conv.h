#pragma once
#include <string>
#include <string_view>

// Half-width conversion of Shift-JIS text: every character with a narrow
// form (full-width ASCII, ideographic space, katakana and kana punctuation)
// becomes that form; everything else is kept. Texts of any length are
// converted whole.
std::string Han_Conv(std::string_view sjisText);

// The text with every hyphen-like mark that stands between two digits
// (ASCII or full-width) read as "-": "ー" (what an input method gives for
// "-" in hiragana mode), "ｰ", "‐", "―" and "－"/"−". Elsewhere these marks
// stay as they are, so "ー" keeps its place as the long-vowel mark. Run
// before Han_Conv on postal codes and telephone numbers.
std::string hyphensBetweenDigits(std::string_view sjisText);

// A postal code or telephone number as the entry fields keep it: the
// hyphens between digits read, then made half-width.
std::string halfWidthCode(std::string_view sjisText);
