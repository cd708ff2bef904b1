#pragma once
// Integer conversion of caption texts, with the program's conversion error.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace print {

// "'%s' is not a valid integer value" (UTF-8; the text converted from
// Shift-JIS).
class ConvertError : public std::runtime_error {
public:
    explicit ConvertError(std::string_view sjisText);
};

// Parses a signed 32-bit integer the way the classic StrToInt does:
// leading blanks, an optional sign, then decimal digits, or hexadecimal
// digits after "$", "0x" or "0X". Nothing may follow the digits. Unlike the
// classic routine, a hexadecimal value must also fit the signed range
// ("$FFFFFFFF" is refused rather than read as -1), so a caption never turns
// into a surprising negative margin. nullopt when the text is no such
// integer or is out of range.
std::optional<std::int32_t> parseInt32(std::string_view text);

// parseInt32, raising ConvertError on failure.
std::int32_t strToInt(std::string_view sjisText);

}  // namespace print
