#include "store/csv_field.h"

namespace store {

bool looksLikeFormula(std::string_view utf8) {
    return !utf8.empty() && std::string_view("=+-@\t\r").find(utf8.front()) != std::string_view::npos;
}

std::string formulaDisarmed(std::string_view utf8) {
    return looksLikeFormula(utf8) ? "'" + std::string(utf8) : std::string(utf8);
}

std::string csvField(std::string_view utf8) {
    std::string out = "\"";
    for (const char ch : formulaDisarmed(utf8)) {
        if (ch == '"') out += '"';
        out += ch;
    }
    out += '"';
    return out;
}

std::string_view withoutFormulaMark(std::string_view cell) {
    if (cell.size() >= 2 && cell.front() == '\'' && looksLikeFormula(cell.substr(1))) cell.remove_prefix(1);
    return cell;
}

}  // namespace store
