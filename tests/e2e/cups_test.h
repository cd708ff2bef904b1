#pragma once
// GoogleTest pieces shared by the tests on the private CUPS schedulers: a
// fixture on the main scheduler with no captured jobs, and the check that
// planned texts land where the printer receives them.
#include <gtest/gtest.h>

#include <QPointF>
#include <cmath>
#include <vector>

#include "print/core/layout.h"
#include "tests/e2e/cups_harness.h"
#include "text/sjis_qt.h"

namespace e2e {

// Skips when the fixture is not running; otherwise points the printer layer
// at the main scheduler and clears the captured jobs.
class MainSchedulerTest : public ::testing::Test {
protected:
    void SetUp() override {
        QString why;
        if (fixtureDir(&why).isEmpty()) GTEST_SKIP() << why.toStdString();
        useScheduler(mainSocket());
        clearCaptures();
    }
};

// Every planned text found on the job's first page at the device position
// (dpi, printable-area origin in points) within 0.5 pt.
inline void expectAtPositions(const QString& pdf, const std::vector<print::DrawItem>& items, double dpi,
                              QPointF origin) {
    const auto words = pdfWords(pdf);
    ASSERT_FALSE(words.empty());
    for (const auto& item : items) {
        const QString text = sjis::toQString(item.text);
        const double x = origin.x() + item.x * 72.0 / dpi, y = origin.y() + item.y * 72.0 / dpi;
        const Word* best = nullptr;
        for (const auto& w : words) {
            if (w.page != 1 || !text.startsWith(w.text)) continue;
            if (!best || std::hypot(w.xMin - x, w.yMin - y) < std::hypot(best->xMin - x, best->yMin - y)) best = &w;
        }
        ASSERT_NE(best, nullptr) << "not found: " << text.toStdString();
        EXPECT_NEAR(best->xMin, x, 0.5) << text.toStdString();
        EXPECT_NEAR(best->yMin, y, 0.5) << text.toStdString();
    }
}

}  // namespace e2e
