#pragma once
// What the batch window's files share about Table_Orders: its columns
// after the fixed ones, and UTF-8 texts of the core as QStrings.
#include <QLocale>
#include <QString>
#include <string_view>

#include "app/batch/batch_window.h"
#include "batch/order.h"

namespace batch_table {

// The editable columns of the table: the consignee and the shipment.
inline constexpr int kFieldColumns = static_cast<int>(batch::Col::ShipDate) + 1;
inline constexpr int kProblemColumn = TBatchWindow::kFirstFieldColumn + kFieldColumns;

inline QString qs(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// A count with its thousands grouped, as in "21,621行".
inline QString grouped(std::size_t n) { return QLocale(QLocale::English).toString(static_cast<qulonglong>(n)); }

}  // namespace batch_table
