#include "widgets/input_mode_delegate.h"

#include <QLineEdit>

QWidget* InputModeDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    const auto mode = modes_.constFind(index.column());
    if (editor && mode != modes_.constEnd()) setInputMode(editor, *mode);
    return editor;
}

void InputModeDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const {
    const auto convert = conversions_.constFind(index.column());
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (convert == conversions_.constEnd() || !line) {
        QStyledItemDelegate::setModelData(editor, model, index);
        return;
    }
    model->setData(index, (*convert)(line->text()), Qt::EditRole);
}
