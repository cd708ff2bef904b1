#pragma once
// Waybills on the current printer. Every document is its waybill pages back
// to back and ends after the last one: an empty page would feed out, and
// waste, a pre-printed form (the printer layer adds the one blank form a
// printer without tear-off asks for).
#include <QString>
#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

#include "print/core/waybill_fields.h"

namespace wbprn {

// One waybill on the current page of the open document of WbPrinter(): its
// texts. Errors propagate unchanged; nothing is drawn when planning fails.
void printWaybillPage(const print::WaybillFields& fields);

// All waybills as one document titled `title`. Every waybill is planned
// before the document opens, so a bad caption stops the job before it
// starts. onPage(done) runs after each page; when it returns false the
// document is discarded (nothing reaches the printer) and the result is
// nullopt. beforeSubmit() runs once the document is whole, right before
// it is handed to the print service (to record the print first). An error
// discards the document and propagates. Returns the print service's job id
// (0 when it gives none).
std::optional<int> printWaybillJob(const QString& title, const std::vector<print::WaybillFields>& waybills,
                                   const std::function<bool(std::size_t done)>& onPage = {},
                                   const std::function<void()>& beforeSubmit = {});

}  // namespace wbprn
