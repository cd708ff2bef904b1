#include "widgets/button_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {
constexpr int kSide = 24;

template <class Draw>
QIcon drawn(Draw&& draw) {
    QPixmap pm(kSide, kSide);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    p.end();
    return {pm};
}
}  // namespace

QIcon clearIcon() {
    return drawn([](QPainter& p) {
        p.setPen(QPen(QColor(200, 30, 30), 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(5, 5, 19, 19);
        p.drawLine(19, 5, 5, 19);
    });
}

QIcon saveIcon() {
    return drawn([](QPainter& p) {
        p.setPen(QPen(QColor(20, 40, 110), 1.5));
        p.setBrush(QColor(40, 80, 180));
        p.drawRoundedRect(QRectF(3, 3, 18, 18), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 4, 10, 7));      // label
        p.setBrush(QColor(200, 200, 210));
        p.drawRect(QRectF(7, 14, 10, 6));     // shutter
    });
}

QIcon webIcon() {
    return drawn([](QPainter& p) {
        p.setPen(QPen(QColor(20, 90, 160), 1.6));
        p.setBrush(QColor(210, 230, 250));
        p.drawEllipse(QRectF(3, 3, 18, 18));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(8, 3, 8, 18));  // meridian
        p.drawLine(QPointF(3, 12), QPointF(21, 12));
        p.drawLine(QPointF(5, 7.5), QPointF(19, 7.5));
        p.drawLine(QPointF(5, 16.5), QPointF(19, 16.5));
    });
}
