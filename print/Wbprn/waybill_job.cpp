#include "print/Wbprn/waybill_job.h"

#include "print/Wbprn/WbPrinters.h"
#include "print/core/layout.h"

namespace wbprn {

void printWaybillPage(const print::WaybillFields& fields) {
    print::layoutWaybill(fields, WbPrinter().Canvas());
}

std::optional<int> printWaybillJob(const QString& title, const std::vector<print::WaybillFields>& waybills,
                                   const std::function<bool(std::size_t)>& onPage,
                                   const std::function<void()>& beforeSubmit) {
    std::vector<std::vector<print::DrawItem>> pages;
    pages.reserve(waybills.size());
    for (const print::WaybillFields& f : waybills) pages.push_back(print::planWaybill(f));

    WbPrinter().BeginDoc(title);
    try {
        for (std::size_t i = 0; i < pages.size(); ++i) {
            if (i > 0) WbPrinter().NewPage();
            print::drawItems(pages[i], WbPrinter().Canvas());
            if (onPage && !onPage(i + 1)) {
                WbPrinter().Abort();
                return std::nullopt;
            }
        }
        if (beforeSubmit) beforeSubmit();
    } catch (...) {
        // Discard the half-built job; the drawing error is the one reported.
        try {
            WbPrinter().Abort();
        } catch (...) {
        }
        throw;
    }
    return WbPrinter().EndDoc();
}

}  // namespace wbprn
