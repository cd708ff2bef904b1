// The command-line subcommands hanconv and classify, and bad options.
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include "tests/support/cli_run.h"

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
};

QTEST_GUILESS_MAIN(CliTest)
#include "cli_test.moc"
