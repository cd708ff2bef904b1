#pragma once
// History rows as CSV for spreadsheet programs: UTF-8 with a byte order
// mark (so they open it as Japanese text), CR LF line ends, every field
// quoted.
#include <span>
#include <string>
#include <string_view>

#include "store/waybill_record.h"

namespace store {

// One CSV field: quoted, inner quotes doubled. A text that a spreadsheet
// would run as a formula (starting with = + - @ or a tab or CR) gets a
// leading apostrophe, so an order text pasted from a web page cannot
// become a live formula in the user's spreadsheet.
std::string csvField(std::string_view utf8);

// The header line and one line per row.
std::string historyCsv(std::span<const WaybillRecord> rows);

}  // namespace store
