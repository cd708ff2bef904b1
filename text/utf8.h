#pragma once
// Strict UTF-8: overlong forms, surrogates and code points past U+10FFFF
// are not UTF-8.
#include <cstddef>
#include <string_view>

namespace text {

// Length of the valid UTF-8 sequence that starts at s[i] (1 for ASCII), or
// 0 when none starts there.
std::size_t utf8SequenceAt(std::string_view s, std::size_t i);

// Offset of the first byte that breaks strict UTF-8, or npos.
std::size_t firstBadUtf8(std::string_view s);

}  // namespace text
