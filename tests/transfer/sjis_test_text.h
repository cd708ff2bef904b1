#pragma once
// Test helpers: write Shift-JIS cases in UTF-8 and read results back in
// UTF-8, so failures print readable text.
#include <string>
#include <string_view>
#include <vector>

#include "text/sjis_convert.h"

inline std::string S(std::string_view utf8) { return sjis::fromUtf8(utf8).value(); }
inline std::string U(std::string_view sjisText) { return sjis::toUtf8(sjisText); }
inline std::vector<std::string> U(const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    for (const auto& l : lines) out.push_back(U(l));
    return out;
}
