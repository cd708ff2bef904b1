#pragma once
// Percent-encoding (%XX) as URIs and the order item lists use it.
#include <string>
#include <string_view>

namespace store {

// Every byte for which `escape` holds (and '%' itself) as %XX.
template <class Escape>
std::string percentEncoded(std::string_view s, Escape escape) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : s) {
        if (c == '%' || escape(c)) {
            const auto b = static_cast<unsigned char>(c);
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 0x0F];
        } else {
            out += c;
        }
    }
    return out;
}

// %XX decoded; a '%' without two hex digits after it stays as it is.
std::string percentDecoded(std::string_view s);

}  // namespace store
