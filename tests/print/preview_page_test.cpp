// The preview page against the print job's PDF for the same fields, and the
// overflow check with the real print font.
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "print/Wbprn/pdf_canvas.h"
#include "print/core/layout.h"
#include "print/preview_page.h"
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

// Ink (dark pixels) of an image inside a rectangle; null when there is none.
QRect ink(const QImage& image, const QRect& within) {
    QRect box;
    const QRect r = within.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128) box |= QRect(x, y, 1, 1);
    return box;
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
        QProcess raster;
        raster.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"),
                                                  QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
                                                  QStringLiteral("-gray"), pdf, dir.filePath(QStringLiteral("p"))});
        QVERIFY(raster.waitForFinished(20000));
        const QStringList out = QDir(dir.path()).entryList({QStringLiteral("p*.pgm")});
        QCOMPARE(out.size(), 1);
        const QImage printed(dir.filePath(out[0]));
        QVERIFY(!printed.isNull());
        QVERIFY(qAbs(printed.width() - preview.width()) <= 1);
        QVERIFY(qAbs(printed.height() - preview.height()) <= 1);

        // Every text's ink in the same place, within a pixel, item by item.
        const print::DeviceMap map = print::DeviceMap::of(fields);
        const double k = dpi / 72.0, sx = static_cast<double>(dpi) / dpiX;
        int compared = 0;
        for (const print::DrawItem& item : print::planWaybill(fields)) {
            const print::DeviceRect a = map.area(item.item);
            const QRect area(QPoint(static_cast<int>(9 * k + a.x * sx), static_cast<int>(18 * k + a.y)),
                             QPoint(static_cast<int>(9 * k + a.right * sx) - 1, static_cast<int>(18 * k + a.bottom) - 1));
            const QRect want = ink(printed, area), got = ink(preview, area);
            QVERIFY2(!want.isNull(), qPrintable(sjis::toQString(item.text)));
            QVERIFY2(qAbs(want.left() - got.left()) <= 1 && qAbs(want.top() - got.top()) <= 1 &&
                         qAbs(want.right() - got.right()) <= 1 && qAbs(want.bottom() - got.bottom()) <= 1,
                     qPrintable(QStringLiteral("%1: pdf %2,%3-%4,%5 preview %6,%7-%8,%9")
                                    .arg(sjis::toQString(item.text))
                                    .arg(want.left()).arg(want.top()).arg(want.right()).arg(want.bottom())
                                    .arg(got.left()).arg(got.top()).arg(got.right()).arg(got.bottom())));
            ++compared;
        }
        QCOMPARE(compared, 19);
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

    void aBadCaptionKeepsTheLastPage() {
        print_preview::PreviewPage page;
        print::WaybillFields f = sample(360, 360);
        page.update(f, {});
        f.prnLeft = "Left";
        QVERIFY_THROWS_EXCEPTION(std::exception, page.update(f, {}));
        QVERIFY(!page.empty());
        QCOMPARE(page.pixelSize().toSize(), QSize(2975, 4210));
    }
};

QTEST_MAIN(TestPreviewPage)
#include "preview_page_test.moc"
