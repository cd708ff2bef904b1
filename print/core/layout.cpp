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
constexpr int kZipU[7] = {190, 235, 280, 350, 399, 448, 497};
constexpr int kDateU[3] = {560, 630, 690};  // year, month, day columns
constexpr int kTimeBandV[6] = {156, 196, 236, 276, 316, 356};
struct Place { int u, v; };
constexpr Place kSpecial[5] = {{655, 250}, {695, 250}, {655, 300}, {655, 350}, {695, 350}};

class Planner {
public:
    explicit Planner(const WaybillFields& f)
        // Resolutions first, then the margins: the order in which a bad
        // caption is reported.
        : rawX_(scaleRaw(strToInt(f.dpix))),
          rawY_(scaleRaw(strToInt(f.dpiy))),
          top_(f.prnTop.empty() ? 0 : strToInt(f.prnTop)),
          left_(f.prnLeft.empty() ? 0 : strToInt(f.prnLeft)) {}

    void add(int size, int u, int v, std::string text) {
        // Positions are mapped even for empty texts, so that an unmappable
        // layout fails the same way whatever the fields hold.
        int x = mapPosition(rawX_, u, left_);
        int y = mapPosition(rawY_, v, top_);
        if (!text.empty()) items.push_back({size, x, y, std::move(text)});
    }

    // One byte per box. A byte that is half of a double-byte character
    // yields nothing (a lone byte would print as a stray glyph).
    void addZip(const std::string& zip, int v, int size) {
        for (std::size_t i = 0; i < std::size(kZipU); ++i)
            add(size, kZipU[i], v, sjis::substrBytes(zip, kZipBytes[i], 1));
    }

    std::vector<DrawItem> items;

private:
    std::int64_t rawX_, rawY_;
    std::int32_t top_, left_;
};

}  // namespace

std::int64_t scaleRaw(std::int32_t resolution) {
    // resolution × 10000 / 160 = resolution × 125 / 2: an odd product is an
    // exact tie, which goes to the even neighbour.
    const std::int64_t twice = std::int64_t{resolution} * 125;
    std::int64_t q = floorDiv(twice, 2);
    if (twice % 2 != 0 && q % 2 != 0) ++q;
    return q;
}

std::int32_t mapPosition(std::int64_t raw, int units, std::int32_t margin) {
    // |raw| < 2^38 and |units| is a form size, so the product fits 64 bits.
    const std::int64_t pos = floorDiv(raw * units + 5000, 10000) + margin;
    if (pos < std::numeric_limits<std::int32_t>::min() || pos > std::numeric_limits<std::int32_t>::max())
        throw LayoutRangeError("Print position out of range: check the printer resolution and the print-position margins");
    return static_cast<std::int32_t>(pos);
}

std::vector<DrawItem> planWaybill(const WaybillFields& f) {
    Planner p(f);
    p.addZip(f.zip, 30, 14);
    if (f.printDate) {
        // "yyyy/mm/dd": two-digit year, month, day.
        p.add(10, kDateU[0], 38, sjis::substrBytes(f.date, 3, 2));
        p.add(10, kDateU[1], 38, sjis::substrBytes(f.date, 6, 2));
        p.add(10, kDateU[2], 38, sjis::substrBytes(f.date, 9, 2));
    }
    p.add(10, kDateU[0], 96, f.deDate1);
    p.add(10, kDateU[1], 96, f.deDate2);
    p.add(10, kDateU[2], 96, f.deDate3);
    p.add(10, 180, 80, f.add1);
    p.add(10, 180, 140, f.add2);
    p.add(10, 810, 160, f.g1);
    p.add(10, 810, 190, f.g2);
    p.add(10, 810, 220, f.g3);
    p.add(10, 180, 240, f.custo1);
    p.add(10, 245, 290, f.tel);
    if (f.printSender) {
        p.addZip(f.myZip, 325, 14);
        p.add(10, 180, 380, f.myAdd1);
        p.add(10, 180, 420, f.myAdd2);
        p.add(10, 180, 485, f.my);
        p.add(12, 255, 520, f.myTel);
    }
    // The form lets only one time band be chosen: the first checked counts.
    for (std::size_t i = 0; i < f.timeBand.size(); ++i) {
        if (f.timeBand[i]) {
            p.add(18, 560, kTimeBandV[i], kMark);
            break;
        }
    }
    // Special handling boxes may be combined (空港 with 冷蔵, 冷蔵 with
    // 冷凍): every checked box gets its mark, so none goes out unmarked.
    for (std::size_t i = 0; i < f.special.size(); ++i)
        if (f.special[i]) p.add(14, kSpecial[i].u, kSpecial[i].v, kMark);
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
