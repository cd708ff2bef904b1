#include "print/core/layout.h"

#include <iterator>
#include <limits>

#include "print/core/str_to_int.h"
#include "text/sjis.h"

namespace print {

namespace {

// Floor division for a positive divisor (C++ truncates towards zero).
std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

// Postal code boxes take bytes 1, 2, 3, 5, 6, 7, 8: byte 4 is the hyphen.
constexpr std::size_t kZipBytes[7] = {1, 2, 3, 5, 6, 7, 8};

// The item `offset` places after `first` (box i of a row of boxes).
FormItem nth(FormItem first, std::size_t offset) {
    return static_cast<FormItem>(static_cast<std::size_t>(first) + offset);
}

class Planner {
public:
    explicit Planner(const WaybillFields& f) : map_(DeviceMap::of(f)) {}

    void add(FormItem item, std::string text) {
        const FormItemPlace* place = map_.form->find(item);
        if (!place) return;
        // Positions are mapped even for empty texts, so that an unmappable
        // layout fails the same way whatever the fields hold.
        int x = mapPosition(map_.rawX, place->u, map_.left);
        int y = mapPosition(map_.rawY, place->v, map_.top);
        if (!text.empty()) items.push_back({place->size, x, y, std::move(text), item});
    }

    // One byte per box. A byte that is half of a double-byte character
    // yields nothing (a lone byte would print as a stray glyph).
    void addZip(const std::string& zip, FormItem first) {
        for (std::size_t i = 0; i < std::size(kZipBytes); ++i)
            add(nth(first, i), sjis::substrBytes(zip, kZipBytes[i], 1));
    }

    std::vector<DrawItem> items;

private:
    DeviceMap map_;
};

}  // namespace

std::int64_t effectiveResolution(int dpi, std::uint16_t scale) {
    if (scale == 0) throw std::runtime_error("Division by zero");
    return std::int64_t{dpi} * 100 / scale;
}

std::int64_t scaleRaw(std::int32_t resolution) {
    // resolution × 10000 / 160 = resolution × 125 / 2: an odd product is an
    // exact tie, which goes to the even neighbour.
    const std::int64_t twice = std::int64_t{resolution} * 125;
    std::int64_t q = floorDiv(twice, 2);
    if (twice % 2 != 0 && q % 2 != 0) ++q;
    return q;
}

std::int32_t checkedPosition(std::int64_t pos) {
    if (pos < std::numeric_limits<std::int32_t>::min() || pos > std::numeric_limits<std::int32_t>::max())
        throw LayoutRangeError("Print position out of range: check the printer resolution and the print-position margins");
    return static_cast<std::int32_t>(pos);
}

std::int64_t mapPosition64(std::int64_t raw, int units, std::int32_t margin) {
    return floorDiv(raw * units + 5000, 10000) + margin;
}

std::int32_t mapPosition(std::int64_t raw, int units, std::int32_t margin) {
    return checkedPosition(mapPosition64(raw, units, margin));
}

DeviceMap DeviceMap::of(const WaybillFields& f) {
    DeviceMap m;
    m.rawX = scaleRaw(strToInt(f.dpix));
    m.rawY = scaleRaw(strToInt(f.dpiy));
    m.top = f.prnTop.empty() ? 0 : strToInt(f.prnTop);
    m.left = f.prnLeft.empty() ? 0 : strToInt(f.prnLeft);
    m.form = &formOf(f);
    return m;
}

DeviceRect DeviceMap::map(int u, int v, int right, int bottom) const {
    return {mapPosition(rawX, u, left), mapPosition(rawY, v, top), mapPosition(rawX, right, left),
            mapPosition(rawY, bottom, top)};
}

DeviceRect DeviceMap::area(FormItem item) const {
    const FormItemPlace* s = form->find(item);
    if (!s) return map(0, 0, 0, 0);
    return map(s->u, s->v, s->right, s->bottom);
}

const Form& formOf(const WaybillFields& fields) { return fields.form ? *fields.form : builtinForm(); }

std::vector<DrawItem> planWaybill(const WaybillFields& f) {
    using F = FormItem;
    Planner p(f);
    p.addZip(f.zip, F::Zip1);
    if (f.printDate) {
        // "yyyy/mm/dd": two-digit year, month, day.
        p.add(F::ShipYear, sjis::substrBytes(f.date, 3, 2));
        p.add(F::ShipMonth, sjis::substrBytes(f.date, 6, 2));
        p.add(F::ShipDay, sjis::substrBytes(f.date, 9, 2));
    }
    p.add(F::DeliveryYear, f.deDate1);
    p.add(F::DeliveryMonth, f.deDate2);
    p.add(F::DeliveryDay, f.deDate3);
    p.add(F::Add1, f.add1);
    p.add(F::Add2, f.add2);
    p.add(F::Goods1, f.g1);
    p.add(F::Goods2, f.g2);
    p.add(F::Goods3, f.g3);
    p.add(F::Name, f.custo1);
    p.add(F::Tel, f.tel);
    if (f.printSender) {
        p.addZip(f.myZip, F::MyZip1);
        p.add(F::MyAdd1, f.myAdd1);
        p.add(F::MyAdd2, f.myAdd2);
        p.add(F::MyName, f.my);
        p.add(F::MyTel, f.myTel);
    }
    // The form lets only one time band be chosen: the first checked counts.
    for (std::size_t i = 0; i < f.timeBand.size(); ++i) {
        if (f.timeBand[i]) {
            p.add(nth(F::TimeBand1, i), kMark);
            break;
        }
    }
    // Special handling boxes may be combined (空港 with 冷蔵, 冷蔵 with
    // 冷凍): every checked box gets its mark, so none goes out unmarked.
    for (std::size_t i = 0; i < f.special.size(); ++i)
        if (f.special[i]) p.add(nth(F::Golf, i), kMark);
    return std::move(p.items);
}
void drawItems(const std::vector<DrawItem>& items, Surface& surface) {
    surface.setFontName(kFaceName);
    surface.setFontColor(kBlack);
    surface.setBrushColor(kWhite);
    int size = 0;
    for (const DrawItem& item : items) {
        if (item.size != size) {
            size = item.size;
            surface.setFontSize(size);
        }
        surface.textOut(item.x, item.y, item.text);
    }
}

void layoutWaybill(const WaybillFields& fields, Surface& surface) {
    drawItems(planWaybill(fields), surface);
}

}  // namespace print
