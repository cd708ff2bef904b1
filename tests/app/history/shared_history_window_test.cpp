// Two stations' history windows on one private PostgreSQL server: another
// station's print shows within a second, prints made while the server is
// down wait in the station's file and are counted, a server that hangs
// never freezes the window (neither its reads nor its changes), and the
// 共有データベース dialog tests and keeps the connection string.
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <QtTest>
#include <algorithm>
#include <chrono>
#include <functional>

#include "widgets/history_book.h"
#include "app/history/history_table_model.h"
#include "app/history/history_window.h"
#include "app/history/shared_db_dialog.h"
#include "history/pg_db.h"
#include "history/pg_history_store.h"
#include "history/pg_schema.h"
#include "tests/support/file_bytes.h"
#include "tests/support/pg_server.h"
#include "tests/support/scripted_boxes.h"
#include "text/sjis_convert.h"

namespace {

// One packing station: its folder, its book and its history window.
struct Station {
    QTemporaryDir dir;
    QWidget owner;
    HistoryBook book{&owner};
    HistoryWindow window{book, nullptr};

    explicit Station(const QString& conninfo) {
        book.setFolder(dir.path());
        book.setSharedConninfo(conninfo);
        window.show();
        bool shown = false;
        window.reload([&] { shown = true; });
        QVERIFY(QTest::qWaitFor([&] { return shown; }, 5000));
    }
    void print(const char* name) {
        store::WaybillRecord r;
        r.consignee = {"100-0005", "", "", *sjis::fromUtf8(name), "03-1111-2222"};
        QVERIFY(book.run([&](store::HistoryBackend& s) { s.record(r); }));
    }
    // The window's row of the consignee `name`, or -1.
    int rowOf(const char* name) const {
        const std::vector<store::WaybillRecord>& rows = window.rows();
        const auto at = std::find_if(rows.begin(), rows.end(),
                                     [n = *sjis::fromUtf8(name)](const auto& r) { return r.consignee.name == n; });
        return at == rows.end() ? -1 : static_cast<int>(at - rows.begin());
    }
    void select(const char* name) {
        const int row = rowOf(name);
        QVERIFY(row >= 0);
        window.Grid_History->clearSelection();
        window.Grid_History->setCurrentIndex(window.model()->index(row, 0));
        window.Grid_History->selectRow(row);
    }
};

// Lets a paused server go on at the end of a scope, also when a check fails.
struct Resumed {
    PgServer& server;
    ~Resumed() {
        try {
            server.resume();
        } catch (const std::exception&) {
            // No server left to go on.
        }
    }
};

// The outcome of the connection test, once it came.
bool testedUsable(SharedDbDialog& dialog) {
    QSignalSpy tested(&dialog, &SharedDbDialog::tested);
    dialog.BitBtn_TestClick();
    if (tested.isEmpty() && !tested.wait(10000)) return false;
    return tested.front().front().toBool();
}

}  // namespace

class TestSharedHistoryWindow : public QObject {
    Q_OBJECT
    PgServer server;
    ScriptedBoxes boxes;
    QString conninfo;

private slots:
    void initTestCase() {
        conninfo = QString::fromStdString(server.createDatabase("shop"));
        store::PgDb admin(conninfo.toStdString());
        store::initPgSchema(admin);
    }

    void anotherStationsPrintShowsWithinASecondAndUnsentRowsAreCounted() {
        Station a(conninfo), b(conninfo);
        QCOMPARE(b.window.model()->rowCount(), 0);
        QVERIFY(b.window.Label_Shared->text().isEmpty());

        const auto printed = std::chrono::steady_clock::now();
        a.print("山田太郎");
        QTRY_COMPARE_WITH_TIMEOUT(b.window.model()->rowCount(), 1, 1000);
        qInfo("seen by the other station after %lld ms",
              static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now() - printed)
                                         .count()));

        server.stop(true);
        a.print("停電中");
        a.window.reload();
        QTRY_COMPARE(a.window.Label_Shared->text(), QStringLiteral("共有データベースに接続できません（未送信 1 件）"));
        QCOMPARE(a.window.model()->rowCount(), 2);  // the station's own rows stand in

        server.start();
        // The sender tries again on its own; then both windows catch up.
        QTRY_VERIFY_WITH_TIMEOUT(a.window.Label_Shared->text().isEmpty(), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(b.window.model()->rowCount(), 2, 10000);
    }

    // The server stops answering (its processes stopped, connections kept
    // open): typing a search and asking for completions return at once,
    // the event loop keeps running, and within three seconds the station's
    // own rows stand in with the message; once the server goes on, the
    // window is back with it.
    void aHangingServerNeverFreezesTheWindow() {
        Station a(conninfo);
        a.print("山田花子");
        QTRY_VERIFY_WITH_TIMEOUT(store::HistoryStore(a.book.filePath().toStdString()).unsentCount() == 0, 5000);
        QTRY_VERIFY(a.window.model()->rowCount() > 0 && a.window.Label_Shared->text().isEmpty());
        const int shown = a.window.model()->rowCount();

        int ticks = 0;
        QTimer heartbeat;
        connect(&heartbeat, &QTimer::timeout, [&] { ++ticks; });
        heartbeat.start(50);
        server.pause();
        const Resumed resumed{server};
        QElapsedTimer typed;
        typed.start();
        a.window.Edit_Search->setText(QStringLiteral("山田"));
        std::vector<store::Consignee> offered;
        bool answered = false;
        a.book.readLater(
            HistoryBook::Lane::Complete, &a.window,
            [](store::HistoryBackend& s, HistoryBook::Found& found) {
                found.consignees = s.complete(store::CompleteBy::Name, *sjis::fromUtf8("山田"));
            },
            [&](const HistoryBook::Found& found) {
                offered = found.consignees;
                answered = true;
            });
        QVERIFY2(typed.elapsed() < 200, "the search and the completion did not wait for the server");

        QTRY_VERIFY_WITH_TIMEOUT(!a.window.Label_Shared->text().isEmpty(), 3000);
        const qint64 fellBack = typed.elapsed();
        qInfo("fell back after %lld ms, %d ticks of 50 ms meanwhile", static_cast<long long>(fellBack), ticks);
        QVERIFY(fellBack <= 3000);
        QVERIFY2(ticks >= fellBack / 50 / 2, "the event loop stood still while the server hung");
        QCOMPARE(a.window.Label_Shared->text(), QStringLiteral("共有データベースに接続できません（未送信 0 件）"));
        QCOMPARE(a.window.model()->rowCount(), 1);  // the station's own print
        QTRY_VERIFY(answered);
        QCOMPARE(offered.size(), std::size_t{1});

        // A print meanwhile waits in the outbox; the sender brings it over
        // once the server goes on, and the window is back with the server.
        a.print("山田次郎");
        server.resume();
        QTRY_VERIFY_WITH_TIMEOUT(a.window.Label_Shared->text().isEmpty(), 15000);
        a.window.Edit_Search->clear();
        QTRY_COMPARE(a.window.model()->rowCount(), shown + 1);
    }

    // A search held up on a server that answers (its table locked by
    // another session) is cancelled: the window says the search takes
    // long and keeps the rows it showed; nothing says the server is away.
    void aSlowSearchKeepsTheRowsAndIsNoAbsentServer() {
        Station a(conninfo);
        a.print("遅延太郎");
        QTRY_VERIFY_WITH_TIMEOUT(store::HistoryStore(a.book.filePath().toStdString()).unsentCount() == 0, 5000);
        a.window.reload();
        QTRY_VERIFY(a.rowOf("遅延太郎") >= 0 && a.window.Label_Shared->text().isEmpty());
        const int shown = a.window.model()->rowCount();
        store::PgDb locker(conninfo.toStdString());
        locker.exec("BEGIN");
        locker.exec("LOCK TABLE history IN ACCESS EXCLUSIVE MODE");
        a.window.Edit_Search->setText(QStringLiteral("遅延"));
        QCOMPARE(a.window.Label_Count->text(), QStringLiteral("検索しています…"));
        QTRY_COMPARE_WITH_TIMEOUT(a.window.Label_Shared->text(), QStringLiteral("検索に時間がかかっています…"), 5000);
        QCOMPARE(a.window.model()->rowCount(), shown);
        QVERIFY(a.window.Label_Count->text() != QStringLiteral("検索しています…"));
        locker.exec("ROLLBACK");
        a.window.reload();
        QTRY_VERIFY(a.window.Label_Shared->text().isEmpty() && a.window.model()->rowCount() == 1);
    }

    // While the server hangs, each change hands its work over and the
    // window goes on at once; the server's answer comes after it goes on,
    // and the window shows it then. A change left hanging past the
    // time-out is refused with the usual message and leaves the row alone.
    void changesWhileTheServerHangsNeverFreezeTheWindow() {
        Station a(conninfo);
        a.print("削除太郎");
        a.print("番号太郎");
        QTRY_VERIFY_WITH_TIMEOUT(store::HistoryStore(a.book.filePath().toStdString()).unsentCount() == 0, 5000);
        a.window.reload();
        QTRY_VERIFY(a.rowOf("削除太郎") >= 0 && a.rowOf("番号太郎") >= 0);
        store::PgHistoryStore other(conninfo.toStdString());  // another station's view of the server
        const auto onServer = [&](const char* name) {
            store::HistoryQuery query;
            query.search = *sjis::fromUtf8(name);
            return other.list(query);
        };
        const store::Consignee kept{"100-0005", "", "", *sjis::fromUtf8("登録花子"), "03-3333-4444"};
        const auto keeps = [&](store::HistoryBackend& s) {
            const std::vector<store::Consignee> book = s.addressBook();
            return std::any_of(book.begin(), book.end(), [&](const auto& c) { return c.name == kept.name; });
        };
        bool keptOnServer = false;
        bool reloaded = false;
        SharedDbDialog dialog(a.book, nullptr);
        QSignalSpy tested(&dialog, &SharedDbDialog::tested);
        const qsizetype errorsBefore = boxes.errors.size();

        struct Change {
            const char* what;
            std::function<void()> act;
            std::function<void()> meanwhile;  // checks while the server still hangs
            std::function<bool()> shown;      // the server's answer is there
        };
        const Change changes[] = {
            {"delete",
             [&] {
                 a.select("削除太郎");
                 boxes.answer(true);
                 a.window.deleteSelected();
             },
             [] {}, [&] { return onServer("削除太郎").empty() && a.rowOf("削除太郎") < 0; }},
            {"tracking number",
             [&] {
                 a.select("番号太郎");
                 a.window.Edit_Tracking->setText(QStringLiteral("123456789013"));
                 a.window.setTracking();
             },
             [] {},
             [&] {
                 const auto rows = onServer("番号太郎");
                 return !rows.empty() && rows.front().tracking == "123456789013" &&
                        a.window.Label_Count->text() == QStringLiteral("伝票番号 123456789013 を記録しました");
             }},
            {"address book",
             [&] {
                 a.book.keepConsignee(&a.window, kept, [&](const HistoryBook::Written& w) { keptOnServer = w.ok; });
             },
             [&] {
                 store::HistoryStore mine(a.book.filePath().toStdString());
                 QVERIFY2(keeps(mine), "the station's own file keeps it at once");
             },
             [&] { return keptOnServer && keeps(other); }},
            {"connection test",
             [&] {
                 dialog.Edit_Conninfo->setText(conninfo);
                 dialog.BitBtn_TestClick();
             },
             [&] {
                 QVERIFY(!dialog.BitBtn_Test->isEnabled());
                 QCOMPARE(dialog.Label_TestResult->text(), QStringLiteral("接続しています…"));
             },
             [&] { return tested.size() == 1 && tested.front().front().toBool() && dialog.BitBtn_Test->isEnabled(); }},
            {"another shared database, a search on its way",
             [&] {
                 a.window.Edit_Search->setText(QStringLiteral("太郎"));
                 a.book.setSharedConninfo(conninfo);
                 a.window.reload([&] { reloaded = true; });
             },
             [] {}, [&] { return reloaded && a.window.Label_Shared->text().isEmpty(); }},
        };
        for (const Change& change : changes) {
            server.pause();
            const Resumed resumed{server};
            QElapsedTimer handed;
            handed.start();
            change.act();
            QVERIFY2(handed.elapsed() < 200, change.what);
            change.meanwhile();
            if (QTest::currentTestFailed()) return;
            server.resume();
            QTRY_VERIFY2_WITH_TIMEOUT(change.shown(), change.what, 5000);
            QCOMPARE(boxes.errors.size(), errorsBefore);
        }

        // Left hanging: refused within the time-out, the row still there.
        a.window.Edit_Search->clear();
        QTRY_VERIFY(a.rowOf("番号太郎") >= 0);
        server.pause();
        const Resumed resumed{server};
        a.select("番号太郎");
        boxes.answer(true);
        QElapsedTimer handed;
        handed.start();
        a.window.deleteSelected();
        QVERIFY(handed.elapsed() < 200);
        QTRY_COMPARE_WITH_TIMEOUT(boxes.errors.size(), errorsBefore + 1, 5000);
        QVERIFY(handed.elapsed() <= 3000);
        QVERIFY2(boxes.errors.back().startsWith(QStringLiteral("履歴を削除できません: ")),
                 qPrintable(boxes.errors.back()));
        server.resume();
        QCOMPARE(onServer("番号太郎").size(), std::size_t{1});
    }

    void theDialogTestsPlainlyAndNeverKeepsAPassword() {
        QTemporaryDir dir;
        QWidget owner;
        HistoryBook book(&owner);
        book.setFolder(dir.path());
        SharedDbDialog dialog(book, nullptr);
        QVERIFY(dialog.Label_Help->text().contains(QStringLiteral("sslmode=verify-full")));
        QVERIFY(dialog.Label_Help->text().contains(QStringLiteral("~/.pgpass")));

        QTemporaryDir nothing;
        dialog.Edit_Conninfo->setText(QStringLiteral("host=") + nothing.path() + QStringLiteral(" dbname=x"));
        QVERIFY(!testedUsable(dialog));
        QVERIFY2(dialog.Label_TestResult->text().contains(QStringLiteral("接続できません")),
                 qPrintable(dialog.Label_TestResult->text()));
        dialog.Edit_Conninfo->setText(conninfo);
        QVERIFY(testedUsable(dialog));
        QVERIFY(dialog.BitBtn_Test->isEnabled());

        dialog.Edit_Conninfo->setText(conninfo + QStringLiteral(" password=secret"));
        dialog.BitBtn_OkClick();
        QCOMPARE(boxes.notices.size(), 1);
        QVERIFY(!readFile(book.settingsPath()).contains("secret"));

        dialog.Edit_Conninfo->setText(conninfo);
        dialog.BitBtn_OkClick();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(readFile(book.settingsPath()).contains("[SharedDatabase]"));
        HistoryBook reopened(&owner);
        reopened.setFolder(dir.path());
        QCOMPARE(reopened.sharedConninfo(), conninfo);
    }
};

QTEST_MAIN(TestSharedHistoryWindow)
#include "shared_history_window_test.moc"
