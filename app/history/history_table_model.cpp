#include "app/history/history_table_model.h"

#include <QBrush>
#include <QColor>
#include <QStringList>
#include <utility>

#include "text/sjis_qt.h"

namespace {

QString q(const std::string& sjisText) { return sjis::toQString(sjisText); }

QString goodsOf(const store::WaybillRecord& r) {
    QStringList parts;
    for (const std::string* g : {&r.g1, &r.g2, &r.g3})
        if (!g->empty()) parts << q(*g);
    return parts.join(QStringLiteral(" / "));
}

QString cellText(const store::WaybillRecord& r, int column) {
    switch (column) {
    case 0: return QString::fromStdString(r.time);
    case 1: return q(r.consignee.name);
    case 2: return q(r.consignee.tel);
    case 3: return q(r.consignee.zip);
    case 4: return q(r.consignee.add1) + q(r.consignee.add2);
    case 5: return goodsOf(r);
    // A row whose job was being handed over when the program ended: the
    // waybill may or may not have been printed.
    case 6: return r.printing() ? q(r.printer) + QStringLiteral("（印刷されたか不明）") : q(r.printer);
    case 7: return q(r.orderNo);
    case 8: return QString::fromStdString(r.tracking);
    default: return {};
    }
}

}  // namespace

void HistoryTableModel::setRows(std::vector<store::WaybillRecord> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

QString HistoryTableModel::text(int row, int column) const {
    if (row < 0 || row >= rowCount()) return {};
    return cellText(rows_[static_cast<std::size_t>(row)], column);
}

int HistoryTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int HistoryTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QVariant HistoryTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.model() != this || index.row() >= rowCount()) return {};
    if (role == Qt::DisplayRole) return text(index.row(), index.column());
    if (role == Qt::ForegroundRole && rows_[static_cast<std::size_t>(index.row())].printing())
        return QBrush(QColor(200, 0, 0));
    return {};
}

QVariant HistoryTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const char16_t* const captions[kColumns] = {u"印刷日時", u"おなまえ", u"でんわ",   u"郵便番号", u"おところ",
                                                       u"品名",     u"プリンタ", u"注文番号", u"伝票番号"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kColumns)
        return QAbstractTableModel::headerData(section, orientation, role);
    return QString::fromUtf16(captions[section]);
}
