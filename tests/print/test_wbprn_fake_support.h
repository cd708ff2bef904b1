#pragma once
// Printer lists for the printer-layer tests.
#include <memory>

#include "print/Wbprn/WbPrinters.h"
#include "print/Wbprn/fake/fake_printer_system.h"

namespace wbprn_test {

inline wbprn::FakePrinter printer(const char* name, bool hidden = false) {
    wbprn::FakePrinter p;
    p.name = QString::fromUtf8(name);
    p.hidden = hidden;
    p.papers = {3, {9, 8, 256}, {"A4", "A3", "送り状"}};
    p.bins = {2, {256, 257}, {"手差し", "トラクタ"}};
    p.defaults = {wbprn::kFieldPaperSize | wbprn::kFieldDefaultSource, 9, 100, 257, 1, 1};
    return p;
}

// A TWbPrinter over a fake; `fake` stays usable to script and inspect.
struct Rig {
    explicit Rig(std::vector<wbprn::FakePrinter> printers, int defaultIndex = 0) {
        auto sys = std::make_unique<wbprn::FakePrinterSystem>(std::move(printers), defaultIndex);
        fake = sys.get();
        wb = std::make_unique<TWbPrinter>(std::move(sys));
    }
    wbprn::FakePrinterSystem* fake;
    std::unique_ptr<TWbPrinter> wb;
};

}  // namespace wbprn_test
