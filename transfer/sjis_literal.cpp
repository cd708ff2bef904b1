#include "transfer/sjis_literal.h"

#include <stdexcept>

#include "text/sjis_convert.h"

namespace transfer {

std::string sjisLiteral(std::string_view utf8) {
    auto bytes = sjis::fromUtf8(utf8);
    if (!bytes) throw std::logic_error("constant without a Shift-JIS form: " + std::string(utf8));
    return *bytes;
}

std::vector<std::string> sjisLiterals(std::initializer_list<std::string_view> utf8) {
    std::vector<std::string> out;
    out.reserve(utf8.size());
    for (std::string_view s : utf8) out.push_back(sjisLiteral(s));
    return out;
}

}  // namespace transfer
