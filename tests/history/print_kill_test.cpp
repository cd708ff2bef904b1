// A batch print killed (SIGKILL) at random moments, into the station's file
// alone and through it to a shared server: every waybill that went out is
// recorded exactly once, printed or of unknown outcome, and none that did
// not go out is ever counted as printed.
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <set>

#include "history/history_store.h"
#include "history/pg_db.h"
#include "tests/support/cli_run.h"
#include "tests/support/pg_server.h"

namespace {

constexpr int kOrders = 120;

// Orders of one shop's file, all printable.
QByteArray ordersFile() {
    QByteArray csv = "注文番号,送付先郵便番号,都道府県,市区町村,番地,建物名,送付先名,電話番号,商品名\n";
    for (int i = 0; i < kOrders; ++i)
        csv += QStringLiteral("%1,105-0011,東京都,港区,芝公園4-2-8,,田中 %2,0334331111,お菓子\n")
                   .arg(5000 + i)
                   .arg(i)
                   .toUtf8();
    return csv;
}

struct Outcome {
    int printed = 0, unknown = 0;
};

}  // namespace

class TestPrintKill : public QObject {
    Q_OBJECT
    PgServer server;
    QTemporaryDir dir;
    QString orders;

    // One run of `args` in `folder`, killed after `afterMs` (never, when
    // negative). Returns how long it ran.
    qint64 run(const QString& folder, const QStringList& args, int afterMs) {
        QProcess p;
        p.setWorkingDirectory(folder);
        QElapsedTimer clock;
        clock.start();
        p.start(QStringLiteral(VP_CLI_PATH), args);
        if (!p.waitForStarted()) return -1;
        if (afterMs >= 0 && !p.waitForFinished(afterMs)) p.kill();
        p.waitForFinished(60000);
        return clock.elapsed();
    }

    // The rows of the station's file after a run; fails the test unless
    // they are all of the run's waybills or none, and unless a run whose
    // PDF did not appear left none counted as printed.
    Outcome check(const QString& folder) {
        Outcome o;
        const QString db = folder + QStringLiteral("/vamu_Pelican.db");
        const bool out = QFile::exists(folder + QStringLiteral("/out.pdf"));
        if (!QFile::exists(db)) {
            if (out) qWarning("a PDF without its history");
            return out ? Outcome{-1, -1} : o;
        }
        store::HistoryStore h(db.toStdString());
        store::HistoryQuery all;
        all.limit = -1;
        for (const store::WaybillRecord& r : h.list(all)) (r.printing() ? o.unknown : o.printed)++;
        return o;
    }

private slots:
    void initTestCase() {
        orders = dir.filePath(QStringLiteral("orders.csv"));
        QFile f(orders);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(ordersFile());
    }

    void everyPrintedWaybillIsRecordedOnceWhereverTheRunIsKilled_data() {
        QTest::addColumn<bool>("shared");
        QTest::newRow("station file") << false;
        QTest::newRow("shared server") << true;
    }

    void everyPrintedWaybillIsRecordedOnceWhereverTheRunIsKilled() {
        QFETCH(bool, shared);
        const std::string conninfo = shared ? server.createDatabase("kill") : std::string();
        QStringList args = {QStringLiteral("batch"), QStringLiteral("print"), orders, QStringLiteral("--pdf"),
                            QStringLiteral("out.pdf"), QStringLiteral("--db"), QStringLiteral("vamu_Pelican.db")};
        if (shared) {
            QCOMPARE(runCli({QStringLiteral("server"), QStringLiteral("init"), QString::fromStdString(conninfo)}, {}).exitCode, 0);
            args << QStringLiteral("--server") << QString::fromStdString(conninfo);
        }
        // A whole run first: how long the kills may wait.
        const QString whole = dir.filePath(shared ? QStringLiteral("whole-s") : QStringLiteral("whole"));
        QVERIFY(QDir().mkpath(whole));
        const qint64 full = run(whole, args, -1);
        const Outcome done = check(whole);
        QCOMPARE(done.printed, kOrders);
        QCOMPARE(done.unknown, 0);

        int printedRuns = 0, unknownRuns = 0, emptyRuns = 0;
        std::set<QString> stations;
        for (int i = 0; i < 15; ++i) {
            const QString folder = dir.filePath(QStringLiteral("%1-%2").arg(shared ? u's' : u'f').arg(i));
            QVERIFY(QDir().mkpath(folder));
            run(folder, args, static_cast<int>(QRandomGenerator::global()->bounded(full + 1)));
            const bool out = QFile::exists(folder + QStringLiteral("/out.pdf"));
            const Outcome o = check(folder);
            QVERIFY2(o.printed >= 0, qPrintable(folder));
            // All of the run's rows or none; printed ones only with the PDF.
            QVERIFY2(o.printed + o.unknown == 0 || o.printed + o.unknown == kOrders, qPrintable(folder));
            if (!out) QCOMPARE(o.printed, 0);
            if (out) QCOMPARE(o.printed + o.unknown, kOrders);
            (o.printed ? printedRuns : o.unknown ? unknownRuns : emptyRuns)++;
            stations.insert(folder);
        }
        qInfo("%d runs recorded as printed, %d of unknown outcome, %d with nothing printed", printedRuns,
              unknownRuns, emptyRuns);
        if (!shared) return;
        // Pushed afterwards, each station's rows reach the server once.
        int local = kOrders;
        for (const QString& folder : stations) {
            const CliRun push = runCli({QStringLiteral("history"), QStringLiteral("push"), QStringLiteral("--server"),
                                        QString::fromStdString(conninfo), QStringLiteral("--db"),
                                        folder + QStringLiteral("/vamu_Pelican.db")},
                                       {});
            QVERIFY2(push.exitCode == 0, push.err.constData());
            const Outcome o = check(folder);
            local += o.printed + o.unknown;
        }
        store::PgDb db(conninfo);
        QCOMPARE(db.exec("SELECT count(*) FROM history").integer(0, 0), std::int64_t{local});
        QCOMPARE(db.exec("SELECT count(DISTINCT uid) FROM history").integer(0, 0), std::int64_t{local});
    }
};

QTEST_MAIN(TestPrintKill)
#include "print_kill_test.moc"
