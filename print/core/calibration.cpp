#include "print/core/calibration.h"

#include <cmath>
#include <cstddef>
#include <vector>

#include "print/core/form_items.h"

namespace print {

namespace {

constexpr double kUnitsPerMm = 160.0 / 25.4;

int mmToDevice(std::int64_t raw, double mm, std::int32_t margin) {
    // The layout's own mapping, for a fractional number of form units.
    // |raw| < 2^38, so the pixel count is exact in a double and far from
    // the 64-bit limits.
    const double px = std::floor(static_cast<double>(raw) * mm * kUnitsPerMm / 10000.0 + 0.5);
    return checkedPosition(static_cast<std::int64_t>(px) + margin);
}

// Whole millimetres a ruler covers along a form edge of `units`.
int rulerLength(int units) { return static_cast<int>(std::floor(units / kUnitsPerMm)); }

struct Drawing {
    std::vector<DrawItem> texts;
    struct Segment { int x1, y1, x2, y2; };
    std::vector<Segment> lines;

    void rect(const DeviceRect& r) {
        lines.push_back({r.x, r.y, r.right, r.y});
        lines.push_back({r.right, r.y, r.right, r.bottom});
        lines.push_back({r.right, r.bottom, r.x, r.bottom});
        lines.push_back({r.x, r.bottom, r.x, r.y});
    }
};

double tickLength(int mm) { return mm % 10 == 0 ? kTickLong : mm % 5 == 0 ? kTickMedium : kTickShort; }

void addRulers(const DeviceMap& map, Drawing& d) {
    const int x0 = mmToDeviceX(map, 0), y0 = mmToDeviceY(map, 0);
    for (int mm = 0; mm <= rulerLength(map.form->width); ++mm) {
        const int x = mmToDeviceX(map, mm);
        d.lines.push_back({x, y0, x, mmToDeviceY(map, tickLength(mm))});
        if (mm % 10 == 0 && mm > 0)
            d.texts.push_back({kRulerLabelSize, mmToDeviceX(map, mm + kRulerLabelOffset),
                               mmToDeviceY(map, kTickLong + kRulerLabelOffset), std::to_string(mm), FormItem::Count});
    }
    for (int mm = 0; mm <= rulerLength(map.form->height); ++mm) {
        const int y = mmToDeviceY(map, mm);
        d.lines.push_back({x0, y, mmToDeviceX(map, tickLength(mm)), y});
        if (mm % 10 == 0 && mm > 0)
            d.texts.push_back({kRulerLabelSize, mmToDeviceX(map, kTickLong + kRulerLabelOffset),
                               mmToDeviceY(map, mm + kRulerLabelOffset), std::to_string(mm), FormItem::Count});
    }
}

void addCrosshairs(const DeviceMap& map, Drawing& d) {
    const double w = map.form->width / kUnitsPerMm, h = map.form->height / kUnitsPerMm;
    for (const double cx : {0.0, w}) {
        for (const double cy : {0.0, h}) {
            d.lines.push_back({mmToDeviceX(map, cx - kCrosshairHalf), mmToDeviceY(map, cy),
                               mmToDeviceX(map, cx + kCrosshairHalf), mmToDeviceY(map, cy)});
            d.lines.push_back({mmToDeviceX(map, cx), mmToDeviceY(map, cy - kCrosshairHalf),
                               mmToDeviceX(map, cx), mmToDeviceY(map, cy + kCrosshairHalf)});
        }
    }
}

}  // namespace

int mmToDeviceX(const DeviceMap& map, double mm) { return mmToDevice(map.rawX, mm, map.left); }
int mmToDeviceY(const DeviceMap& map, double mm) { return mmToDevice(map.rawY, mm, map.top); }

std::string calibrationSample(FormItem item) {
    const auto i = static_cast<int>(item);
    if (item >= FormItem::Zip1 && item <= FormItem::Zip7)
        return std::to_string(i - static_cast<int>(FormItem::Zip1) + 1);
    if (item >= FormItem::MyZip1 && item <= FormItem::MyZip7)
        return std::to_string(i - static_cast<int>(FormItem::MyZip1) + 1);
    if (item >= FormItem::ShipYear && item <= FormItem::DeliveryDay) return "88";
    if (item >= FormItem::TimeBand1) return kMark;
    return formItem(item).label;
}

void drawCalibration(const WaybillFields& fields, Surface& surface) {
    // Everything is mapped first, so a bad caption or an unmappable margin
    // is raised before anything is drawn.
    const DeviceMap map = DeviceMap::of(fields);
    Drawing d;
    d.rect(map.map(0, 0, map.form->width, map.form->height));
    for (const FormItemPlace& place : map.form->items) {
        const DeviceRect area = map.area(place.item);
        d.rect(area);
        d.texts.push_back({place.size, area.x, area.y, calibrationSample(place.item), place.item});
    }
    addRulers(map, d);
    addCrosshairs(map, d);

    surface.setFontName(kFaceName);
    surface.setFontColor(kBlack);
    surface.setBrushColor(kWhite);
    for (const auto& l : d.lines) surface.line(l.x1, l.y1, l.x2, l.y2);
    // Texts over the lines: each paints its cell white, as on the waybill.
    drawItems(d.texts, surface);
}

}  // namespace print
