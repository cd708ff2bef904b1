#include "widgets/ui_fonts.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QStringList>

void registerFontSubstitutes() {
    static const bool done = [] {
        QStringList gothic;
        gothic << QStringLiteral("IPAPGothic") << QStringLiteral("IPAexGothic") << QStringLiteral("Noto Sans CJK JP");
        QFont::insertSubstitutions(kGothicFace, gothic);
        QStringList mincho;
        mincho << QStringLiteral("IPAPMincho") << QStringLiteral("IPAexMincho") << QStringLiteral("Noto Serif CJK JP");
        QFont::insertSubstitutions(kMinchoFace, mincho);
        return true;
    }();
    (void)done;
}

QFont gothicFont(int pixelSize, bool bold) {
    registerFontSubstitutes();
    QFont f(kGothicFace);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

void fitTextToWidth(QLabel& label, int smallest) {
    QFont font = label.font();
    int size = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    const int room = label.contentsRect().width();
    while (size > smallest && QFontMetrics(font).horizontalAdvance(label.text()) > room) {
        font.setPixelSize(--size);
    }
    label.setFont(font);
}
