#include "print/Wbprn/waybill_fit.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

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
    // Measuring in the font is the costly part: a text that cannot reach
    // the end of its room even if every byte were one em wide (a character
    // is never wider than an em, and has at least one byte), and whose cell
    // stays on the printable area, fits without being measured.
    std::vector<print::DrawItem> candidates;
    for (const print::DrawItem& item : items) {
        if (item.item == print::FormItem::Count) continue;
        std::int64_t end = map.area(item.item).right;
        const auto emX = static_cast<std::int64_t>(std::ceil(item.size * static_cast<double>(dpiX) / 72.0)) + 1;
        const auto emY = static_cast<std::int64_t>(std::ceil(item.size * static_cast<double>(dpiY) / 72.0)) + 1;
        bool mayLeave = false;
        if (area) {
            end = std::min<std::int64_t>(end, area->width);
            mayLeave = item.x < 0 || item.y < 0 || item.y + emY > area->height;
        }
        const auto bound = emX * static_cast<std::int64_t>(item.text.size() + 1);
        if (mayLeave || item.x + bound > end) candidates.push_back(item);
    }
    return print::findOverflows(
        candidates, map, [this](int points, const std::string& text) { return measure_->width(points, text); }, area);
}

}  // namespace wbprn
