#pragma once
// The history window's rows as a table model. The view asks only for the
// cells it paints, so showing a search's answer of a thousand rows is one
// model reset rather than a cell object for each of nine thousand cells,
// and the window's thread is free again at once.
#include <QAbstractTableModel>
#include <QString>
#include <vector>

#include "history/waybill_record.h"

class HistoryTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    // Print time, name, telephone, postal code, address, goods, printer,
    // order number, tracking number.
    static constexpr int kColumns = 9;

    using QAbstractTableModel::QAbstractTableModel;

    // Replaces every row at once (newest first, as they are read).
    void setRows(std::vector<store::WaybillRecord> rows);
    const std::vector<store::WaybillRecord>& rows() const { return rows_; }
    // The text shown in a cell; "" outside the rows.
    QString text(int row, int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<store::WaybillRecord> rows_;
};
