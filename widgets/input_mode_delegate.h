#pragma once
// A table's cell editors with the input mode of their column: a postal code
// or telephone cell is typed with the input method off, a name or address
// cell in Japanese. Columns without a mode get Qt's ordinary editor. A
// column may also convert what the user edits before it goes into the
// cell (the postal code and telephone made half-width, as on the form).
#include <QHash>
#include <QStyledItemDelegate>
#include <functional>

#include "widgets/input_mode.h"

class InputModeDelegate final : public QStyledItemDelegate {
public:
    using Conversion = std::function<QString(const QString&)>;
    using QStyledItemDelegate::QStyledItemDelegate;
    void setColumnMode(int column, InputMode mode) { modes_.insert(column, mode); }
    void setColumnConversion(int column, const Conversion& convert) { conversions_.insert(column, convert); }
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

private:
    QHash<int, InputMode> modes_;
    QHash<int, Conversion> conversions_;
};
