#pragma once
// The INI text format on Shift-JIS bytes, without any file access: lines
// end in LF (a CR before it is dropped); "[name]" opens a section;
// "key=value" holds a value. Section and key names match regardless of
// letter case and of blanks around them.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ini {

// Longest value a read returns, in bytes.
inline constexpr std::size_t kMaxValueBytes = 2047;

// Names match ignoring ASCII letter case and blanks (bytes 0..32) at either
// end. Only single-byte characters are case-folded: the trail byte of a
// double-byte character may look like a letter and is compared exactly.
bool namesMatch(std::string_view a, std::string_view b);

// The text after "=" of the first matching key in the first matching
// section, as it stands in the file; nullopt when either is missing.
std::optional<std::string_view> findRawValue(std::string_view text, std::string_view section, std::string_view key);

// A raw value as a read returns it: trimmed, one pair of surrounding double
// or single quotes removed, cut to kMaxValueBytes without splitting a
// double-byte character.
std::string cleanValue(std::string_view raw);

// An integer value: "0x"/"0X" followed by hex digits (when longer than two
// characters), "$" followed by hex digits, or decimal with an optional sign.
// Hex takes up to 32 bits (0xFFFFFFFF is -1); decimal must fit in int32.
// nullopt for anything else.
std::optional<std::int32_t> parseInteger(std::string_view value);

// The text with key set to value in section: an existing key's line is
// rewritten in place (its line end kept), a new key goes on the line after
// the section's last key (or after its header), a missing section is added
// at the end. Every other line stays byte for byte. New lines end in CR LF.
// Line breaks inside the names or the value are dropped, so a value can
// never add lines of its own.
std::string withValue(std::string_view text, std::string_view section, std::string_view key, std::string_view value);

}  // namespace ini
