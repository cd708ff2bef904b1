#include "widgets/list_combo_box.h"

#include <QWheelEvent>

ListComboBox::ListComboBox(QWidget* parent) : QComboBox(parent) {
    // A plain combo box takes the focus from the wheel too; this one only
    // from a click or the Tab key.
    setFocusPolicy(Qt::StrongFocus);
}

void ListComboBox::wheelEvent(QWheelEvent* event) {
    if (!hasFocus()) {
        // Ignored, the event goes on to the list around it, which scrolls.
        event->ignore();
        return;
    }
    QComboBox::wheelEvent(event);
}
