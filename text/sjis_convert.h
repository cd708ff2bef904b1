#pragma once
// CP932 <-> UTF-8 through glibc iconv (the Windows table: 0x8160 is U+FF5E,
// 0x817C is U+FF0D).
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace sjis {

// UTF-8 to CP932. nullopt when some character has no CP932 form (or the
// input is not valid UTF-8). U+00A5 becomes the full-width yen first, so it
// does not turn into a backslash; the no-break space U+00A0 becomes a space.
std::optional<std::string> fromUtf8(std::string_view utf8);

// The same, but a character without a CP932 form becomes "〓" (0x81 0xAC),
// so the reader sees where something was.
std::string fromUtf8Lossy(std::string_view utf8);

// CP932 to UTF-8. A byte sequence that is not CP932 becomes U+FFFD.
std::string toUtf8(std::string_view sjis);

// True when the UTF-8 text can be stored as CP932.
bool canEncode(std::string_view utf8);

// Length of the UTF-8 sequence that starts with this byte (1 for a byte that
// cannot start one, so a caller stepping through text always moves on).
std::size_t utf8SeqLen(unsigned char lead);

}  // namespace sjis
