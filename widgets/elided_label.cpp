#include "widgets/elided_label.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

QSize ElidedLabel::minimumSizeHint() const {
    // As high as a line, and no width of its own to impose on the window.
    return {0, QLabel::minimumSizeHint().height()};
}

QSize ElidedLabel::sizeHint() const { return {0, QLabel::sizeHint().height()}; }

bool ElidedLabel::elided() const { return fontMetrics().horizontalAdvance(text()) > contentsRect().width(); }

void ElidedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect room = contentsRect();
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideMiddle, room.width());
    style()->drawItemText(&painter, room, static_cast<int>(alignment()), palette(), isEnabled(), shown, foregroundRole());
}

bool ElidedLabel::event(QEvent* event) {
    // The whole text once it is cut, unless the label was given a tooltip.
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
        if (elided()) QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text(), this);
        else QToolTip::hideText();
        return true;
    }
    return QLabel::event(event);
}
