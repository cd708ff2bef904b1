#pragma once
// Shift-JIS (CP932) byte-level helpers. All text in the core is CP932 bytes
// held in std::string: field limits, byte positions and character stepping
// are defined on those bytes.
#include <cstddef>
#include <string>
#include <string_view>

namespace sjis {

// First byte of a double-byte character (0x81-0x9F, 0xE0-0xFC).
constexpr bool isLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Bytes of the character starting at pos: 2 for a lead byte followed by
// another byte, else 1 (a lead byte at the very end counts alone).
std::size_t charBytes(std::string_view s, std::size_t pos);

// Length in characters: a double-byte pair counts as one.
std::size_t lengthInChars(std::string_view s);

// Leading/trailing bytes with codes 0..32 removed; the full-width space stays.
std::string trim(std::string_view s);
std::string trimLeft(std::string_view s);
std::string trimRight(std::string_view s);
// The same trims as views into s, for callers that need no copy.
std::string_view trimView(std::string_view s);
std::string_view trimLeftView(std::string_view s);
std::string_view trimRightView(std::string_view s);

// Bytes [pos1, pos1+count) with pos1 counted from 1 (past the end gives
// less or nothing). Never returns half a character: a pair cut at either
// end is dropped whole.
std::string substrBytes(std::string_view s, std::size_t pos1, std::size_t count);

// The longest prefix of at most maxBytes bytes that does not end in half a
// double-byte character.
std::string_view prefixBytes(std::string_view s, std::size_t maxBytes);

// True when every lead byte has its trail byte.
bool isWellFormed(std::string_view s);

}  // namespace sjis
