#pragma once
// A main window over the scripted printing system, in a scratch folder.
#include <QFile>
#include <QLabel>
#include <memory>

#include "print/Wbprn/WbPrinters.h"
#include "print/Wbprn/fake/fake_printer_system.h"
#include "print/printer_file.h"
#include "tests/app/test_form_fixture.h"
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
