#pragma once
// Printable ASCII written in its full-width forms (U+FF01..U+FF5E), as
// spreadsheets and shop systems sometimes write headers and numbers.
#include <string>
#include <string_view>

inline std::string fullWidth(std::string_view ascii) {
    std::string out;
    for (char c : ascii) {
        if (c <= ' ' || c > '~') {
            out += c;
            continue;
        }
        const unsigned cp = 0xFEE0u + static_cast<unsigned char>(c);
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}
