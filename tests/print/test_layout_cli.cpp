// vamu_pelican_cli layout / print --pdf: input checking with clear messages,
// and a PDF that is either complete or not written at all.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

#include "tests/e2e/cups_harness.h"
#include "tests/support/cli_run.h"
#include "tests/support/file_bytes.h"

namespace {

// Page objects in a PDF ("/Type /Page", not "/Type /Pages").
int pageCount(const QByteArray& pdf) {
    int n = 0;
    for (qsizetype i = pdf.indexOf("/Type /Page"); i >= 0; i = pdf.indexOf("/Type /Page", i + 1))
        n += pdf.mid(i + 11, 1) != "s";
    return n;
}

}  // namespace

class TestLayoutCli : public QObject {
    Q_OBJECT
private slots:
    void layoutRefusesBadInputWithAMessage_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("not JSON") << QByteArray("{\"zip\":") << QByteArray("invalid JSON");
        QTest::newRow("not an object") << QByteArray("[1,2]") << QByteArray("expected one JSON object");
        QTest::newRow("unknown key") << QByteArray(R"({"dpix":360,"dpiy":360,"zipcode":"1"})")
                                     << QByteArray("key \"zipcode\": unknown key");
        QTest::newRow("text as number") << QByteArray(R"({"dpix":360,"dpiy":360,"tel":312345678})")
                                        << QByteArray("key \"tel\": expected a string");
        QTest::newRow("five time bands") << QByteArray(R"({"dpix":360,"dpiy":360,"time_band":[true,false,false,false,false]})")
                                         << QByteArray("key \"time_band\": expected 6 booleans");
        QTest::newRow("special not booleans") << QByteArray(R"({"dpix":360,"dpiy":360,"special":[1,0,0,0,0]})")
                                              << QByteArray("key \"special\": expected booleans only");
        QTest::newRow("no Shift-JIS form") << QByteArray("{\"dpix\":360,\"dpiy\":360,\"add1\":\"\xF0\x9F\x98\x80\"}")
                                           << QByteArray("key \"add1\": holds a character that Shift-JIS cannot represent");
        QTest::newRow("lone surrogate") << QByteArray(R"({"dpix":360,"dpiy":360,"name":"\ud800"})")
                                        << QByteArray("key \"name\": holds a character that Shift-JIS cannot represent");
        QTest::newRow("field too long") << "{\"dpix\":360,\"dpiy\":360,\"g1\":\"" + QByteArray(65537, 'x') + "\"}"
                                        << QByteArray("key \"g1\": longer than 65536 bytes");
        QTest::newRow("fractional dpi") << QByteArray(R"({"dpix":360.5,"dpiy":360})")
                                        << QByteArray("key \"dpix\": expected an integer or a string");
        QTest::newRow("margin word") << QByteArray(R"({"dpix":360,"dpiy":360,"top":"Top"})")
                                     << QByteArray("'Top' is not a valid integer value");
        QTest::newRow("no resolution") << QByteArray("{}") << QByteArray("'' is not a valid integer value");
        QTest::newRow("unmappable") << QByteArray(R"({"dpix":2147483647,"dpiy":360,"zip":"1"})")
                                    << QByteArray("Print position out of range");
    }
    void layoutRefusesBadInputWithAMessage() {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, message);
        const CliRun r = runCli({QStringLiteral("layout")}, input);
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(message), r.err.constData());
        QCOMPARE(r.out, QByteArray());
    }

    void layoutDefaultsAndCaptionForms() {
        // Numbers and texts both work for the captions; the date and sender
        // boxes default to checked, as on the entry form at start.
        const CliRun r = runCli({QStringLiteral("layout")},
                                R"({"dpix":"160","dpiy":160,"top":" 2","left":"$A","date":"2010/12/18","my_tel":"1"})");
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QByteArray("{\"x\":570,\"y\":40,\"size\":10,\"text\":\"10\"}\n"
                                   "{\"x\":640,\"y\":40,\"size\":10,\"text\":\"12\"}\n"
                                   "{\"x\":700,\"y\":40,\"size\":10,\"text\":\"18\"}\n"
                                   "{\"x\":265,\"y\":522,\"size\":12,\"text\":\"1\"}\n"));
    }

    void printWritesACompleteTwoPageDocument() {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("waybill.pdf"));
        const CliRun r = runCli({QStringLiteral("print"), QStringLiteral("--pdf"), pdf, QStringLiteral("--dpi"), QStringLiteral("203")},
                                R"({"zip":"123-4567","add1":"東京都千代田区","date":"2010/12/18"})");
        QCOMPARE(r.exitCode, 0);
        const QByteArray bytes = readFile(pdf);
        QVERIFY(bytes.startsWith("%PDF-"));
        QCOMPARE(pageCount(bytes), 1);  // the waybill, no empty page after it
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("waybill.pdf")});

        const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
        if (pdfinfo.isEmpty()) QSKIP("pdfinfo not installed: title not checked");
        QProcess info;
        info.start(pdfinfo, {pdf});
        QVERIFY(info.waitForFinished(10000));
        QVERIFY(info.readAllStandardOutput().contains("Title:           vamu_Pelican  \n"));
    }

    void failedPrintLeavesTheTargetUntouched_data() {
        QTest::addColumn<QStringList>("extraArgs");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("margin word") << QStringList{} << QByteArray(R"({"left":"Left"})") << 1;
        QTest::newRow("bad JSON") << QStringList{} << QByteArray("{") << 1;
        QTest::newRow("dpi zero") << QStringList{QStringLiteral("--dpi"), QStringLiteral("0")} << QByteArray("{}") << 2;
        QTest::newRow("dpi word") << QStringList{QStringLiteral("--dpi"), QStringLiteral("high")} << QByteArray("{}") << 2;
        QTest::newRow("stray argument") << QStringList{QStringLiteral("--fit")} << QByteArray("{}") << 2;
    }
    void failedPrintLeavesTheTargetUntouched() {
        QFETCH(QStringList, extraArgs);
        QFETCH(QByteArray, input);
        QFETCH(int, exitCode);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("old.pdf"));
        {
            QFile f(pdf);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("previous document");
        }
        const CliRun r = runCli(QStringList{QStringLiteral("print"), QStringLiteral("--pdf"), pdf} + extraArgs, input);
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY(!r.err.isEmpty());
        QCOMPARE(readFile(pdf), QByteArray("previous document"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("old.pdf")});
    }

    void layoutCheckReportsTextsThatDoNotFit() {
        // The name's box is 855 pixels at 360 dpi (u 180 to 560): thirty
        // full-width katakana overrun it; the draw call comes first.
        const QByteArray full = R"({"dpix":360,"dpiy":360,"name":"アイウエオカキクケコアイウエオカキクケコアイウエオカキクケコ"})";
        CliRun r = runCli({QStringLiteral("layout"), QStringLiteral("--check")}, full);
        QCOMPARE(r.exitCode, 0);
        QList<QByteArray> lines = r.out.split('\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].startsWith("{\"x\":405,\"y\":540,"));
        QVERIFY2(lines[1].startsWith("{\"overflow\":\"name\",\"width\":"), lines[1].constData());
        QVERIFY2(lines[1].endsWith(",\"room\":855}"), lines[1].constData());

        // The page's right edge with the margin (A4 at 360 dpi: 2975 pixels;
        // the goods start at 1823): a text that ends on it fits, one pixel
        // further it is outside.
        auto goods = [](int left) {
            return QByteArray(R"({"dpix":360,"dpiy":360,"g1":"ABC","left":)") + QByteArray::number(left) + "}";
        };
        r = runCli({QStringLiteral("layout"), QStringLiteral("--check")}, goods(2000));
        lines = r.out.split('\n');
        QCOMPARE(lines.size(), 3);
        const QByteArray report = lines[1];
        const qsizetype at = report.indexOf("\"width\":") + 8;
        const int width = report.mid(at, report.indexOf(',', at) - at).toInt();
        QVERIFY2(width > 0, report.constData());
        r = runCli({QStringLiteral("layout"), QStringLiteral("--check")}, goods(2975 - 1823 - width));
        QCOMPARE(r.out.count('\n'), 1);
        r = runCli({QStringLiteral("layout"), QStringLiteral("--check")}, goods(2975 - 1823 - width + 1));
        QCOMPARE(r.out.split('\n')[1], QByteArray("{\"overflow\":\"g1\",\"width\":") + QByteArray::number(width) +
                                           ",\"room\":" + QByteArray::number(width - 1) + ",\"outside\":true}");
    }

    void outlinePagePutsTheRulersAtTheirMillimetres() {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("poppler-utils not installed");
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("calibration.pdf"));
        // 254 dpi: ten pixels a millimetre; margins of 20 (top) and -10 px.
        const CliRun r = runCli({QStringLiteral("print"), QStringLiteral("--pdf"), pdf, QStringLiteral("--dpi"),
                                 QStringLiteral("254"), QStringLiteral("--outline")},
                                R"({"top":20,"left":-10,"name":"not on the page"})");
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(pageCount(readFile(pdf)), 1);
        const double pt = 72 / 25.4;
        const double left = -1.0, top = 2.0;  // the margins in millimetres
        int top10s = 0, left10s = 0;
        for (const e2e::Word& w : e2e::pdfWords(pdf)) {
            QVERIFY2(w.text != QStringLiteral("not"), "the form's texts are not printed");
            bool isNumber = false;
            const int mm = w.text.toInt(&isNumber);
            if (!isNumber || mm % 10 != 0 || mm < 10) continue;
            // A number starts half a millimetre past its tick and past the
            // 2.5 mm ticks of the other ruler.
            if (std::abs(w.xMin - (left + mm + 0.5) * pt) < 0.3 && std::abs(w.yMin - (top + 3.0) * pt) < 1.0)
                ++top10s;
            else if (std::abs(w.xMin - (left + 3.0) * pt) < 0.3 && std::abs(w.yMin - (top + mm + 0.5) * pt) < 1.0)
                ++left10s;
        }
        QCOMPARE(top10s, 20);  // 10 … 200 mm along 8 inches
        QCOMPARE(left10s, 10);  // 10 … 100 mm along 4 inches
    }

    void printIntoAMissingFolderFailsClearly() {
        QTemporaryDir dir;
        const CliRun r = runCli({QStringLiteral("print"), QStringLiteral("--pdf"), dir.filePath(QStringLiteral("no/such/x.pdf"))}, "{}");
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains("cannot create a file in"), r.err.constData());
    }
};

QTEST_MAIN(TestLayoutCli)
#include "test_layout_cli.moc"
