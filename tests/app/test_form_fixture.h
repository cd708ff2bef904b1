#pragma once
// A main window shown and active in a scratch current directory, with
// scripted message boxes, a recording shell and a fixed clock.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <memory>

#include "app/main_form/form_main.h"
#include "services/clock.h"
#include "services/shell_open.h"
#include "print/Wbprn/WbPrinters.h"
#include "print/Wbprn/fake/fake_printer_system.h"
#include "tests/support/scripted_boxes.h"

class RecordingShell final : public ShellOpen {
public:
    RecordingShell() { setShellOpen(this); }
    ~RecordingShell() override { setShellOpen(nullptr); }
    void open(const QUrl& url) override { opened << url; }
    QList<QUrl> opened;
};

class FixedClock final : public Clock {
public:
    FixedClock() { setAppClock(this); }
    ~FixedClock() override { setAppClock(nullptr); }
    QDate today() override { return QDate(2026, 12, 7); }
};

// The objectNames of the controls the Tab key visits from `start`, which
// has the focus in an active window, until it comes back there (at most
// `limit` steps).
inline QStringList tabCycle(QWidget* start, int limit = 60) {
    start->setFocus(Qt::TabFocusReason);
    QStringList seen;
    for (int i = 0; i < limit && QApplication::focusWidget() && seen.value(seen.size() - 1) != start->objectName(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        seen << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString());
    }
    return seen;
}

// Installs the printing system the window sees in WbPrinter(); returns it
// (owned there) so a test can script and inspect it.
inline wbprn::FakePrinterSystem* usePrinters(std::vector<wbprn::FakePrinter> printers, int defaultIndex = 0) {
    auto sys = std::make_unique<wbprn::FakePrinterSystem>(std::move(printers), defaultIndex);
    auto* raw = sys.get();
    WbPrinter().ResetSystem(std::move(sys));
    return raw;
}

// One plain printer unless a test asks for another set; an optional
// printer file and other files (paths relative to the folder) in the folder
// before the window starts.
struct ShownForm {
    QTemporaryDir dir;
    QString previousDir = QDir::currentPath();
    ScriptedBoxes boxes;
    RecordingShell shell;
    FixedClock clock;
    wbprn::FakePrinterSystem* printers = nullptr;
    std::unique_ptr<TForm_Main> form;

    explicit ShownForm(std::vector<wbprn::FakePrinter> list = {wbprn::FakePrinter{QStringLiteral("Fake")}},
                       int defaultIndex = 0, const QByteArray& printerFile = QByteArray(),
                       const QList<QPair<QString, QByteArray>>& files = {}) {
        printers = usePrinters(std::move(list), defaultIndex);
        QDir::setCurrent(dir.path());
        for (const auto& [name, bytes] : files) {
            QDir().mkpath(QFileInfo(dir.filePath(name)).path());
            QFile f(dir.filePath(name));
            if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) qWarning("file not written");
        }
        if (!printerFile.isEmpty()) {
            QFile f(dir.filePath(QStringLiteral("vamu_a500.ini")));
            if (!f.open(QIODevice::WriteOnly) || f.write(printerFile) != printerFile.size())
                qWarning("printer file not written");
        }
        form = std::make_unique<TForm_Main>();
        form->show();
        form->activateWindow();
        if (!QTest::qWaitForWindowActive(form.get())) qWarning("main window did not become active");
    }
    ~ShownForm() {
        form.reset();  // runs FormDestroy while the scratch folder exists
        QDir::setCurrent(previousDir);
    }

    // The control that has the focus, a date picker's inner editor counted
    // as the picker.
    QWidget* focused() const {
        QWidget* w = QApplication::focusWidget();
        if (w && w->parentWidget() && w->parentWidget()->objectName() == QLatin1String("DateTimePicker_1"))
            return w->parentWidget();
        return w;
    }
    QString focusedName() const {
        QWidget* w = focused();
        return w ? w->objectName() : QString();
    }
    template <class T = QWidget>
    T* find(const QString& name) const {
        return form->findChild<T*>(name);
    }
    // Gives a control the focus as the Tab key would.
    void focus(const QString& name) {
        QWidget* w = find(name);
        w->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
    }
    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QWidget* target = QApplication::focusWidget();
        QTest::keyClick(target ? target : form.get(), k, mods);
    }
    // Delivers one typed text as a single key press, the way a character
    // outside the basic plane arrives from the keyboard.
    void type(const QString& text) {
        QWidget* target = QApplication::focusWidget();
        QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, text, Qt::NoModifier);
    }
};
