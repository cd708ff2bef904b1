// The preview page against the print job's PDF for the same fields, and the
// overflow check with the real print font.
#include <QImage>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "print/Wbprn/pdf_canvas.h"
#include "print/core/layout.h"
#include "print/preview_page.h"
#include "tests/print/page_ink.h"
#include "text/sjis_qt.h"

namespace {

std::string sj(const char16_t* text) { return sjis::fromQString(QString::fromUtf16(text)); }

print::WaybillFields sample(int dpiX, int dpiY) {
    print::WaybillFields f;
    f.dpix = std::to_string(dpiX);
    f.dpiy = std::to_string(dpiY);
    f.prnTop = "12";
    f.prnLeft = "-7";
    f.zip = "123-4567";
    f.date = "2026/12/07";
    f.add1 = sj(u"東京都千代田区丸の内１－２－３");
    f.custo1 = sj(u"日通太郎様");
    f.tel = "03-1234-5678";
    f.g1 = sj(u"書籍");
    f.deDate1 = "26";
    f.my = sj(u"依頼主商店");
    f.myTel = "06-1111-2222";
    f.timeBand[2] = true;
    f.special[1] = true;
    return f;
}

}  // namespace

class TestPreviewPage : public QObject {
    Q_OBJECT
private slots:
    void pageMatchesThePrintJobsPdf_data() {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("dpiX");
        QTest::newRow("square 150 dpi") << 150 << 150;
        QTest::newRow("wide 150 × 300 dpi") << 150 << 300;
    }
    void pageMatchesThePrintJobsPdf() {
        QFETCH(int, dpi);
        QFETCH(int, dpiX);
        if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty()) QSKIP("poppler-utils not installed");
        // A half-letter sheet whose printable area starts 9 pt in and 18 pt down.
        print_preview::PageSetup setup;
        setup.page.paper = QSizeF(612, 396);
        setup.page.printable = QRectF(9, 18, 594, 360);
        setup.dpi = dpi;
        setup.dpiX = dpiX;
        const print::WaybillFields fields = sample(dpiX, dpi);

        print_preview::PreviewPage page;
        page.update(fields, setup);
        const QImage preview = page.render(false);

        // The job's document, as the printer layer sets it up for this paper.
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("job.pdf"));
        {
            wbprn::PdfPageSetup job;
            job.pageSize = QPageSize(setup.page.paper, QPageSize::Point, QString(), QPageSize::ExactMatch);
            job.dpi = dpi;
            job.dpiX = dpiX;
            job.printableOrigin = setup.page.printable.topLeft();
            wbprn::PdfCanvas canvas(pdf, job, QStringLiteral("vamu_Pelican  "));
            print::layoutWaybill(fields, canvas);
            canvas.newPage();
            QVERIFY(canvas.finish());
        }
        const auto printed = page_ink::firstPage(pdf, dpi);
        QVERIFY(printed);
        QVERIFY(qAbs(printed->width() - preview.width()) <= 1);
        QVERIFY(qAbs(printed->height() - preview.height()) <= 1);
        // Every text's ink in the same place, within a pixel, item by item.
        const QStringList problems = page_ink::inkDifferences(*printed, preview, fields, QPointF(9, 18) * (dpi / 72.0),
                                                              static_cast<double>(dpi) / dpiX);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
    }

    void overflowWithThePrintFont() {
        print_preview::PageSetup setup;  // A4 whole page, 360 dpi
        print::WaybillFields f = sample(360, 360);
        print_preview::PreviewPage page;
        // Thirty katakana: half-width they fit the name's box, full-width not.
        f.custo1 = sj(u"ｱｲｳｴｵｶｷｸｹｺｱｲｳｴｵｶｷｸｹｺｱｲｳｴｵｶｷｸｹｺ");
        page.update(f, setup);
        QVERIFY(page.overflows().empty());
        QCOMPARE(print_preview::overflowPrompt(page.overflows()), QString());
        f.custo1 = sj(u"アイウエオカキクケコアイウエオカキクケコアイウエオカキクケコ");
        page.update(f, setup);
        QCOMPARE(page.overflows().size(), 1u);
        QCOMPARE(page.overflows()[0].room, 855);
        QVERIFY(page.overflows()[0].width > 855);
        QCOMPARE(print_preview::overflowPrompt(page.overflows()), QStringLiteral("はみ出す項目: おなまえ"));

        // Several items in drawing order, each named once: a margin that
        // lifts the first line (v 30 and 38) off the page's top edge names
        // the seven postal-code boxes once.
        f.add1 += f.add1;
        f.prnTop = "-90";
        page.update(f, setup);
        QCOMPARE(print_preview::overflowPrompt(page.overflows()),
                 QStringLiteral("はみ出す項目: 郵便番号、発送日、おところ①、おなまえ"));
    }
};

QTEST_MAIN(TestPreviewPage)
#include "preview_page_test.moc"
