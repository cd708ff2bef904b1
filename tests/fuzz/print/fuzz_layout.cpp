// Random field texts, resolutions and margins through the waybill layout:
// no crash, and every position drawn is the exact (64-bit) mapping of a
// form position, never a wrapped one; a layout that cannot be mapped is
// refused with the range error, and only then. The overflow check and the
// calibration page of the same fields neither crash nor draw half a page.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "print/core/calibration.h"
#include "print/core/layout.h"
#include "print/core/overflow.h"
#include "print/core/recording_surface.h"
#include "print/core/str_to_int.h"

namespace {

// Every u and v of the layout table.
constexpr int kUs[] = {190, 235, 280, 350, 399, 448, 497, 560, 630, 690, 180, 810, 245, 255, 655, 695};
constexpr int kVs[] = {30, 38, 96, 80, 140, 160, 190, 220, 240, 290, 325, 380, 420, 485, 520,
                       156, 196, 236, 276, 316, 356, 250, 300, 350};

// The same mapping written independently (|dpi × 125 × 810| < 2^48).
std::int64_t exactPosition(std::int32_t dpi, int units, std::int32_t margin) {
    std::int64_t twice = static_cast<std::int64_t>(dpi) * 125;  // 2 × ScaleRaw
    std::int64_t raw = twice >= 0 ? twice / 2 : -((-twice + 1) / 2);  // floor
    if (twice % 2 != 0 && raw % 2 != 0) raw += 1;                 // tie to even
    std::int64_t n = raw * units + 5000;
    std::int64_t q = n / 10000;
    if (n % 10000 != 0 && n < 0) q -= 1;
    return q + margin;
}

bool fits(std::int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; }

struct Reader {
    const std::uint8_t* p;
    std::size_t n;
    std::uint8_t byte() { return n ? (--n, *p++) : 0; }
    std::int32_t int32() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = v << 8 | byte();
        return static_cast<std::int32_t>(v);
    }
    // Bytes up to the next 0x00 (or the end).
    std::string text() {
        std::string s;
        while (n) {
            std::uint8_t c = byte();
            if (c == 0) break;
            s += static_cast<char>(c);
        }
        return s;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Reader r{data, size};
    print::WaybillFields f;
    const std::uint8_t mode = r.byte();
    f.printDate = mode & 1;
    f.printSender = mode & 2;
    const std::uint8_t bands = r.byte(), special = r.byte();
    for (int i = 0; i < 6; ++i) f.timeBand[i] = bands >> i & 1;
    for (int i = 0; i < 5; ++i) f.special[i] = special >> i & 1;
    // Numbers as decimal captions (mode bit 2), or raw caption texts.
    const std::int32_t nums[4] = {r.int32(), r.int32(), r.int32(), r.int32()};
    std::string* captions[4] = {&f.dpix, &f.dpiy, &f.prnTop, &f.prnLeft};
    for (int i = 0; i < 4; ++i) *captions[i] = (mode & 4) ? std::to_string(nums[i]) : r.text();
    if (mode & 8) f.prnTop.clear();
    std::string* texts[] = {&f.zip, &f.date, &f.deDate1, &f.deDate2, &f.deDate3, &f.add1, &f.add2,
                            &f.g1, &f.g2, &f.g3, &f.custo1, &f.tel, &f.myZip, &f.myAdd1, &f.myAdd2,
                            &f.my, &f.myTel};
    for (std::string* t : texts) *t = r.text();

    print::RecordingSurface surface;
    try {
        print::layoutWaybill(f, surface);
    } catch (const print::ConvertError&) {
        if (!surface.calls.empty()) std::abort();  // raised after drawing began
        return 0;
    } catch (const print::LayoutRangeError&) {
        if (!surface.calls.empty()) std::abort();
        // Only when some table position really leaves the 32-bit range.
        const auto dx = *print::parseInt32(f.dpix), dy = *print::parseInt32(f.dpiy);
        const auto top = f.prnTop.empty() ? 0 : *print::parseInt32(f.prnTop);
        const auto left = f.prnLeft.empty() ? 0 : *print::parseInt32(f.prnLeft);
        bool anyOut = false;
        for (int u : kUs) anyOut = anyOut || !fits(exactPosition(dx, u, left));
        for (int v : kVs) anyOut = anyOut || !fits(exactPosition(dy, v, top));
        if (!anyOut) std::abort();
        return 0;
    }
    const auto dx = *print::parseInt32(f.dpix), dy = *print::parseInt32(f.dpiy);
    const auto top = f.prnTop.empty() ? 0 : *print::parseInt32(f.prnTop);
    const auto left = f.prnLeft.empty() ? 0 : *print::parseInt32(f.prnLeft);
    for (const auto& c : surface.calls) {
        bool xOk = false, yOk = false;
        for (int u : kUs) xOk = xOk || exactPosition(dx, u, left) == c.x;
        for (int v : kVs) yOk = yOk || exactPosition(dy, v, top) == c.y;
        if (!xOk || !yOk || c.text.empty()) std::abort();
    }

    // The overflow check of what was drawn raises nothing, and reports only
    // texts wider than their room or outside the area (7 pixels a byte).
    const print::ImageableArea page{nums[0] & 0xFFFF, nums[1] & 0xFFFF, dy};
    const auto overflows = print::findOverflows(
        print::planWaybill(f), print::DeviceMap::of(f),
        [](int, const std::string& t) { return static_cast<int>(t.size()) * 7; }, page);
    for (const auto& o : overflows)
        if (!(o.width > o.room || o.outside)) std::abort();

    // The calibration page draws all of itself or, raising, nothing.
    print::RecordingSurface calibration;
    try {
        print::drawCalibration(f, calibration);
    } catch (const print::LayoutRangeError&) {
        if (!calibration.calls.empty() || !calibration.lines.empty()) std::abort();
    }
    return 0;
}
