#pragma once
// Address → postal code, and the check of a code against an address.
#include <cstddef>
#include <string_view>
#include <vector>

#include "postal/postal_table.h"

namespace postal {

// The codes of an address written from its start ("東京都港区芝公園4-2-8",
// or without the prefecture, "港区芝公園4-2-8"). The longest town that
// begins the rest of the address wins; where the address stops inside a
// town's name, every town that it begins is offered; an address that
// names only the city gets the city's code for towns not listed. Blanks,
// full/half width, 「ヶ/ケ/が」 and 「之/の」 do not matter (addressKey).
// In code order, each code and town once, at most limit of them.
std::vector<Candidate> reverseLookup(const Table& table, std::string_view sjisAddress,
                                     std::size_t limit = 200);

struct CheckResult {
    bool known = false;    // the code is in the table
    bool matches = false;  // the address fits one of the code's places (below)
    std::vector<Candidate> expected;  // the code's places (empty when unknown)
};

// Whether a postal code fits an address: the address must begin with the
// prefecture and city of one of the code's places; the prefecture, and a
// city's 郡, may be left out. Where the place has a town (町域), an address
// that names another town of the city after it does not fit ("梅田" for
// the code of 曽根崎新地); a code for the rest of its city, an address that
// stops at the city, or one whose town the table does not know, is judged
// by the city alone. Town names compare with their numbers in kanji or
// digits and with or without 大字/字 (townKey). An empty address never
// matches.
CheckResult checkAddress(const Table& table, std::string_view zip, std::string_view sjisAddress);

}  // namespace postal
