// The command-line tool against a shared server (a private PostgreSQL
// started for this program): server init, history push, and list, export
// and batch print with --server instead of --db.
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "history/history_store.h"
#include "history/pg_history_store.h"
#include "history/pg_schema.h"
#include "tests/support/cli_run.h"
#include "tests/support/pg_server.h"
#include "text/sjis_convert.h"

namespace {

std::string S(const char* utf8) { return *sjis::fromUtf8(utf8); }

store::WaybillRecord row(const char* name, const char* time) {
    store::WaybillRecord r;
    r.time = time;
    r.consignee = {"100-0005", S("東京都千代田区丸の内1-1"), "", S(name), "03-1234-5678"};
    r.g1 = S("りんご");
    r.special[4] = true;
    r.printer = "waybill";
    r.job = 17;
    return r;
}

QString q(const std::string& s) { return QString::fromStdString(s); }

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class TestServerCli : public QObject {
    Q_OBJECT
    PgServer server;
    int databases = 0;

    QString freshDatabase() { return q(server.createDatabase("cli" + std::to_string(++databases))); }
    CliRun cli(const QStringList& args) { return runCli(args, {}); }

private slots:
    void initPrintsTheGrantsAndMayRunAgain() {
        const QString conninfo = freshDatabase();
        const CliRun first = cli({QStringLiteral("server"), QStringLiteral("init"), conninfo, QStringLiteral("--role"),
                                  QStringLiteral("packing")});
        QVERIFY2(first.exitCode == 0, first.err.constData());
        QVERIFY(first.out.contains("schema version 0 -> " + QByteArray::number(store::kPgSchemaVersion)));
        QVERIFY(first.out.contains("GRANT SELECT, INSERT, UPDATE, DELETE ON history TO \"packing\";"));
        const CliRun again = cli({QStringLiteral("server"), QStringLiteral("init"), conninfo});
        QCOMPARE(again.exitCode, 0);
        const QByteArray current = QByteArray::number(store::kPgSchemaVersion);
        QVERIFY(again.out.contains("schema version " + current + " -> " + current));
        QVERIFY(again.out.contains("TO \"vamu_station\""));
    }

    void pushCopiesOnceAndTheServerListsAndExportsAsTheFileDoes() {
        const QString conninfo = freshDatabase();
        QCOMPARE(cli({QStringLiteral("server"), QStringLiteral("init"), conninfo}).exitCode, 0);
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("vamu_Pelican.db"));
        {
            store::HistoryStore h(db.toStdString());
            h.record(row("山田太郎", "2026-12-01 10:00:00"));
            store::WaybillRecord shipped = row("佐藤花子", "2026-12-02 11:00:00");
            shipped.orderNo = "#1001";
            shipped.tracking = "123456789013";
            h.record(shipped);
            h.record(row("鈴木一郎", "2026-12-03 12:00:00"));
            h.keepConsignee({"", "", "", S("山田商店"), "03"});
        }
        const QStringList push = {QStringLiteral("history"), QStringLiteral("push"), QStringLiteral("--server"),
                                  conninfo, QStringLiteral("--db"), db};
        const CliRun first = cli(push);
        QVERIFY2(first.exitCode == 0, first.err.constData());
        QVERIFY2(QString::fromUtf8(first.out).contains(QStringLiteral("履歴 3 件とアドレス帳 1 件")), first.out.constData());
        const CliRun second = cli(push);
        QVERIFY2(QString::fromUtf8(second.out).contains(QStringLiteral("履歴 0 件とアドレス帳 0 件")), second.out.constData());

        for (const QStringList& extra : {QStringList{}, QStringList{QStringLiteral("--search"), QStringLiteral("佐藤")}}) {
            const CliRun local = cli(QStringList{QStringLiteral("history"), QStringLiteral("list"), QStringLiteral("--db"), db} + extra);
            const CliRun shared = cli(QStringList{QStringLiteral("history"), QStringLiteral("list"), QStringLiteral("--server"), conninfo} + extra);
            QCOMPARE(shared.exitCode, 0);
            QVERIFY(!local.out.isEmpty());
            QCOMPARE(shared.out, local.out);
        }
        const QString a = dir.filePath(QStringLiteral("a.csv")), b = dir.filePath(QStringLiteral("b.csv"));
        QCOMPARE(cli({QStringLiteral("history"), QStringLiteral("export"), QStringLiteral("--csv"), a, QStringLiteral("--db"), db}).exitCode, 0);
        QCOMPARE(cli({QStringLiteral("history"), QStringLiteral("export"), QStringLiteral("--csv"), b, QStringLiteral("--server"), conninfo}).exitCode, 0);
        QCOMPARE(fileBytes(b), fileBytes(a));
        // The shipped orders as a platform's confirmation, from either store.
        const QStringList shipped = {QStringLiteral("history"), QStringLiteral("export"), QStringLiteral("--shipped"),
                                     QStringLiteral("plain")};
        const CliRun fromFile = cli(shipped + QStringList{QStringLiteral("--db"), db});
        const CliRun fromServer = cli(shipped + QStringList{QStringLiteral("--server"), conninfo});
        QVERIFY2(fromServer.exitCode == 0, fromServer.err.constData());
        QVERIFY(fromServer.out.contains("123456789013"));
        QVERIFY(fromServer.out.contains("#1001"));
        QCOMPARE(fromServer.out, fromFile.out);

        // A number corrected at the station while its row waits in the
        // outbox goes with the next push; a correction made on the server
        // to a row that is not waiting stays.
        store::HistoryQuery byOrder;
        byOrder.orderNo = "#1001";
        store::HistoryQuery byName;
        byName.search = S("山田太郎");
        {
            store::HistoryStore h(db.toStdString());
            h.setTrackingToSend(h.list(byOrder).front().id, "123456789024");
        }
        store::PgHistoryStore onServer(conninfo.toStdString());
        onServer.setTracking(onServer.list(byName).front().id, "999999999993");
        QVERIFY(QString::fromUtf8(cli(push).out).contains(QStringLiteral("履歴 0 件")));
        QCOMPARE(q(onServer.list(byOrder).front().tracking), QStringLiteral("123456789024"));
        QCOMPARE(q(onServer.list(byName).front().tracking), QStringLiteral("999999999993"));
        QCOMPARE(store::HistoryStore(db.toStdString()).unsentCount(), 0);
    }

    void batchPrintRecordsInTheSharedHistory() {
        const QString conninfo = freshDatabase();
        QCOMPARE(cli({QStringLiteral("server"), QStringLiteral("init"), conninfo}).exitCode, 0);
        QTemporaryDir dir;
        const CliRun r = cli({QStringLiteral("batch"), QStringLiteral("print"),
                              QStringLiteral(VP_BATCH_DATA "/shop_utf8_bom.csv"), QStringLiteral("--pdf"),
                              dir.filePath(QStringLiteral("out.pdf")), QStringLiteral("--server"), conninfo,
                              QStringLiteral("--db"), dir.filePath(QStringLiteral("station.db")),
                              QStringLiteral("--first-number"), QStringLiteral("123456789013")});
        QVERIFY2(r.exitCode == 0, r.err.constData());
        const CliRun listed = cli({QStringLiteral("history"), QStringLiteral("list"), QStringLiteral("--server"), conninfo,
                                   QStringLiteral("--tracking"), QStringLiteral("123456789013")});
        QCOMPARE(listed.out.count('\n'), 1);  // the one printable row of the file, on the first form
    }

    // The server goes away: the batch prints, its rows wait in the
    // station's file, and the next push brings them, once.
    void batchPrintKeepsItsRowsInTheStationsFileWhileTheServerIsDown() {
        const QString conninfo = freshDatabase();
        QCOMPARE(cli({QStringLiteral("server"), QStringLiteral("init"), conninfo}).exitCode, 0);
        QTemporaryDir dir;
        const QString station = dir.filePath(QStringLiteral("station.db"));
        const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
        server.stop(true);
        const CliRun r = cli({QStringLiteral("batch"), QStringLiteral("print"),
                              QStringLiteral(VP_BATCH_DATA "/shop_utf8_bom.csv"), QStringLiteral("--pdf"), pdf,
                              QStringLiteral("--server"), conninfo, QStringLiteral("--db"), station});
        server.start();
        QVERIFY2(r.exitCode == 0, r.err.constData());
        QVERIFY2(QString::fromUtf8(r.err).contains(QStringLiteral("1 件は共有データベースに未送信です")), r.err.constData());
        QVERIFY(QFile::exists(pdf));
        QCOMPARE(store::HistoryStore(station.toStdString()).unsentCount(), 1);
        const QStringList push = {QStringLiteral("history"), QStringLiteral("push"), QStringLiteral("--server"),
                                  conninfo, QStringLiteral("--db"), station};
        QVERIFY(QString::fromUtf8(cli(push).out).contains(QStringLiteral("履歴 1 件")));
        QVERIFY(QString::fromUtf8(cli(push).out).contains(QStringLiteral("履歴 0 件")));
        QCOMPARE(store::HistoryStore(station.toStdString()).unsentCount(), 0);
    }

    // A first number whose forms the history has recorded already (in the
    // station's file or on the server) is refused, naming the row; nothing
    // is printed or recorded.
    void numbersTheHistoryHoldsAreRefused() {
        const QString conninfo = freshDatabase();
        QCOMPARE(cli({QStringLiteral("server"), QStringLiteral("init"), conninfo}).exitCode, 0);
        store::WaybillRecord other = row("他の端末", "2026-12-07 14:03:00");
        other.tracking = "200000000034";
        store::PgHistoryStore(conninfo.toStdString()).record(other);
        QTemporaryDir dir;
        const QString station = dir.filePath(QStringLiteral("station.db"));
        const auto print = [&](const QString& pdf, const QString& first) {
            return cli({QStringLiteral("batch"), QStringLiteral("print"), QStringLiteral(VP_BATCH_DATA "/shop_utf8_bom.csv"),
                        QStringLiteral("--pdf"), dir.filePath(pdf), QStringLiteral("--server"), conninfo,
                        QStringLiteral("--db"), station, QStringLiteral("--first-number"), first});
        };
        QCOMPARE(print(QStringLiteral("a.pdf"), QStringLiteral("123456789013")).exitCode, 0);
        const struct {
            const char* first;
            const char* named;
        } cases[] = {
            {"123456789013", "伝票番号 123456789013 は"},                               // this station's own
            {"200000000034", "伝票番号 200000000034 は 他の端末 様（2026/12/07 14:03）に記録済みです"},  // another's
        };
        for (const auto& c : cases) {
            const CliRun again = print(QStringLiteral("b.pdf"), QString::fromLatin1(c.first));
            QCOMPARE(again.exitCode, 1);
            QVERIFY2(QString::fromUtf8(again.err).contains(QString::fromUtf8(c.named)), again.err.constData());
            QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("b.pdf"))));
        }
        store::HistoryQuery all;
        QCOMPARE(store::HistoryStore(station.toStdString()).list(all).size(), std::size_t{1});
    }

    void badUseAndAnUnusableServerAreRefused() {
        QTemporaryDir dir;
        const QString nowhere = QStringLiteral("host=") + dir.path() + QStringLiteral(" dbname=x");
        const struct {
            QStringList args;
            int exitCode;
        } cases[] = {
            {{QStringLiteral("server")}, 2},
            {{QStringLiteral("server"), QStringLiteral("drop"), nowhere}, 2},
            {{QStringLiteral("history"), QStringLiteral("push")}, 2},
            {{QStringLiteral("history"), QStringLiteral("push"), QStringLiteral("--server"), nowhere,
              QStringLiteral("--search"), QStringLiteral("x")}, 2},
            {{QStringLiteral("history"), QStringLiteral("list"), QStringLiteral("--server"), nowhere,
              QStringLiteral("--db"), QStringLiteral("x.db")}, 2},
            {{QStringLiteral("batch"), QStringLiteral("print"), QStringLiteral("x.csv"), QStringLiteral("--pdf"),
              QStringLiteral("x.pdf"), QStringLiteral("--server"), nowhere, QStringLiteral("--db"), QStringLiteral("x.db")}, 1},
            {{QStringLiteral("server"), QStringLiteral("init"), QStringLiteral("dbname='")}, 1},
            {{QStringLiteral("history"), QStringLiteral("list"), QStringLiteral("--server"), nowhere}, 1},
            {{QStringLiteral("history"), QStringLiteral("list"), QStringLiteral("--server"), freshDatabase()}, 1},
        };
        for (const auto& c : cases) {
            const CliRun r = cli(c.args);
            QVERIFY2(r.exitCode == c.exitCode, qPrintable(c.args.join(u' ') + QStringLiteral(": ") + QString::fromUtf8(r.err)));
            QVERIFY(!r.err.isEmpty());
        }
    }
};

QTEST_MAIN(TestServerCli)
#include "server_cli_test.moc"
