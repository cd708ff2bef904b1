#pragma once
// The real main window for the tests on the private CUPS schedulers: run in
// a scratch folder (with an optional printer file), with the hidden layout
// window and scripted boxes, and a waybill typed in.
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtWidgets/qtestsupport_widgets.h>
#include <memory>
#include <vector>

#include "app/main_form/app_windows.h"
#include "app/main_form/form_main.h"
#include "widgets/sjis_line_edit.h"
#include "print/Wb_d97_Dot.h"
#include "print/core/layout.h"
#include "tests/support/scripted_boxes.h"
#include "text/sjis_qt.h"

namespace e2e {

// UTF-8 text as Shift-JIS bytes (printer files are written in it).
inline QByteArray sj(const char* utf8) {
    return QByteArray::fromStdString(sjis::fromQString(QString::fromUtf8(utf8)));
}

struct Program {
    QTemporaryDir dir;
    QString previousDir = QDir::currentPath();
    ScriptedBoxes boxes;
    std::unique_ptr<TWb_d97_Dot> layoutWindow = std::make_unique<TWb_d97_Dot>();
    std::unique_ptr<TForm_Main> form;

    explicit Program(const QByteArray& printerFile = {}) {
        QDir::setCurrent(dir.path());
        if (!printerFile.isEmpty()) {
            QFile f(dir.filePath(QStringLiteral("vamu_a500.ini")));
            f.open(QIODevice::WriteOnly);
            f.write(printerFile);
        }
        Wb_d97_Dot = layoutWindow.get();
        form = std::make_unique<TForm_Main>();
        Form_Main = form.get();
        form->show();
        // As the program's event loop does, the window is drawn before
        // anything is typed; the printer box is complete from then on.
        if (!QTest::qWaitForWindowExposed(form.get())) qWarning("main window not drawn");
        boxes.errors.clear();  // a fresh folder has no sender file
        form->Edit_Zip->setText(QStringLiteral("1000005"));  // fits the address: no warning stands
        form->Edit_Add1->setText(QStringLiteral("東京都千代田区丸の内１－２－３"));
        form->Edit_Custo1->setText(QStringLiteral("日通太郎様"));
        form->Edit_tel->setText(QStringLiteral("03-1234-5678"));
        form->Edit_G1->setText(QStringLiteral("書籍"));
        form->Edit_My->setText(QStringLiteral("依頼主商店"));
    }
    ~Program() {
        form.reset();
        Form_Main = nullptr;
        Wb_d97_Dot = nullptr;
        QDir::setCurrent(previousDir);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // F11 answered Yes; returns how long the command took (ms).
    qint64 printYes() {
        boxes.answer(true);
        QElapsedTimer t;
        t.start();
        form->SpeedButton_F11->click();
        return t.elapsed();
    }
    void selectFeed(int i) {
        form->ComboBox_SEL->setCurrentIndex(i);
        emit form->ComboBox_SEL->activated(i);
    }
    // What the layout draws for the window's fields as they are now.
    std::vector<print::DrawItem> plan() const { return print::planWaybill(gatherWaybillFields(*form)); }
};

}  // namespace e2e
