#include "print/Wbprn/waybill_fit.h"

#include <cmath>

#include "print/Wbprn/painter_canvas.h"
#include "print/core/layout.h"
#include "print/core/str_to_int.h"

namespace wbprn {

WaybillFit::WaybillFit(std::optional<QSizeF> printablePt) : printable_(printablePt) {}
WaybillFit::~WaybillFit() = default;

std::vector<print::Overflow> WaybillFit::overflows(const print::WaybillFields& fields) {
    const std::vector<print::DrawItem> items = print::planWaybill(fields);
    const print::DeviceMap map = print::DeviceMap::of(fields);
    const int dpiX = print::strToInt(fields.dpix), dpiY = print::strToInt(fields.dpiy);
    if (dpiX < 1 || dpiY < 1) return {};
    // Font metrics are made per size on first use: keep them while the
    // resolution stays the same (a whole batch, as a rule).
    if (!measure_ || dpiY != dpi_ || dpiX != dpiX_) {
        measure_ = std::make_unique<PrintFontMeasure>(dpiY, dpiX);
        dpi_ = dpiY;
        dpiX_ = dpiX;
    }
    std::optional<print::ImageableArea> area;
    if (printable_)
        area = print::ImageableArea{static_cast<int>(std::floor(printable_->width() * dpiX / 72.0)),
                                    static_cast<int>(std::floor(printable_->height() * dpiY / 72.0)), dpiY};
    return print::findOverflows(
        items, map, [this](int points, const std::string& text) { return measure_->width(points, text); }, area);
}

}  // namespace wbprn
