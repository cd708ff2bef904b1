// The PDF surface: font substitution and embedding, sizes in device pixels,
// positions from the printable area's corner, pages.
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "print/Wbprn/pdf_canvas.h"
#include "text/sjis_qt.h"

class TestPdfCanvas : public QObject {
    Q_OBJECT

    static QString runTool(const QString& tool, const QStringList& args) {
        QProcess p;
        p.start(tool, args);
        p.waitForFinished(20000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }

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

        const QString fonts = runTool(QStringLiteral("pdffonts"), {pdf});
        QVERIFY2(fonts.contains(QStringLiteral("IPAPMincho")), qPrintable(fonts));
        // Every font embedded: the "emb" column, fifth from the end.
        for (const QString& line : fonts.split(QLatin1Char('\n')).mid(2)) {
            const QStringList cols = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (cols.size() >= 5) QCOMPARE(cols[cols.size() - 5], QStringLiteral("yes"));
        }
        const QString info = runTool(QStringLiteral("pdfinfo"), {pdf});
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n"))), qPrintable(info));
        QVERIFY2(info.contains(QStringLiteral("vamu_Pelican")), qPrintable(info));

        const QString words = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
        const QRegularExpression re(QStringLiteral(R"re(xMin="([\d.]+)" yMin="([\d.]+)" xMax="[\d.]+" yMax="([\d.]+)">([^<]+)<)re"));
        struct Want {
            QString text;
            double x, y, height;
        };
        // 360 px = 72 pt; a 12 pt em is 60 px = 12 pt tall.
        const Want want[] = {{QStringLiteral("日通ペリカン"), 9 + 72, 18 + 144, 12},
                             {QStringLiteral("1234567"), 9, 18, 9}};
        for (const Want& w : want) {
            bool found = false;
            for (auto it = re.globalMatch(words); it.hasNext();) {
                const auto m = it.next();
                if (m.captured(4) != w.text) continue;
                found = true;
                QVERIFY(qAbs(m.captured(1).toDouble() - w.x) <= 0.5);
                QVERIFY(qAbs(m.captured(2).toDouble() - w.y) <= 0.5);
                QVERIFY(qAbs(m.captured(3).toDouble() - m.captured(2).toDouble() - w.height) <= 1.0);
            }
            QVERIFY2(found, qPrintable(w.text + QStringLiteral(" in ") + words));
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
        const QString words = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
        const QRegularExpression re(QStringLiteral(R"re(xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">(WIDE|ABCD)<)re"));
        int found = 0;
        for (auto it = re.globalMatch(words); it.hasNext();) {
            const auto m = it.next();
            const bool wide = m.captured(5) == QStringLiteral("WIDE");
            QVERIFY(qAbs(m.captured(1).toDouble() - (wide ? 144 : 72)) <= 0.5);
            QVERIFY(qAbs(m.captured(2).toDouble() - (wide ? 144 : 216)) <= 0.5);
            // Glyphs keep their proportions: width of 4 capitals near 12 pt text.
            const double width = m.captured(3).toDouble() - m.captured(1).toDouble();
            QVERIFY2(width > 20 && width < 40, qPrintable(QString::number(width)));
            ++found;
        }
        QCOMPARE(found, 2);
    }

    void unwritablePathReportsFailure() {
        wbprn::PdfCanvas canvas(QStringLiteral("/nonexistent-dir/x.pdf"), {}, QString());
        canvas.textOut(1, 1, "x");
        canvas.newPage();
        QVERIFY(!canvas.finish());
    }
};

QTEST_MAIN(TestPdfCanvas)
#include "test_wbprn_pdf_canvas.moc"
