// The same history and address book cases on both stores: the station's
// SQLite file and a shared PostgreSQL server (a private one, started for
// this program). Then what only the server has: its schema, its rights
// and the plain messages of a connection that fails.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "history/history_store.h"
#include "history/pg_db.h"
#include "history/pg_history_store.h"
#include "history/pg_schema.h"
#include "history/outbox_sender.h"
#include "history/shared_history.h"
#include "tests/history/store_fixture.h"
#include "text/sjis_convert.h"

using store::CompleteBy;
using store::Consignee;
using store::HistoryBackend;
using store::HistoryQuery;
using store::PgError;
using store::WaybillRecord;

namespace {

const Backend kBackends[] = {
    kSqliteBackend,
    kPostgresBackend,
};

struct StoreCases : ::testing::TestWithParam<Backend> {
    ScratchFolder dir;
    std::unique_ptr<HistoryBackend> store = GetParam().make(dir);
    HistoryBackend& h = *store;

    std::vector<std::string> names(const HistoryQuery& q) {
        std::vector<std::string> out;
        for (const auto& r : h.list(q)) out.push_back(sjis::toUtf8(r.consignee.name));
        return out;
    }
};

}  // namespace

TEST_P(StoreCases, KeepsEveryFieldOnceByRecordId) {
    h.record(waybill("山田太郎", "03-1234-5678", "東京都千代田区丸の内1-1"));
    WaybillRecord repeat = waybill("佐藤花子", "06-9999-0000", "大阪府");
    repeat.uid = "0123456789abcdef0123456789abcdef";
    const std::vector<WaybillRecord> two = {repeat, waybill("鈴木一郎", "011-222-3333", "北海道")};
    h.record(two);
    h.record(repeat);  // sent again after a lost answer: still one row
    const auto rows = h.list({});
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(sjis::toUtf8(rows[0].consignee.name), "鈴木一郎");
    EXPECT_EQ(rows[1].uid, repeat.uid);
    EXPECT_EQ(rows[2].uid.size(), 32u);
    EXPECT_NE(rows[0].uid, rows[2].uid);
    WaybillRecord want = waybill("山田太郎", "03-1234-5678", "東京都千代田区丸の内1-1");
    want.id = rows[2].id;
    want.uid = rows[2].uid;
    EXPECT_EQ(rows[2], want);

    WaybillRecord now = waybill("今", "1", "x");
    now.time.clear();
    h.record(now);
    EXPECT_EQ(h.list({}).front().time.size(), 19u);
}

TEST_P(StoreCases, SearchFindsSubstringsOfAnyLengthAndForgetsRemovedRows) {
    h.record(waybill("山田太郎", "03-1234-5678", "東京都千代田区丸の内1-1", "2026-11-30 18:00:00"));
    h.record(waybill("ﾔﾏﾀﾞ ﾊﾅｺ", "０６－９９９９－００００", "大阪府大阪市", "2026-12-01 09:00:00"));
    h.record(waybill("Smith 50%_off", "011-222-3333", "北海道札幌市", "2026-12-02 12:00:00"));
    const struct {
        const char* search;
        std::vector<std::string> want;
    } cases[] = {
        {"", {"Smith 50%_off", "ﾔﾏﾀﾞ ﾊﾅｺ", "山田太郎"}},
        {"田", {"山田太郎"}},
        {"札幌", {"Smith 50%_off"}},
        {"千代田区", {"山田太郎"}},
        {"0312345678", {"山田太郎"}},
        {"１２３４", {"山田太郎"}},
        {"06-9999", {"ﾔﾏﾀﾞ ﾊﾅｺ"}},
        {"ヤマダ", {"ﾔﾏﾀﾞ ﾊﾅｺ"}},
        {"SMITH", {"Smith 50%_off"}},
        {"%", {"Smith 50%_off"}},
        {"1000005", {"Smith 50%_off", "ﾔﾏﾀﾞ ﾊﾅｺ", "山田太郎"}},  // a postal code without its hyphen
        {"03-12345678", {"山田太郎"}},                         // hyphens elsewhere
        {"郎03", {}},
        {"\"*) OR ('", {}},
        {R"({"a",\})", {}},
    };
    for (const auto& c : cases) {
        HistoryQuery q;
        q.search = S(c.search);
        EXPECT_EQ(names(q), c.want) << c.search;
    }
    HistoryQuery range;
    range.fromDate = "2026-12-01";
    range.toDate = "2026-12-01";
    EXPECT_EQ(names(range), std::vector<std::string>{"ﾔﾏﾀﾞ ﾊﾅｺ"});
    range.toDate.clear();
    range.limit = 1;
    EXPECT_EQ(names(range), std::vector<std::string>{"Smith 50%_off"});

    const std::int64_t yamada = h.list({}).back().id;
    h.remove(std::span(&yamada, 1));
    HistoryQuery q;
    q.search = S("千代田");
    EXPECT_TRUE(h.list(q).empty());
    EXPECT_EQ(h.list({}).size(), 2u);
}

TEST_P(StoreCases, CompletionOffersTheAddressBookThenTheHistoryOncePerConsignee) {
    h.record(waybill("山田太郎", "03-1234-5678", "東京都千代田区"));
    h.record(waybill("山田太郎", "03-1234-5678", "東京都千代田区"));
    h.record(waybill("山本次郎", "03-1299-0000", "東京都港区"));
    h.record(waybill("100%_商店", "0120-00-0000", "東京都港区"));
    h.keepConsignee({S("150-0001"), S("東京都渋谷区"), "", S("山田商店"), S("０３－１２００－１１１１")});
    h.keepConsignee({S("150-0002"), S("東京都渋谷区神宮前"), "", S("山田商店"), "03-1200-1111"});
    ASSERT_EQ(h.addressBook().size(), 1u);
    EXPECT_EQ(sjis::toUtf8(h.addressBook()[0].add1), "東京都渋谷区神宮前");
    EXPECT_THROW(h.keepConsignee({"", "", "", "  ", "1"}), std::invalid_argument);

    auto offered = [&](CompleteBy by, const char* prefix) {
        std::vector<std::string> out;
        for (const Consignee& c : h.complete(by, S(prefix))) out.push_back(sjis::toUtf8(c.name));
        return out;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(offered(CompleteBy::Telephone, "03-12"), (V{"山田商店", "山田太郎", "山本次郎"}));
    EXPECT_EQ(offered(CompleteBy::Telephone, "０３１２３"), (V{"山田太郎"}));
    EXPECT_EQ(offered(CompleteBy::Telephone, "-"), V{});
    EXPECT_EQ(offered(CompleteBy::Name, "山田"), (V{"山田商店", "山田太郎"}));
    EXPECT_EQ(offered(CompleteBy::Name, "100%"), (V{"100%_商店"}));
    EXPECT_EQ(offered(CompleteBy::Name, "1_0"), V{});  // no wildcard in a prefix
    EXPECT_EQ(offered(CompleteBy::Name, "田"), V{});
    EXPECT_EQ(h.complete(CompleteBy::Name, S("山田"), 1).size(), 1u);
}

TEST_P(StoreCases, OrdersAndTrackingNumbersAreFilteredSearchedAndCorrected) {
    WaybillRecord amazon = waybill("山田太郎", "03-1234-5678", "東京都", "2026-12-01 10:00:00");
    amazon.orderNo = "250-1234567-1234567";
    amazon.orderItems = "11111111111111:2 22222222222222:1";
    amazon.tracking = "123456789013";
    WaybillRecord shop = waybill("佐藤花子", "06-9999-0000", "大阪府", "2026-12-01 11:00:00");
    shop.orderNo = S("＃１００１");
    h.record(amazon);
    h.record(shop);
    h.record(waybill("鈴木一郎", "011-222-3333", "北海道", "2026-12-01 12:00:00"));
    const WaybillRecord stored = h.list({}).back();
    amazon.id = stored.id;
    amazon.uid = stored.uid;
    EXPECT_EQ(stored, amazon);
    const std::int64_t sato = h.list({})[1].id;

    using V = std::vector<std::string>;
    const struct {
        const char* orderNo;
        const char* tracking;
        bool shippedOnly;
        const char* search;
        V want;
    } cases[] = {
        {"250-1234567-1234567", "", false, "", {"山田太郎"}},
        {"＃１００１", "", false, "", {"佐藤花子"}},
        {"#1001", "", false, "", {}},  // an order number is matched exactly
        {"", "123456789013", false, "", {"山田太郎"}},
        {"", "", true, "", {"山田太郎"}},
        {"", "", false, "9013", {"山田太郎"}},       // the search looks in tracking numbers
        {"", "", false, "1234-5678-9013", {"山田太郎"}},  // also as printed on the form, in groups
        {"", "", false, "１２３４－５６７８－９０１３", {"山田太郎"}},
        {"", "", false, "1234567-12", {"山田太郎"}},  // and in order numbers
        {"＃１００１", "123456789013", false, "", {}},
    };
    for (const auto& c : cases) {
        HistoryQuery q;
        q.orderNo = S(c.orderNo);
        q.tracking = c.tracking;
        q.shippedOnly = c.shippedOnly;
        q.search = S(c.search);
        EXPECT_EQ(names(q), c.want) << c.orderNo << " " << c.tracking << " " << c.search;
    }

    // A number set later is searched and filtered by; the old one is gone.
    HistoryQuery byText, shipped;
    shipped.shippedOnly = true;
    h.setTracking(sato, "123456789024");
    byText.search = S("123456789024");
    EXPECT_EQ(names(byText), V{"佐藤花子"});
    EXPECT_EQ(names(shipped), (V{"佐藤花子", "山田太郎"}));
    h.setTracking(sato, "123456789035");
    EXPECT_TRUE(names(byText).empty());
    byText.search = S("789035");
    EXPECT_EQ(names(byText), V{"佐藤花子"});
    // Digits only, as many as some form may print (2 to 20): the form's own
    // rule is the caller's.
    for (const char* wrong : {"1", "12345678903X", "123456789012345678901"})
        EXPECT_THROW(h.setTracking(sato, wrong), std::invalid_argument) << wrong;
    EXPECT_EQ(h.list(shipped).front().tracking, "123456789035");
    h.setTracking(sato, "");
    EXPECT_EQ(names(shipped), V{"山田太郎"});
    EXPECT_TRUE(names(byText).empty());
}

INSTANTIATE_TEST_SUITE_P(Stores, StoreCases, ::testing::ValuesIn(kBackends),
                         [](const auto& info) { return std::string(info.param.name); });

namespace {

struct SharedServer : ::testing::Test {
    std::string conninfo = freshDatabase();
    store::PgDb admin{conninfo};
};

}  // namespace

TEST_F(SharedServer, InitIsRepeatableAndANewerSchemaOpensReadOnly) {
    const store::SchemaChange again = store::initPgSchema(admin);
    EXPECT_EQ(again.from, store::kPgSchemaVersion);
    EXPECT_EQ(again.to, store::kPgSchemaVersion);

    store::PgHistoryStore(conninfo).record(waybill("山田太郎", "03-1234-5678", "東京都"));
    admin.exec("UPDATE vp_schema SET version = version + 1");
    store::PgHistoryStore newer(conninfo);
    EXPECT_TRUE(newer.readOnly());
    EXPECT_NE(newer.takeNotice().find("読み取り専用"), std::string::npos);
    EXPECT_EQ(newer.list({}).size(), 1u);
    EXPECT_THROW(newer.record(waybill("x", "1", "y")), PgError);
    EXPECT_THROW(store::initPgSchema(admin), PgError);  // never migrated backwards
}

// Servers of every earlier schema version: stations refuse them until they
// are brought up to date; their rows then have no platform and were printed
// on the built-in form, new ones keep theirs.
TEST_F(SharedServer, AnOlderSchemaIsMigratedForwardKeepingItsRows) {
    for (const int version : {1, 2, 3}) {
        SCOPED_TRACE(version);
        const std::string fresh = freshDatabase();
        store::PgDb db(fresh);
        store::PgHistoryStore(fresh).record(waybill("山田太郎", "03-1234-5678", "東京都"));
        db.exec("ALTER TABLE history DROP COLUMN form");
        if (version <= 2) db.exec("DROP TABLE history_numbers");
        if (version == 1) db.exec("ALTER TABLE history DROP COLUMN platform, DROP COLUMN shipment");
        db.exec("UPDATE vp_schema SET version = " + std::to_string(version));
        EXPECT_THROW(store::PgHistoryStore{fresh}, PgError);
        const store::SchemaChange change = store::initPgSchema(db);
        EXPECT_EQ(change.from, version);
        EXPECT_EQ(change.to, store::kPgSchemaVersion);
        store::PgHistoryStore server(fresh);
        store::WaybillRecord added = waybill("佐藤花子", "06-9999-0000", "大阪府");
        added.platform = S("EC-CUBE");
        added.shipment = "91005";
        added.form = "yupack";
        server.record(added);
        const std::vector<store::WaybillRecord> rows = server.list({});
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(rows[0].platform, S("EC-CUBE"));
        EXPECT_EQ(rows[0].shipment, "91005");
        EXPECT_EQ(rows[0].form, "yupack");
        EXPECT_EQ(rows[1].platform + rows[1].shipment + rows[1].form, "");
    }
}

TEST_F(SharedServer, SearchGivesTheSameRowsHoweverItStepsThroughTheTable) {
    store::PgHistoryStore h(conninfo);
    for (int i = 0; i < 9; ++i)
        h.record(waybill(i % 2 ? "山田太郎" : "佐藤花子", "03-1234-5678", i % 3 ? "名古屋市" : "札幌市",
                         i < 4 ? "2026-11-30 10:00:00" : "2026-12-01 10:00:00"));
    h.record(waybill("名古屋・古屋市", "1", "x", "2026-12-01 10:00:00"));  // the pieces, but apart
    for (const char* text : {"山", "名古屋市", "佐藤花子", "札", "鬱"}) {
        for (const char* to : {"", "2026-11-30"}) {
            HistoryQuery q;
            q.search = S(text);
            q.toDate = to;
            h.setSearchSteps(0, 1000);
            const auto all = h.list(q);
            for (const int limit : {1, 2, 3, -1}) {
                q.limit = limit;
                for (const std::int64_t recent : {0, 1, 2, 3, 20}) {
                    for (const std::int64_t sample : {1, 2, 20}) {
                        h.setSearchSteps(recent, 1, sample);
                        const auto rows = h.list(q);
                        const std::string where = std::string(text) + " to " + to + " limit " +
                                                  std::to_string(limit) + " recent " + std::to_string(recent) +
                                                  " sample " + std::to_string(sample);
                        ASSERT_EQ(rows.size(), limit < 0 ? all.size() : std::min(all.size(), std::size_t(limit)))
                            << where;
                        for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i].id, all[i].id) << where;
                    }
                }
            }
        }
    }
}

TEST_F(SharedServer, AStationRoleWithThePrintedGrantsWritesRowsButNotTheSchema) {
    admin.exec("CREATE ROLE station LOGIN");
    const std::string stationInfo = server().conninfo(admin.database(), "station");
    try {
        store::PgHistoryStore none(stationInfo);
        FAIL() << "a role without rights was let in";
    } catch (const PgError& e) {
        EXPECT_EQ(e.kind(), PgError::Kind::NoRights) << e.what();
    }
    const std::string grants = store::stationGrants(admin.database(), "station");
    for (std::size_t from = 0, end; (end = grants.find(";\n", from)) != std::string::npos; from = end + 2)
        admin.exec(grants.substr(from, end - from));

    store::PgHistoryStore station(stationInfo);
    station.record(waybill("山田太郎", "03-1234-5678", "東京都"));
    station.keepConsignee({"", "", "", S("山田商店"), "03"});
    const std::int64_t id = station.list({}).front().id;
    station.setTracking(id, "123456789013");
    EXPECT_EQ(station.list({}).front().tracking, "123456789013");
    station.remove(std::span(&id, 1));
    EXPECT_TRUE(station.list({}).empty());
    store::PgDb raw(stationInfo);
    for (const char* ddl : {"DROP TABLE history", "ALTER TABLE history ADD COLUMN x int", "CREATE TABLE x(y int)",
                            "UPDATE vp_schema SET version = 9"}) {
        try {
            raw.exec(ddl);
            ADD_FAILURE() << "allowed: " << ddl;
        } catch (const PgError& e) {
            EXPECT_EQ(e.kind(), PgError::Kind::NoRights) << ddl << ": " << e.what();
        }
    }
}

TEST_F(SharedServer, AConnectionThatFailsSaysPlainlyWhy) {
    admin.exec(std::string("CREATE ROLE ") + PgServer::kPasswordRole + " LOGIN PASSWORD 'right'");
    const std::string latin1 = server().createDatabase("latin1db", "LATIN1");
    ScratchFolder empty;
    using K = PgError::Kind;
    const struct {
        std::string conninfo;
        K want;
    } cases[] = {
        {"host=" + server().socketDir() + " dbname='unterminated", K::Syntax},
        {"service=no_such_service_here", K::Syntax},
        {"host=" + empty.path() + " dbname=x", K::NoServer},
        {server().conninfo("postgres", PgServer::kPasswordRole) + " password=wrong", K::Password},
        {server().conninfo("no_such_db"), K::NoDatabase},
        {server().conninfo("postgres"), K::NotInitialised},
        {latin1, K::Encoding},
    };
    for (const auto& c : cases) {
        const auto start = std::chrono::steady_clock::now();
        try {
            store::PgHistoryStore s(c.conninfo);
            ADD_FAILURE() << "connected: " << c.conninfo;
        } catch (const PgError& e) {
            EXPECT_EQ(e.kind(), c.want) << c.conninfo << ": " << e.what();
            EXPECT_GT(std::string(e.what()).size(), 10u);
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4)) << c.conninfo;
    }
    EXPECT_EQ(store::normalisedConninfo("  shop  "), "service='shop'");
    EXPECT_EQ(store::normalisedConninfo("host=x dbname=y"), "host=x dbname=y");
    EXPECT_EQ(store::normalisedConninfo("postgresql://x/y"), "postgresql://x/y");
}

TEST_F(Outbox, PrintsWhileTheServerIsDownWaitAndArriveOnceInOrder) {
    {
        store::SharedHistory station(file, conninfo);
        station.record(waybill("先に送る", "1", "x", "2026-12-01 09:00:00"));
        EXPECT_EQ(station.sendUnsent(), 1u);

        server().stop(true);
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < 5; ++i) station.record(waybill("停電中", "2", "y"));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));  // never waits
        const auto rows = station.list({});  // the station's own rows stand in
        EXPECT_EQ(rows.size(), 6u);
        EXPECT_LT(rows.front().id, 0);
        EXPECT_THROW(station.sendUnsent(), PgError);
        const auto status = station.status();
        EXPECT_FALSE(status.connected);
        EXPECT_EQ(status.unsent, 5);
        EXPECT_FALSE(status.error.empty());
    }
    server().start();
    store::SharedHistory restarted(file, conninfo);  // the outbox outlived the program
    EXPECT_EQ(restarted.status().unsent, 5);
    EXPECT_EQ(restarted.sendUnsent(), 5u);
    EXPECT_EQ(restarted.sendUnsent(), 0u);
    EXPECT_EQ(serverRows(), 6);
    // Sent again as after a lost answer: the server keeps one of each.
    restarted.local().recordUnsent(restarted.local().list({}));
    EXPECT_EQ(restarted.status().unsent, 6);
    EXPECT_EQ(restarted.sendUnsent(), 6u);
    EXPECT_EQ(serverRows(), 6);
    // In print order: the server's ids follow the local ones.
    const auto shared = store::PgHistoryStore(conninfo).list({});
    EXPECT_EQ(sjis::toUtf8(shared.back().consignee.name), "先に送る");
}

TEST_F(Outbox, TheListJoinsUnsentRowsToTheServersAndRemovesEither) {
    store::PgHistoryStore(conninfo).record(waybill("他の端末", "1", "x", "2026-12-01 10:00:00"));
    store::SharedHistory station(file, conninfo);
    station.record(waybill("未送信", "2", "y", "2026-12-01 11:00:00"));
    auto rows = station.list({});
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(sjis::toUtf8(rows[0].consignee.name), "未送信");
    EXPECT_LT(rows[0].id, 0);
    EXPECT_GT(rows[1].id, 0);
    HistoryQuery q;
    q.search = S("未送");
    EXPECT_EQ(station.list(q).size(), 1u);
    EXPECT_TRUE(station.status().connected);
    const std::vector<std::int64_t> both = {rows[0].id, rows[1].id};
    station.remove(both);
    EXPECT_TRUE(station.list({}).empty());
    EXPECT_EQ(station.status().unsent, 0);
}

TEST_F(Outbox, TheSenderDeliversInTheBackgroundWhenKicked) {
    store::SharedHistory station(file, conninfo);
    station.record(waybill("送信", "1", "x"));
    std::atomic<int> attempts{0};
    store::OutboxSender sender(file, conninfo, [&](bool sent) { attempts += sent ? 1 : 0; });
    sender.kick();
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (serverRows() < 1 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(serverRows(), 1);
    EXPECT_GE(attempts.load(), 1);
    EXPECT_EQ(station.status().unsent, 0);
}

TEST_F(Outbox, TrackingNumbersFollowTheRowAndTheLastOneIsTheStations) {
    store::SharedHistory station(file, conninfo);
    WaybillRecord mine = waybill("自分", "1", "x", "2026-12-01 09:00:00");
    mine.orderNo = "#1";
    mine.tracking = "123456789013";
    station.record(mine);
    EXPECT_EQ(station.sendUnsent(), 1u);
    // Another station prints later from its own stack of forms.
    WaybillRecord theirs = waybill("他の端末", "2", "y", "2026-12-01 10:00:00");
    theirs.tracking = "999999999993";
    store::PgHistoryStore(conninfo).record(theirs);
    EXPECT_EQ(station.lastTracking(""), "123456789013");

    // Corrected on the server: the station's copy counts on from it too.
    HistoryQuery byOrder;
    byOrder.orderNo = "#1";
    const std::int64_t sent = station.list(byOrder).front().id;
    ASSERT_GT(sent, 0);
    station.setTracking(sent, "123456789024");
    EXPECT_EQ(station.list(byOrder).front().tracking, "123456789024");
    EXPECT_EQ(station.lastTracking(""), "123456789024");

    // An unsent row is corrected in the outbox and arrives corrected; the
    // joined list filters it like the server's rows.
    WaybillRecord waiting = waybill("未送信", "3", "z", "2026-12-01 11:00:00");
    waiting.orderNo = "#2";
    station.record(waiting);
    HistoryQuery shipped;
    shipped.shippedOnly = true;
    EXPECT_EQ(station.list(shipped).size(), 1u);  // the other station's has no order
    const std::int64_t unsent = station.list({}).front().id;
    ASSERT_LT(unsent, 0);
    station.setTracking(unsent, "123456789035");
    EXPECT_EQ(station.list(shipped).size(), 2u);
    EXPECT_EQ(station.lastTracking(""), "123456789035");
    EXPECT_EQ(station.sendUnsent(), 1u);
    HistoryQuery byTracking;
    byTracking.tracking = "123456789035";
    const auto onServer = store::PgHistoryStore(conninfo).list(byTracking);
    ASSERT_EQ(onServer.size(), 1u);
    EXPECT_EQ(onServer.front().orderNo, "#2");
}

// A number set while the sender has the row on its way: the sender's two
// steps driven by hand around the correction, then a correction of a row
// listed as unsent that the sender took to the server since. The newest
// number reaches the server each time, on one row, found by its number.
TEST_F(Outbox, ACorrectionMadeWhileTheRowIsOnItsWayReachesTheServer) {
    store::SharedHistory station(file, conninfo);
    station.record(waybill("途中", "1", "x", "2026-12-01 09:00:00"));
    const std::int64_t listed = station.list({}).front().id;
    ASSERT_LT(listed, 0);
    store::PgHistoryStore server(conninfo);

    const std::vector<WaybillRecord> onTheWay = station.local().unsent(10);
    EXPECT_EQ(server.recordNew(onTheWay), 1u);
    station.setTracking(listed, "123456789013");
    EXPECT_EQ(station.local().markSent(onTheWay), 0u);
    EXPECT_EQ(station.sendUnsent(), 1u);

    station.setTracking(listed, "123456789024");
    EXPECT_EQ(station.status().unsent, 1);
    EXPECT_EQ(station.sendUnsent(), 1u);
    EXPECT_EQ(station.status().unsent, 0);

    const auto rows = server.list({});
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows.front().tracking, "123456789024");
    HistoryQuery q;
    q.search = "123456789024";
    EXPECT_EQ(server.list(q).size(), 1u);
    q.search = "123456789013";
    EXPECT_TRUE(server.list(q).empty());
}
