// vamu_pelican_cli layout / print --pdf: input checking with clear messages,
// and a PDF that is either complete or not written at all.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

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
        QCOMPARE(pageCount(bytes), 2);
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

    void printIntoAMissingFolderFailsClearly() {
        QTemporaryDir dir;
        const CliRun r = runCli({QStringLiteral("print"), QStringLiteral("--pdf"), dir.filePath(QStringLiteral("no/such/x.pdf"))}, "{}");
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains("cannot create a file in"), r.err.constData());
    }
};

QTEST_MAIN(TestLayoutCli)
#include "test_layout_cli.moc"
