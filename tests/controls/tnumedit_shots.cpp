// Renders the numeric edit control in a few states into one PNG, for
// looking at the drawing by eye: tnumedit_shots <out.png>
#include <QApplication>
#include <QFormLayout>
#include <QLabel>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include "controls/TNumEdit.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("tnumedit.png");

    QWidget window;
    auto* form = new QFormLayout(&window);
    const auto row = [&](const char16_t* caption) {
        auto* e = new TNumEdit(&window);
        e->setFixedWidth(160);
        form->addRow(QString::fromUtf16(caption), e);
        return e;
    };
    TNumEdit* empty = row(u"空・フォーカス");
    TNumEdit* marks = row(u"記号付き");
    marks->setLeftMark(QStringLiteral("￥"));
    marks->setRightMark(QStringLiteral("円"));
    marks->setText(QStringLiteral("1234567"));
    TNumEdit* selected = row(u"選択");
    selected->setText(QStringLiteral("-98765.432"));
    selected->selectAll();
    selected->setHideSelection(false);
    TNumEdit* disabled = row(u"無効");
    disabled->setText(QStringLiteral("4321"));
    disabled->selectAll();
    disabled->setEnabled(false);
    TNumEdit* fixed = row(u"左寄せ・固定");
    fixed->setAlignment(TNumEdit::taLeftJustify);
    fixed->setDecimalLength(2);
    fixed->setDecimalFixed(true);
    fixed->setText(QStringLiteral("7.5"));
    TNumEdit* bold = row(u"太字");
    QFont f = bold->font();
    f.setBold(true);
    bold->setFont(f);
    bold->setText(QStringLiteral("100"));

    window.show();
    window.activateWindow();
    empty->setFocus(Qt::OtherFocusReason);
    QTimer::singleShot(300, &app, [&] {
        selected->selectAll();  // focus arrival elsewhere must not have cleared it
        const bool ok = window.grab().save(out);
        app.exit(ok ? 0 : 1);
    });
    return app.exec();
}
