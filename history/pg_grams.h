#pragma once
// The search keys of the shared history: a row is indexed under every
// piece of one, two and three characters of each searched field; a query
// of up to three characters is one such piece, a longer one needs all its
// three-character pieces (and is then checked as a whole substring).
#include <string>
#include <string_view>
#include <vector>

namespace store {

// The distinct pieces of a row's folded search text (searchText()), whose
// fields end in a control character; no piece spans two fields.
std::vector<std::string> rowGrams(std::string_view searchText);

// The pieces a folded query needs; none for an empty query.
std::vector<std::string> queryGrams(std::string_view foldedQuery);

}  // namespace store
