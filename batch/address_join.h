#pragma once
// Splitting a long address over the two address lines of the form, measured
// in the bytes it will take in Shift-JIS. Texts are UTF-8.
#include <cstddef>
#include <string>
#include <string_view>

#include "print/core/form.h"

namespace batch {

// Room of each address line: 20 full-width characters, the length past
// which the entry form warns that おところ① is too long.
inline constexpr std::size_t kAddressLineBytes = 40;

// The bytes of full-width text at おところ①'s print size that fit its area
// on the form (two per character), never more than kAddressLineBytes nor
// the form's own limit of the item: where an address is broken so that
// both lines fit their places.
std::size_t addressRoomBytes(const print::Form& form = print::builtinForm());

// Bytes the UTF-8 text takes in Shift-JIS: ASCII and half-width katakana
// one, everything else two (a character Shift-JIS cannot hold prints as
// "〓", also two).
std::size_t sjisWidth(std::string_view utf8);

struct AddressLines {
    std::string add1, add2;
};

// おところ① and ② from the street address (都道府県 to 番地) and the rest
// (building, room). The rest goes to ②. A street address longer than a line
// is broken at the last natural point that fits: a blank, the start of the
// house number, or the end of a 都/道/府/県/市/区/郡/町/村 name; with none it is
// cut at the last whole character that fits. The line holds roomBytes. The part after the break
// leads ②.
AddressLines joinAddress(std::string_view street, std::string_view rest,
                         std::size_t roomBytes = kAddressLineBytes);

// The prefecture of a JIS code ("13" → "東京都"), as some platforms give
// it; the text itself when it is no such code.
std::string prefectureOfCode(std::string_view text);

// True when the text begins with one of the 47 prefecture names.
bool startsWithPrefecture(std::string_view utf8);

// An address that a platform gives in one field, prefecture first (Qoo10,
// au PAY マーケット): おところ① takes the prefecture, city and town, up to
// where the house number starts; the house number, building and rest go to
// ②. When there is no house number or the first part does not fit a line,
// the address is placed as joinAddress() places it. Nothing is dropped.
AddressLines splitOneFieldAddress(std::string_view address, std::string_view rest,
                                  std::size_t roomBytes = kAddressLineBytes);

}  // namespace batch
