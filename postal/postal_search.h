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
    bool matches = false;  // the address begins with the code's 都道府県+市区町村
    std::vector<Candidate> expected;  // the code's places (empty when unknown)
};

// Whether a postal code fits an address: the address must begin with the
// prefecture and city of one of the code's places; the prefecture, and a
// city's 郡, may be left out. An empty address never matches.
CheckResult checkAddress(const Table& table, std::string_view zip, std::string_view sjisAddress);

}  // namespace postal
