#pragma once
// Comparison keys of Shift-JIS address text, so that the ways people write
// the same address compare equal: blanks dropped, full-width letters and
// digits made half-width (letters upper case), hyphen-like marks made "-",
// 「ヶ・ケ・が・ヵ」 made one character, 「之・の・ノ」 made one character.
#include <string>
#include <string_view>

namespace postal {

std::string addressKey(std::string_view sjisText);

// What follows the 郡 of a city's name ("榛東村" of "北群馬郡榛東村"), or
// empty when the name has no 郡 with something after it.
std::string_view afterGun(std::string_view sjisCity);

}  // namespace postal
