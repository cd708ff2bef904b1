// The postal subcommand of the command-line tool: its output lines, the
// check object, a missing table, and an import that fails or succeeds.
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "tests/postal/town_cases.h"
#include "tests/support/cli_run.h"

namespace {

QString bundled() { return QStringLiteral(VP_BUNDLED_TABLE); }

CliRun postal(QStringList args) {
    args.prepend(QStringLiteral("postal"));
    return runCli(args, {});
}

}  // namespace

class PostalCliTest : public QObject {
    Q_OBJECT
private slots:
    void outputLines_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("out");
        const QString t = QStringLiteral("--table");
        QTest::newRow("code") << QStringList{QStringLiteral("lookup"), QStringLiteral("105-0011"), t, bundled()}
                              << QByteArray(R"({"zip":"1050011","pref":"東京都","city":"港区","town":"芝公園"})"
                                            "\n");
        QTest::newRow("no town") << QStringList{QStringLiteral("lookup"), QStringLiteral("1050000"), t, bundled()}
                                 << QByteArray(R"({"zip":"1050000","pref":"東京都","city":"港区","town":""})"
                                               "\n");
        QTest::newRow("unknown") << QStringList{QStringLiteral("lookup"), QStringLiteral("0000000"), t, bundled()}
                                 << QByteArray();
        QTest::newRow("reverse") << QStringList{QStringLiteral("reverse"), QStringLiteral("港区芝公園4-2-8"), t,
                                                bundled()}
                                 << QByteArray(R"({"zip":"1050011","pref":"東京都","city":"港区","town":"芝公園"})"
                                               "\n");
        QTest::newRow("reverse, nothing") << QStringList{QStringLiteral("reverse"), QStringLiteral("ほげ"), t,
                                                         bundled()}
                                          << QByteArray();
        QTest::newRow("check") << QStringList{QStringLiteral("check"), QStringLiteral("1050011"),
                                              QStringLiteral("大阪市北区"), t, bundled()}
                               << QByteArray(R"({"known":true,"matches":false,"expected":[{"zip":"1050011",)"
                                             R"("pref":"東京都","city":"港区","town":"芝公園"}]})"
                                             "\n");
        QTest::newRow("check, unknown") << QStringList{QStringLiteral("check"), QStringLiteral("0000000"),
                                                       QStringLiteral("港区"), t, bundled()}
                                        << QByteArray(R"({"known":false,"matches":false,"expected":[]})"
                                                      "\n");
    }
    void outputLines() {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, out);
        const CliRun r = postal(args);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, out);
    }

    void checkComparesDownToTheTown() {
        for (const TownCase& c : townCases()) {
            const CliRun r = postal({QStringLiteral("check"), QString::fromLatin1(c.zip), QString::fromUtf8(c.address),
                                     QStringLiteral("--table"), bundled()});
            QVERIFY2(r.exitCode == 0 && r.out.contains(c.matches ? R"("matches":true)" : R"("matches":false)"), c.address);
        }
    }

    void badUseAndMissingTable() {
        QCOMPARE(postal({QStringLiteral("lookup")}).exitCode, 2);
        QCOMPARE(postal({QStringLiteral("lookup"), QStringLiteral("abc")}).exitCode, 2);
        QCOMPARE(postal({QStringLiteral("find"), QStringLiteral("1")}).exitCode, 2);
        const CliRun r = postal({QStringLiteral("lookup"), QStringLiteral("1050011"), QStringLiteral("--table"),
                                 QStringLiteral("/nonexistent/table.bin")});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.out.isEmpty());
        QVERIFY(r.err.startsWith("郵便番号データを読めません"));
    }

    void importFailsCleanlyThenSucceeds() {
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("KEN_ALL.CSV"));
        const QString table = dir.filePath(QStringLiteral("t.bin"));
        QFile old(table);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
        old.close();
        // 港区 芝公園, in Shift-JIS; then a short second line.
        const QByteArray row = QByteArray::fromHex("223133313033222C22313035202022") +
                               ",\"1050011\",\"\",\"\",\"\",\"\x93\x8C\x8B\x9E\x93\x73\",\"\x8D\x60\x8B\xE6\","
                               "\"\x8E\xC5\x8C\xF6\x89\x80\",0,0,0,0,0,0\r\n";
        QFile f(csv);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(row + "\"1\",\"2\"\r\n");
        f.close();
        CliRun r = postal({QStringLiteral("import"), csv, QStringLiteral("--table"), table});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains("KEN_ALL.CSV 2行目"), r.err.constData());
        QFile check(table);
        QVERIFY(check.open(QIODevice::ReadOnly));
        QCOMPARE(check.readAll(), QByteArray("old"));
        check.close();

        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(row);
        f.close();
        QCOMPARE(postal({QStringLiteral("import"), csv, QStringLiteral("--table"), table}).exitCode, 0);
        r = postal({QStringLiteral("lookup"), QStringLiteral("1050011"), QStringLiteral("--table"), table});
        QCOMPARE(r.out, QByteArray(R"({"zip":"1050011","pref":"東京都","city":"港区","town":"芝公園"})"
                                   "\n"));
    }
};

QTEST_GUILESS_MAIN(PostalCliTest)
#include "postal_cli_test.moc"
