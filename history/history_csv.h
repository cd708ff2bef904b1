#pragma once
// History rows as CSV for spreadsheet programs: UTF-8 with a byte order
// mark (so they open it as Japanese text), CR LF line ends, every field
// quoted (store/csv_field.h).
#include <span>
#include <string>
#include <string_view>

#include "store/csv_field.h"
#include "history/waybill_record.h"

namespace store {

// The header line and one line per row.
std::string historyCsv(std::span<const WaybillRecord> rows);

}  // namespace store
