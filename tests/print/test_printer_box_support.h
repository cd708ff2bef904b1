#pragma once
// A main window over the scripted printing system, in a scratch folder.
#include <QFile>
#include <QLabel>
#include <memory>

#include "print/Wbprn/WbPrinters.h"
#include "print/Wbprn/fake/fake_printer_system.h"
#include "print/printer_file.h"
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "app/form_main.h"
#include "tests/support/scripted_boxes.h"
#include "text/sjis_qt.h"

namespace printer_box_test {

inline wbprn::FakePrinter fakePrinter(const char* name, bool hidden = false) {
    wbprn::FakePrinter p;
    p.name = QString::fromUtf8(name);
    p.hidden = hidden;
    p.papers = {3, {9, 8, 256}, {"A4", "A3", "送り状"}};
    p.bins = {2, {256, 257}, {"手差し", "トラクタ"}};
    p.defaults = {wbprn::kFieldPaperSize | wbprn::kFieldDefaultSource, 9, 100, 256, 1, 1};
    return p;
}

// Installs a fake printing system in WbPrinter(); returns it (owned there).
inline wbprn::FakePrinterSystem* installPrinters(std::vector<wbprn::FakePrinter> printers, int defaultIndex = 0) {
    auto sys = std::make_unique<wbprn::FakePrinterSystem>(std::move(printers), defaultIndex);
    auto* raw = sys.get();
    WbPrinter().ResetSystem(std::move(sys));
    return raw;
}

// The main window shown in a scratch current directory over the given
// printers, with scripted message boxes.
struct BoxForm {
    QTemporaryDir dir;
    QString previousDir = QDir::currentPath();
    ScriptedBoxes boxes;
    wbprn::FakePrinterSystem* printers = nullptr;
    std::unique_ptr<TForm_Main> form;

    explicit BoxForm(std::vector<wbprn::FakePrinter> list, int defaultIndex = 0,
                     const QByteArray& printerFile = QByteArray()) {
        printers = installPrinters(std::move(list), defaultIndex);
        QDir::setCurrent(dir.path());
        if (!printerFile.isEmpty()) {
            QFile f(dir.filePath(QStringLiteral("vamu_a500.ini")));
            if (f.open(QIODevice::WriteOnly)) f.write(printerFile);
        }
        form = std::make_unique<TForm_Main>();
        form->show();
        form->activateWindow();
        if (!QTest::qWaitForWindowActive(form.get())) qWarning("main window did not become active");
    }
    ~BoxForm() {
        form.reset();
        QDir::setCurrent(previousDir);
    }
    template <class T = QWidget>
    T* find(const QString& name) const {
        return form->findChild<T*>(name);
    }
};

inline QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
}

// Shift-JIS bytes of a UTF-8 text.
inline QByteArray sj(const char* utf8) {
    return QByteArray::fromStdString(sjis::fromQString(QString::fromUtf8(utf8)));
}

}  // namespace printer_box_test
