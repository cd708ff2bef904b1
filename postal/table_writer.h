#pragma once
// Writes the postal table layout (postal/table_format.h) from plain rows:
// used by the importer of Japan Post's CSV files and by tests.
#include <string>
#include <vector>

namespace postal {

// One code's place, all text CP932.
struct TableRow {
    std::string zip;  // seven ASCII digits
    std::string pref;
    std::string prefKana;
    std::string city;
    std::string cityKana;
    std::string town;
    std::string townKana;
    std::string office;  // business name of a business's own code
    bool business = false;
};

// The bytes of a table holding the rows; rows of one code keep their order.
// Throws std::invalid_argument for a row the layout cannot hold (a code
// that is not seven digits, a text over 65535 bytes, more than 65535 cities).
std::string encodeTable(const std::vector<TableRow>& rows);

}  // namespace postal
