#pragma once
// Comparison keys of town names (町域), so that a town written with its
// number in kanji or in digits ("北十一条西", "北11条西"), with or without
// a leading 大字 or 字, compares equal to the table's name.
#include <string>
#include <string_view>

namespace postal {

// The addressKey of the text with every run of kanji numerals written as
// decimal digits ("二十一" → "21", "一〇" → "10"), a leading 大字 or 字
// dropped, and anything from an opening bracket on cut off (the table's
// notes on a town, "（１～１９丁目）").
std::string townKey(std::string_view sjisText);

// A cheap first test of a town against an address: the key of the town's
// first character, which every key of it begins with; empty where that is
// not known without the whole key (a numeral or 字 first).
std::string townKeyHead(std::string_view sjisTown);

// Whether a town's key begins the key of what follows the city in an
// address. A town ending in a number does not begin a longer number
// ("本町1" does not begin "本町12").
bool beginsWithTown(std::string_view restKey, std::string_view townKey);

}  // namespace postal
