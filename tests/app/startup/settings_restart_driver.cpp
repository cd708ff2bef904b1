// The whole program as one run, steered from the command line so that a
// test can end it in a chosen way and start it again:
//   settings_restart_driver ACTION [objectName=value ...]
// Once the main window is up and idle it prints "ready", then every kept
// field as "objectName=value" (UTF-8), then "end"; it sets the given fields
// and ends the run by ACTION: "F2" (exit command answered Yes), "close"
// (the close box), "wait" (until a stop signal arrives) or "modal" (a real
// modal question box stays open; "modal" is printed once it is) or
// "startbox" (a real error box opens during the first showing; "modal"). At the end it
// prints each error box as "error=text". Printing goes to a scripted
// printer; message boxes answer Yes.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "app/main_form/app_windows.h"
#include "app/main_form/form_main.h"
#include "app/startup/program.h"
#include "controls/TNumEdit.h"
#include "print/Wbprn/WbPrinters.h"
#include "print/Wbprn/fake/fake_printer_system.h"
#include "tests/support/scripted_boxes.h"

namespace {

const char* const kKept[] = {"Edit_Zip",   "Edit_Add1",   "Edit_Add2",    "Edit_Add3",   "Edit_Custo1",
                             "Edit_tel",   "Edit_G1",     "Edit_G2",      "Edit_G3",     "Edit_My",
                             "Edit_MyZip", "Edit_MyADD1", "Edit_MyADD2",  "Edit_MyTEL",  "NumEdit_KOSUU",
                             "ComboBox_SEL", "ComboBox_FontSize", "PageControl_My"};

void say(const QString& line) {
    std::fputs((line + QLatin1Char('\n')).toUtf8().constData(), stdout);
    std::fflush(stdout);
}

QString valueOf(QWidget* w) {
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    if (auto* n = qobject_cast<TNumEdit*>(w)) return n->text();
    if (auto* c = qobject_cast<QComboBox*>(w)) return QString::number(c->currentIndex());
    if (auto* t = qobject_cast<QTabBar*>(w)) return QString::number(t->currentIndex());
    return QStringLiteral("?");
}

void setValue(QWidget* w, const QString& value) {
    if (auto* e = qobject_cast<QLineEdit*>(w)) e->setText(value);
    if (auto* n = qobject_cast<TNumEdit*>(w)) n->setText(value);
    if (auto* c = qobject_cast<QComboBox*>(w)) c->setCurrentIndex(value.toInt());
    if (auto* t = qobject_cast<QTabBar*>(w)) t->setCurrentIndex(value.toInt());
}

}  // namespace

int main(int argc, char** argv) {
    const QString action = argc > 1 ? QString::fromUtf8(argv[1]) : QString();
    QStringList assignments;
    for (int i = 2; i < argc; ++i) assignments << QString::fromUtf8(argv[i]);

    ScriptedBoxes boxes;
    for (int i = 0; i < 8; ++i) boxes.answer(true);

    ProgramHooks hooks;
    hooks.beforeWindows = [&] {
        WbPrinter().ResetSystem(std::make_unique<wbprn::FakePrinterSystem>(
            std::vector<wbprn::FakePrinter>{{QStringLiteral("Fake360")}}));
        if (action == QLatin1String("startbox")) {
            // Real boxes: a missing sender file opens a modal error box
            // during the first showing, before the event loop runs.
            setMessageBoxes(nullptr);
            QTimer::singleShot(300, qApp, [] { say(QStringLiteral("modal")); });
        }
    };
    hooks.whenIdle = [&] {
        say(QStringLiteral("ready"));
        for (const char* name : kKept)
            say(QLatin1String(name) + QLatin1Char('=') + valueOf(Form_Main->findChild<QWidget*>(QLatin1String(name))));
        say(QStringLiteral("end"));
        for (const QString& a : assignments) {
            const qsizetype eq = a.indexOf(QLatin1Char('='));
            if (QWidget* w = Form_Main->findChild<QWidget*>(a.left(eq))) setValue(w, a.mid(eq + 1));
        }
        if (action == QLatin1String("F2")) Form_Main->SpeedButton_F2->click();
        if (action == QLatin1String("close")) Form_Main->close();
        if (action == QLatin1String("modal")) {
            // A real modal box, open when the test is told "modal".
            setMessageBoxes(nullptr);
            QTimer::singleShot(100, Form_Main, [] { say(QStringLiteral("modal")); });
            messageBoxes().question(Form_Main, QStringLiteral("終了しますか?"));
            setMessageBoxes(&boxes);
        }
    };
    const int code = runProgram(argc, argv, hooks);
    for (const QString& e : boxes.errors) say(QStringLiteral("error=") + e);
    return code;
}
