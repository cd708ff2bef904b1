#pragma once
// Which texts of a waybill will not fit, measured in the print font at the
// waybill's own resolution (its dpix / dpiy captions), against the item
// areas of the form and, when known, the printer's printable area.
#include <QSizeF>
#include <memory>
#include <optional>
#include <vector>

#include "print/core/overflow.h"
#include "print/core/waybill_fields.h"

namespace wbprn {

class PrintFontMeasure;

class WaybillFit {
public:
    // `printablePt`: size of the printable area in points; none checks the
    // item areas only.
    explicit WaybillFit(std::optional<QSizeF> printablePt = std::nullopt);
    ~WaybillFit();
    WaybillFit(const WaybillFit&) = delete;
    WaybillFit& operator=(const WaybillFit&) = delete;

    // Raises what the layout raises for bad captions.
    std::vector<print::Overflow> overflows(const print::WaybillFields& fields);

private:
    std::optional<QSizeF> printable_;
    int dpi_ = 0, dpiX_ = 0;
    std::unique_ptr<PrintFontMeasure> measure_;  // for dpi_, dpiX_
};

}  // namespace wbprn
