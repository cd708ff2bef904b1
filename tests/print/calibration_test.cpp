// The calibration page on a recording surface at 254 dpi, where a
// millimetre is exactly ten device pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "print/core/calibration.h"
#include "print/core/form_items.h"
#include "print/core/recording_surface.h"
#include "print/core/str_to_int.h"

using print::RecordingSurface;

namespace {

struct CalibrationPage : ::testing::Test {
    print::WaybillFields f;
    RecordingSurface s;
    CalibrationPage() {
        f.dpix = f.dpiy = "254";
        f.prnTop = "7";
        f.prnLeft = "-3";
        f.add1 = "not printed";
        print::drawCalibration(f, s);
    }
    bool hasLine(int x1, int y1, int x2, int y2) const {
        return std::find(s.lines.begin(), s.lines.end(), RecordingSurface::Line{x1, y1, x2, y2}) != s.lines.end();
    }
    const RecordingSurface::Call* text(const std::string& t, int size) const {
        for (const auto& c : s.calls)
            if (c.text == t && c.size == size) return &c;
        return nullptr;
    }
};

}  // namespace

TEST_F(CalibrationPage, RulersAtWholeMillimetresFromTheShiftedOrigin) {
    const int x0 = -3, y0 = 7;
    // Top ruler: ticks of 0.8, 1.5 and 2.5 mm; left ruler likewise.
    EXPECT_TRUE(hasLine(x0 + 10, y0, x0 + 10, y0 + 8));
    EXPECT_TRUE(hasLine(x0 + 50, y0, x0 + 50, y0 + 15));
    EXPECT_TRUE(hasLine(x0 + 1000, y0, x0 + 1000, y0 + 25));
    EXPECT_TRUE(hasLine(x0, y0 + 30, x0 + 8, y0 + 30));
    EXPECT_TRUE(hasLine(x0, y0 + 1000, x0 + 25, y0 + 1000));
    // 8 × 4 inches: 203 and 101 whole millimetres.
    EXPECT_TRUE(hasLine(x0 + 2030, y0, x0 + 2030, y0 + 8));
    EXPECT_FALSE(hasLine(x0 + 2040, y0, x0 + 2040, y0 + 8));
    EXPECT_TRUE(hasLine(x0, y0 + 1010, x0 + 8, y0 + 1010));
    EXPECT_FALSE(hasLine(x0, y0 + 1020, x0 + 8, y0 + 1020));
    // Numbers every 10 mm, half a millimetre past the tick and the edge.
    for (int mm = 10; mm <= 200; mm += 10) {
        const auto* label = text(std::to_string(mm), print::kRulerLabelSize);
        ASSERT_NE(label, nullptr) << mm;
        if (mm <= 100) continue;  // the left ruler has the same numbers
        EXPECT_EQ(label->x, x0 + mm * 10 + 5);
        EXPECT_EQ(label->y, y0 + 30);
    }
    EXPECT_EQ(text("210", print::kRulerLabelSize), nullptr);
    // Crosshairs of ±5 mm at the corners (8 in = 2032 px, 4 in = 1016 px).
    EXPECT_TRUE(hasLine(x0 - 50, y0, x0 + 50, y0));
    EXPECT_TRUE(hasLine(x0 + 2032, y0 + 1016 - 50, x0 + 2032, y0 + 1016 + 50));
}

TEST_F(CalibrationPage, EveryItemSampleAtItsPlaceInsideItsOutline) {
    const print::DeviceMap map = print::DeviceMap::of(f);
    for (const auto& place : print::formItems()) {
        SCOPED_TRACE(place.key);
        const print::DeviceRect r = map.area(place.item);
        EXPECT_TRUE(hasLine(r.x, r.y, r.right, r.y));
        EXPECT_TRUE(hasLine(r.x, r.bottom, r.x, r.y));
        const bool placed = std::any_of(s.calls.begin(), s.calls.end(), [&](const auto& c) {
            return c.x == r.x && c.y == r.y && c.size == place.size && c.text == print::calibrationSample(place.item);
        });
        EXPECT_TRUE(placed);
    }
    // The form's texts are not printed: the page is about positions.
    EXPECT_EQ(text("not printed", 10), nullptr);
}

TEST(CalibrationPageErrors, BadCaptionOrRangeRaisesBeforeDrawing) {
    print::WaybillFields f;
    f.dpix = f.dpiy = "360";
    f.prnTop = "Top";
    RecordingSurface s;
    EXPECT_THROW(print::drawCalibration(f, s), print::ConvertError);
    f.prnTop = "2147483600";
    EXPECT_THROW(print::drawCalibration(f, s), print::LayoutRangeError);
    EXPECT_TRUE(s.calls.empty());
    EXPECT_TRUE(s.lines.empty());
}
