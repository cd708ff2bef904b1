#pragma once
// Shift-JIS constants written in UTF-8 source: the transfer's tables of
// marks, labels and messages are converted once, on first use.
#include <string>
#include <string_view>
#include <vector>

namespace transfer {

// The CP932 bytes of a UTF-8 literal. Throws std::logic_error when the
// literal holds a character CP932 lacks (a mistake in the program's tables).
std::string sjisLiteral(std::string_view utf8);

// The same for a whole list, order kept.
std::vector<std::string> sjisLiterals(std::initializer_list<std::string_view> utf8);

}  // namespace transfer
