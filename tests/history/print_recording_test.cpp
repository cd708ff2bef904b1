// A print recorded before its job goes out, on every store a print can be
// recorded in; a tracking number found wherever it is held; the number
// proposed from the feed mode's own stack of forms; and what the outbox
// does with rows whose print is still going on or whose commit went
// unanswered.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "history/pg_history_store.h"
#include "history/print_recording.h"
#include "history/shared_history.h"
#include "tests/history/store_fixture.h"

using store::HistoryBackend;
using store::HistoryQuery;
using store::PrintRecording;

namespace {

const Backend kBackends[] = {
    kSqliteBackend,
    kPostgresBackend,
    {"station", [](ScratchFolder& dir) {
         return std::make_unique<store::SharedHistory>(dir.file("station.db"), freshDatabase());
     }},
};

struct Recording : ::testing::TestWithParam<Backend> {
    ScratchFolder dir;
    std::unique_ptr<HistoryBackend> store = GetParam().make(dir);
    HistoryBackend& h = *store;

    WaybillRecord shipped(const char* name, const char* order, const char* tracking, const char* feed) {
        WaybillRecord r = waybill(name, "03-1111-2222", "東京都");
        r.orderNo = order;
        r.tracking = tracking;
        r.feedMode = S(feed);
        return r;
    }
};

}  // namespace

TEST_P(Recording, APrintIsRecordedFirstThenMarkedOrTakenOutWhenItsJobWasRefused) {
    {
        PrintRecording printing(h, {shipped("出荷", "#1", "123456789013", "手差し")});
        auto rows = h.list({});
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_TRUE(rows.front().printing());  // on its way: outcome not yet known
        EXPECT_EQ(rows.front().uid, printing.rows().front().uid);
        HistoryQuery shippedOnly;
        shippedOnly.shippedOnly = true;
        EXPECT_TRUE(h.list(shippedOnly).empty());  // never reported as shipped while unknown
        printing.printed(77);
        rows = h.list({});
        EXPECT_FALSE(rows.front().printing());
        EXPECT_EQ(rows.front().job, 77);
        EXPECT_EQ(h.list(shippedOnly).size(), 1u);
    }
    {
        PrintRecording refused(h, {shipped("中止", "#2", "", "手差し"), shipped("中止", "#3", "", "手差し")});
        EXPECT_EQ(h.list({}).size(), 3u);
    }  // the print service refused the job: its rows go, the printed one stays
    const auto rows = h.list({});
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows.front().orderNo, "#1");
}

TEST_P(Recording, ATrackingNumberIsFoundOnItsRowAndEachFeedModeCountsOnFromItsOwnStack) {
    h.record(shipped("手差し一", "#1", "300000000010", "手差し"));
    h.record(shipped("連続一", "#2", "200000000016", "連続(４インチ)"));
    h.record(shipped("手差し二", "#3", "300000000032", "手差し"));
    const std::vector<std::string> asked = {"999999999993", "200000000016", "", "300000000032"};
    const auto held = h.holdersOf(asked);
    ASSERT_EQ(held.size(), 2u);
    EXPECT_EQ(held[0].orderNo, "#3");  // newest first
    EXPECT_EQ(held[1].orderNo, "#2");
    EXPECT_EQ(store::trackingHeldText(held[1]), "伝票番号 200000000016 は 連続一 様（2026/12/01 10:00）に記録済みです");
    EXPECT_TRUE(h.holdersOf(std::vector<std::string>{"999999999993"}).empty());

    // The server keeps every station's rows and proposes nothing.
    if (std::string(GetParam().name) == "postgres") return;
    EXPECT_EQ(h.lastTracking(S("手差し")), "300000000032");
    EXPECT_EQ(h.lastTracking(S("連続(４インチ)")), "200000000016");
    EXPECT_EQ(h.lastTracking(""), "300000000032");
    EXPECT_EQ(h.lastTracking(S("未使用")), "");
}

INSTANTIATE_TEST_SUITE_P(Stores, Recording, ::testing::ValuesIn(kBackends),
                         [](const auto& info) { return std::string(info.param.name); });

// A row recorded as printing waits in the outbox for its job; once marked
// it goes with it. One a crash left behind goes, as unknown, once it is old;
// its job follows when it is marked later.
TEST_F(Outbox, RowsStillPrintingWaitForTheirJobUnlessTheyAreOld) {
    store::SharedHistory station(file, conninfo);
    std::optional<PrintRecording> printing;
    printing.emplace(station, std::vector<WaybillRecord>{waybill("印刷中", "1", "x", "")});  // printed now
    EXPECT_EQ(station.sendUnsent(), 0u);
    EXPECT_EQ(station.status().unsent, 1);
    EXPECT_EQ(station.list({}).size(), 1u);  // shown while it waits
    printing->printed(5);
    EXPECT_EQ(station.sendUnsent(), 1u);
    store::PgHistoryStore server(conninfo);
    EXPECT_EQ(server.list({}).front().job, 5);

    WaybillRecord leftOver = waybill("不明", "2", "y", "2026-11-30 09:00:00");
    leftOver.job = WaybillRecord::kJobPrinting;
    leftOver.uid = store::newRecordUid();
    station.record(leftOver);
    EXPECT_EQ(station.sendUnsent(), 1u);
    HistoryQuery q;
    q.search = S("不明");
    EXPECT_TRUE(server.list(q).front().printing());
    station.markPrinted(std::vector<std::string>{leftOver.uid}, 9);
    EXPECT_EQ(station.sendUnsent(), 1u);
    EXPECT_EQ(server.list(q).front().job, 9);
    EXPECT_EQ(serverRows(), 2);
}

// A commit the server makes slowly, past the station's time-out: the
// station cannot tell whether it went, says so, keeps the rows, and sending
// them again adds nothing the server has.
TEST_F(Outbox, ACommitLeftUnansweredIsReportedAsUnknownAndSendingAgainDoublesNothing) {
    {
        store::PgDb admin(conninfo);
        admin.exec("CREATE FUNCTION slow_commit() RETURNS trigger LANGUAGE plpgsql AS "
                   "$$ BEGIN PERFORM pg_sleep(1.5); RETURN NULL; END $$");
        admin.exec("CREATE CONSTRAINT TRIGGER slow AFTER INSERT ON history DEFERRABLE INITIALLY DEFERRED "
                   "FOR EACH ROW EXECUTE FUNCTION slow_commit()");
    }
    store::SharedHistory station(file, conninfo, std::chrono::milliseconds(500));
    station.record(waybill("遅い", "1", "x"));
    try {
        station.sendUnsent();
        ADD_FAILURE() << "the unanswered commit was taken for done";
    } catch (const store::PgError& e) {
        EXPECT_NE(std::string(e.what()).find("記録できたか確認できません"), std::string::npos) << e.what();
    }
    EXPECT_EQ(station.status().unsent, 1);
    std::this_thread::sleep_for(std::chrono::seconds(2));
    store::PgDb(conninfo).exec("DROP TRIGGER slow ON history");
    station.retryNow();
    station.sendUnsent();
    EXPECT_EQ(station.status().unsent, 0);
    EXPECT_EQ(serverRows(), 1);
    EXPECT_EQ(store::PgDb(conninfo).exec("SELECT count(*) FROM history").integer(0, 0), 1);
}
