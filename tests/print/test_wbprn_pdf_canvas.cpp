// The PDF surface: font substitution and embedding, sizes in device pixels,
// positions from the printable area's corner, pages.
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "print/Wbprn/pdf_canvas.h"
#include "tests/e2e/cups_harness.h"
#include "text/sjis_qt.h"

class TestPdfCanvas : public QObject {
    Q_OBJECT

private slots:
    void pixelSizes_data() {
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("pixels");
        QTest::newRow("12pt 360dpi") << 12 << 360 << 60;
        QTest::newRow("9pt 203dpi rounds down") << 9 << 203 << 25;    // 25.375
        QTest::newRow("10pt 203dpi rounds up") << 10 << 203 << 28;    // 28.19 → 28
        QTest::newRow("14pt 203dpi") << 14 << 203 << 39;              // 39.47
        QTest::newRow("11pt 600dpi") << 11 << 600 << 92;              // 91.67
    }
    void pixelSizes() {
        QFETCH(int, points);
        QFETCH(int, dpi);
        QFETCH(int, pixels);
        QCOMPARE(wbprn::PdfCanvas::pixelSizeFor(points, dpi), pixels);
    }

    void rendersEmbeddedMinchoAtDevicePositions() {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("poppler-utils not installed");
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
        wbprn::PdfPageSetup setup;
        setup.pageSize = QPageSize(QSizeF(612, 396), QPageSize::Point, QString(), QPageSize::ExactMatch);
        setup.dpi = 360;
        setup.printableOrigin = QPointF(9, 18);
        wbprn::PdfCanvas canvas(pdf, setup, QStringLiteral("vamu_Pelican  "));
        canvas.setFontName(sjis::fromQString(QStringLiteral("ＭＳ Ｐ明朝")));
        canvas.setFontSize(12);
        canvas.setBrushColor(print::kWhite);
        canvas.textOut(360, 720, sjis::fromQString(QStringLiteral("日通ペリカン")));
        canvas.setFontSize(9);
        canvas.textOut(0, 0, "1234567");
        canvas.newPage();
        QVERIFY(canvas.finish());

        const auto fonts = e2e::run(QStringLiteral("pdffonts"), {pdf});
        QVERIFY(fonts);
        QVERIFY2(fonts->contains(QStringLiteral("IPAPMincho")), qPrintable(*fonts));
        QVERIFY2(e2e::notEmbedded(*fonts).isEmpty(), qPrintable(*fonts));
        const auto info = e2e::run(QStringLiteral("pdfinfo"), {pdf});
        QVERIFY(info);
        QVERIFY2(info->contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n"))), qPrintable(*info));
        QVERIFY2(info->contains(QStringLiteral("vamu_Pelican")), qPrintable(*info));

        struct Want {
            QString text;
            double x, y, height;
        };
        // 360 px = 72 pt; a 12 pt em is 60 px = 12 pt tall.
        const Want want[] = {{QStringLiteral("日通ペリカン"), 9 + 72, 18 + 144, 12},
                             {QStringLiteral("1234567"), 9, 18, 9}};
        const auto words = e2e::pdfWords(pdf);
        for (const Want& w : want) {
            bool found = false;
            for (const e2e::Word& word : words) {
                if (word.text != w.text) continue;
                found = true;
                QVERIFY(qAbs(word.xMin - w.x) <= 0.5);
                QVERIFY(qAbs(word.yMin - w.y) <= 0.5);
                QVERIFY(qAbs(word.yMax - word.yMin - w.height) <= 1.0);
            }
            QVERIFY2(found, qPrintable(w.text));
        }
    }

    void unequalResolutionsKeepBothAxesInTheirOwnPixels() {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("poppler-utils not installed");
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("wide.pdf"));
        wbprn::PdfPageSetup setup;
        setup.dpi = 180;
        setup.dpiX = 360;
        wbprn::PdfCanvas canvas(pdf, setup, QString());
        canvas.setFontName(sjis::fromQString(QStringLiteral("ＭＳ Ｐ明朝")));
        canvas.setFontSize(12);
        canvas.textOut(720, 360, "WIDE");   // 2 inches right, 2 inches down
        canvas.textOut(360, 540, "ABCD");   // 1 inch right, 3 inches down
        QVERIFY(canvas.finish());
        int found = 0;
        for (const e2e::Word& word : e2e::pdfWords(pdf)) {
            if (word.text != QLatin1String("WIDE") && word.text != QLatin1String("ABCD")) continue;
            const bool wide = word.text == QLatin1String("WIDE");
            QVERIFY(qAbs(word.xMin - (wide ? 144 : 72)) <= 0.5);
            QVERIFY(qAbs(word.yMin - (wide ? 144 : 216)) <= 0.5);
            // Glyphs keep their proportions: width of 4 capitals near 12 pt text.
            const double width = word.xMax - word.xMin;
            QVERIFY2(width > 20 && width < 40, qPrintable(QString::number(width)));
            ++found;
        }
        QCOMPARE(found, 2);
    }

    // A document the writer could not store whole is a failure with a
    // reason: a folder that is not there, and a device where every write
    // fails (as on a full disk), whether the canvas opens it or the caller.
    void failedWritesReportFailure_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("callerOpens");
        QTest::newRow("missing folder") << QStringLiteral("/nonexistent-dir/x.pdf") << false;
        QTest::newRow("full device") << QStringLiteral("/dev/full") << false;
        QTest::newRow("full device, caller's file") << QStringLiteral("/dev/full") << true;
    }
    void failedWritesReportFailure() {
        QFETCH(QString, path);
        QFETCH(bool, callerOpens);
        QFile own(path);
        if (callerOpens) QVERIFY(own.open(QIODevice::WriteOnly));
        auto canvas = callerOpens ? std::make_unique<wbprn::PdfCanvas>(own, wbprn::PdfPageSetup{}, QString())
                                  : std::make_unique<wbprn::PdfCanvas>(path, wbprn::PdfPageSetup{}, QString());
        canvas->setFontName(sjis::fromQString(QStringLiteral("ＭＳ Ｐ明朝")));
        canvas->textOut(1, 1, "x");
        canvas->newPage();
        QVERIFY(!canvas->finish());
        QVERIFY(!canvas->errorString().isEmpty());
    }
};

QTEST_MAIN(TestPdfCanvas)
#include "test_wbprn_pdf_canvas.moc"
