// A form made in the designer, driven through its widgets, printed as its
// calibration page on the private CUPS scheduler: every item's text lands
// in the job's PDF where the saved form file places it.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <chrono>
#include <cmath>

#include "print/Wbprn/WbPrinters.h"
#include "print/core/calibration.h"
#include "print/core/form_file.h"
#include "store/file_read.h"
#include "tests/app/form_designer/designer_driver.h"
#include "tests/e2e/cups_test.h"
#include "text/sjis_qt.h"

using namespace std::chrono_literals;

namespace {

using CupsDesigner = e2e::MainSchedulerTest;

// The item's calibration sample nearest to where the form places it, in
// points from the page's corner (A4 on this queue: printable area from 18 pt).
void expectAtPlace(const std::vector<e2e::Word>& words, const print::FormItemPlace& place) {
    const QString text = sjis::toQString(print::calibrationSample(place.item));
    const double x = 18 + place.u * 72.0 / 160, y = 18 + place.v * 72.0 / 160;
    const e2e::Word* best = nullptr;
    for (const auto& w : words)
        if (w.page == 1 && w.text == text &&
            (!best || std::hypot(w.xMin - x, w.yMin - y) < std::hypot(best->xMin - x, best->yMin - y)))
            best = &w;
    ASSERT_NE(best, nullptr) << place.key;
    EXPECT_NEAR(best->xMin, x, 0.5) << place.key;
    EXPECT_NEAR(best->yMin, y, 0.5) << place.key;
}

}  // namespace

TEST_F(CupsDesigner, TheCalibrationPageOfADesignedFormPrintsAtThePlacesSet) {
    WbPrinter().SetIndex(0);
    ASSERT_EQ(WbPrinter().Dpi().y, 203);
    designer_test::Designer d;
    ASSERT_TRUE(d.exposed);
    const QString scan = QString::fromStdString(d.folder.file("scan.png"));
    ASSERT_TRUE(d.window->openScan(designer_test::writeScan(scan, 8, 4, 300)));

    // The first goods line narrowed, moved into the free corner above the
    // goods column, nudged, and set in a larger font.
    const std::size_t g1 = d.indexOf("g1");
    d.click(g1);
    d.drag(d.canvas().boxRect(g1).bottomRight().toPoint(), QPoint(-d.pixels(25), 0));
    d.drag(d.centreOf(g1), QPoint(d.pixels(12), -d.pixels(6)));
    d.key(Qt::Key_Right, {}, 7);
    d.key(Qt::Key_Down, Qt::ShiftModifier);
    d.window->Spin_FontSize->setValue(12);
    d.saveAs(QStringLiteral("佐川 元払"), QStringLiteral("sagawa"));
    ASSERT_TRUE(d.boxes.errors.isEmpty()) << d.boxes.errors.join(u'|').toStdString();

    std::string text;
    ASSERT_EQ(readWholeFile(d.formPath("sagawa"), text), 0);
    const auto saved = print::parseForm(text, "sagawa");
    ASSERT_TRUE(saved.form);
    const print::FormItemPlace* goods = saved.form->find(print::FormItem::Goods1);
    ASSERT_NE(goods, nullptr);
    ASSERT_NE(goods->u, print::builtinForm().find(print::FormItem::Goods1)->u);
    ASSERT_NE(goods->v, print::builtinForm().find(print::FormItem::Goods1)->v);

    d.boxes.answer(true);
    QTest::mouseClick(d.window->Button_Calibration, Qt::LeftButton);
    ASSERT_EQ(d.boxes.questions, QStringList{QStringLiteral("普通紙をセットしてください。テスト印刷しますか?")});
    ASSERT_TRUE(d.boxes.errors.isEmpty()) << d.boxes.errors.join(u'|').toStdString();
    const auto jobs = e2e::waitForJobs(1, 10s);
    ASSERT_EQ(jobs.size(), 1u);
    const auto words = e2e::pdfWords(jobs[0].pdfPath);
    // The moved item and its unmoved neighbours on the consignee's side.
    for (const auto item : {print::FormItem::Goods1, print::FormItem::Goods2, print::FormItem::Name,
                            print::FormItem::Tel, print::FormItem::Add1})
        expectAtPlace(words, *saved.form->find(item));
}
