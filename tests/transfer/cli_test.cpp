// The command-line subcommands hanconv and classify, bad options, and the
// standard input and output faults every subcommand must report.
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <functional>
#include <unistd.h>

#include "tests/support/cli_run.h"

namespace {

// Runs a subcommand with its standard streams set up by `setup`; print
// writes its PDF into a scratch folder.
CliRun runWithStreams(const QString& cmd, const std::function<void(QProcess&)>& setup) {
    static const QString pdf = QDir::temp().filePath(QStringLiteral("vp_cli_io_%1.pdf").arg(QCoreApplication::applicationPid()));
    QStringList args{cmd};
    if (cmd == QLatin1String("print")) args << QStringLiteral("--pdf") << pdf;
    QProcess p;
    setup(p);
    p.start(QStringLiteral(VP_CLI_PATH), args);
    if (p.waitForStarted() && p.isWritable()) {
        p.write(R"({"dpix":360,"dpiy":360,"zip":"1"})");
        p.closeWriteChannel();
    }
    if (!p.waitForFinished(30000)) p.kill();
    QFile::remove(pdf);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

void addCommandRows(const char* fault) {
    QTest::addColumn<QString>("cmd");
    for (const char* cmd : {"transfer", "hanconv", "classify", "layout", "print"})
        QTest::addRow("%s %s", cmd, fault) << QString::fromLatin1(cmd);
}

}  // namespace

class CliTest : public QObject {
    Q_OBJECT
private slots:
    void hanconvConvertsTheWholeText() {
        const CliRun r = runCli({QStringLiteral("hanconv")}, QStringLiteral("ガンダム　ＡＢＣ\n〒１２３\n").toUtf8());
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(QString::fromUtf8(r.out), QStringLiteral("ｶﾞﾝﾀﾞﾑ ABC\n〒123\n"));

        const CliRun sj = runCli({QStringLiteral("hanconv"), QStringLiteral("--sjis")}, QByteArray("\x83\x4B\x82\x60", 4));
        QCOMPARE(sj.out, QByteArray("\xB6\xDE" "A"));
    }

    void classifyGivesOneObjectPerLine() {
        const CliRun r = runCli({QStringLiteral("classify")},
                                QStringLiteral("  123-4567\r\ntaro@example.com\n東京都\n3F\n０９０－１２３４－５６７８").toUtf8());
        QCOMPARE(r.exitCode, 0);
        const QList<QByteArray> lines = r.out.trimmed().split('\n');
        QCOMPARE(lines.size(), 5);
        const auto obj = [&](int i) { return QJsonDocument::fromJson(lines[i]).object(); };
        QCOMPARE(obj(0)[QStringLiteral("line")].toString(), QStringLiteral("123-4567"));
        QCOMPARE(obj(0)[QStringLiteral("verdict")].toString(), QStringLiteral("〒"));
        QCOMPARE(obj(0)[QStringLiteral("reading")].toString(), QStringLiteral("123"));
        QCOMPARE(obj(1)[QStringLiteral("mailWeb")].toInt(), 3);
        QCOMPARE(obj(2)[QStringLiteral("prefecture")].toBool(), true);
        QCOMPARE(obj(2)[QStringLiteral("verdict")].toString(), QStringLiteral("〒/電話番工判断"));
        QCOMPARE(obj(3)[QStringLiteral("chars")].toInt(), 2);
        QCOMPARE(obj(3)[QStringLiteral("nameAddr")].toInt(), 2);
        QCOMPARE(obj(4)[QStringLiteral("verdict")].toString(), QStringLiteral("TEL"));
        QCOMPARE(obj(4)[QStringLiteral("reading")].toString(), QStringLiteral("90"));
    }

    void transferEscapesAndStops() {
        // Quotes, backslashes and tabs survive the JSON; the message path
        // gives null fields.
        const CliRun r = runCli({QStringLiteral("transfer")}, QStringLiteral("\"山\\田\"\t様\n").toUtf8());
        const QJsonObject o = QJsonDocument::fromJson(r.out).object();
        QCOMPARE(o[QStringLiteral("name")].toString(), QStringLiteral("\"山\\田\""));
        QVERIFY(o[QStringLiteral("message")].isNull());

        const CliRun empty = runCli({QStringLiteral("transfer")}, QByteArray());
        const QJsonObject e = QJsonDocument::fromJson(empty.out).object();
        QVERIFY(e[QStringLiteral("zip")].isNull());
        QCOMPARE(e[QStringLiteral("message")].toString(), QStringLiteral("転送テキストがありません"));
    }

    void badOptionIsRefused() {
        for (const char* cmd : {"transfer", "hanconv", "classify"}) {
            const CliRun r = runCli({QLatin1String(cmd), QStringLiteral("--utf16")}, QByteArray("x"));
            QCOMPARE(r.exitCode, 2);
            QVERIFY(r.out.isEmpty());
            QVERIFY(r.err.contains("--utf16"));
        }
    }

    // A folder or a closed descriptor on standard input is a read error
    // with its cause named, not an abort and not a parse error.
    void inputErrorIsNamed_data() { addCommandRows("bad input"); }
    void inputErrorIsNamed() {
        QFETCH(QString, cmd);
        const CliRun dir = runWithStreams(cmd, [](QProcess& p) { p.setStandardInputFile(QDir::tempPath()); });
        QCOMPARE(dir.exitCode, 1);
        QVERIFY2(dir.err.contains("cannot read standard input: Is a directory"), dir.err.constData());
        const CliRun closed = runWithStreams(cmd, [](QProcess& p) { p.setChildProcessModifier([] { ::close(0); }); });
        QCOMPARE(closed.exitCode, 1);
        QVERIFY2(closed.err.contains("cannot read standard input: Bad file descriptor"), closed.err.constData());
    }

    // Output lost to a full device or a closed descriptor fails with a
    // message. print writes no standard output, so it still succeeds.
    void lostOutputFails_data() { addCommandRows("lost output"); }
    void lostOutputFails() {
        QFETCH(QString, cmd);
        const int expected = cmd == QLatin1String("print") ? 0 : 1;
        const CliRun full = runWithStreams(cmd, [](QProcess& p) { p.setStandardOutputFile(QStringLiteral("/dev/full")); });
        QCOMPARE(full.exitCode, expected);
        if (expected) QVERIFY2(full.err.contains("cannot write standard output: No space left on device"), full.err.constData());
        const CliRun closed = runWithStreams(cmd, [](QProcess& p) { p.setChildProcessModifier([] { ::close(1); }); });
        QCOMPARE(closed.exitCode, expected);
        if (expected) QVERIFY2(closed.err.contains("cannot write standard output: Bad file descriptor"), closed.err.constData());
    }

    // Endless input is refused at the cap instead of exhausting memory.
    void endlessInputIsRefused_data() { addCommandRows("endless input"); }
    void endlessInputIsRefused() {
        QFETCH(QString, cmd);
        const CliRun r = runWithStreams(cmd, [](QProcess& p) { p.setStandardInputFile(QStringLiteral("/dev/zero")); });
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains("standard input is longer than 16 MB; refused"), r.err.constData());
        QVERIFY(r.out.isEmpty());
    }
};

QTEST_GUILESS_MAIN(CliTest)
#include "cli_test.moc"
