#pragma once
// A table's cell editors with the input mode of their column: a postal code
// or telephone cell is typed with the input method off, a name or address
// cell in Japanese. Columns without a mode get Qt's ordinary editor.
#include <QHash>
#include <QStyledItemDelegate>

#include "widgets/input_mode.h"

class InputModeDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void setColumnMode(int column, InputMode mode) { modes_.insert(column, mode); }
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;

private:
    QHash<int, InputMode> modes_;
};
