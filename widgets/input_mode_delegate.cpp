#include "widgets/input_mode_delegate.h"

QWidget* InputModeDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    const auto mode = modes_.constFind(index.column());
    if (editor && mode != modes_.constEnd()) setInputMode(editor, *mode);
    return editor;
}
