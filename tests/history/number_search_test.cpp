// Search over a generated history on both stores: numbers (postal codes,
// telephone, order and tracking numbers, typed with or without hyphens, in
// either width) through their own keys, other text as a substring; both
// stores give the rows a plain scan gives, newest first. A database of the
// previous schema gains the keys of its rows; a statement held up on the
// server is cancelled as slow, the connection kept.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "history/history_text.h"
#include "tests/history/store_fixture.h"
#include "tests/support/full_width.h"
#include "text/sjis.h"

namespace {

using store::HistoryQuery;
using store::PgError;

// Waybills with numbers written every way a shop writes them.
std::vector<WaybillRecord> generatedHistory(int rows) {
    static const char* const names[] = {"山田太郎", "佐藤花子", "ﾔﾏﾀﾞ ﾊﾅｺ", "鈴木一郎", "山本次郎", "田中 恵"};
    static const char* const places[] = {"東京都千代田区丸の内1-1", "大阪府大阪市北区梅田2-3", "北海道札幌市1000番地"};
    std::vector<WaybillRecord> out;
    for (int i = 0; i < rows; ++i) {
        char n4[16], n7[16], n8[16];
        std::snprintf(n4, sizeof n4, "%04d", i % 50);
        std::snprintf(n7, sizeof n7, "%07d", i);
        std::snprintf(n8, sizeof n8, "%08d", i * 7);
        const std::string tels[] = {std::string("03-1234-") + n4, fullWidth(std::string("03-5678-") + n4),
                                    std::string("0312345") + (n4 + 1), std::string("(06)1234-") + n4,
                                    std::string("090-") + n4 + "-5678"};
        const std::string zips[] = {std::string("100-") + n4, fullWidth("100-0001"), "1000001", "530-0001"};
        WaybillRecord r = waybill(names[i % 6], tels[i % 5].c_str(), places[i % 3]);
        r.consignee.tel = S(tels[i % 5].c_str());
        r.consignee.zip = S(zips[i % 4].c_str());
        r.time = "2026-12-01 10:00:00";
        if (i % 3 == 0) r.tracking = std::string("1234") + n8;
        if (i % 4 == 0) r.orderNo = std::string("250-1234567-") + n7;
        if (i % 4 == 1) r.orderNo = S(i % 8 == 1 ? fullWidth("#" + std::to_string(1000 + i)).c_str()
                                                 : ("#" + std::to_string(1000 + i)).c_str());
        out.push_back(r);
    }
    return out;
}

// What a scan of every row finds, newest (last recorded) first.
std::vector<std::string> scanned(const std::vector<WaybillRecord>& rows, const HistoryQuery& q) {
    const std::string needle = store::searchFold(sjis::toUtf8(sjis::trim(q.search)));
    std::vector<std::string> uids;
    for (auto r = rows.rbegin(); r != rows.rend(); ++r) {
        if (q.limit >= 0 && uids.size() == static_cast<std::size_t>(q.limit)) break;
        if (needle.empty() || store::rowMatches(needle, store::searchText(*r), store::numberKeys(*r)))
            uids.push_back(r->uid);
    }
    return uids;
}

std::vector<std::string> uidsOf(const std::vector<WaybillRecord>& rows) {
    std::vector<std::string> out;
    for (const WaybillRecord& r : rows) out.push_back(r.uid);
    return out;
}

}  // namespace

TEST(NumberSearch, BothStoresFindWhatAScanFinds) {
    std::vector<WaybillRecord> rows = generatedHistory(240);
    for (WaybillRecord& r : rows) r.uid = store::newRecordUid();
    ScratchFolder dir;
    store::HistoryStore sqlite(dir.file("h.db"));
    store::PgHistoryStore pg(freshDatabase());
    sqlite.record(rows);
    pg.record(rows);
    const struct {
        const char* search;
        bool found;  // the scan finds rows
    } cases[] = {
        {"100-0001", true},        {"1000001", true},      {"１００－０００１", true}, {"100-00", true},
        {"1000", true},            {"03-1234-0005", true}, {"0312340005", true},     {"０３５６７８", true},
        {"03-5678", true},         {"(06)1234", true},     {"06-1234-0003", true},   {"5678", true},
        {"0008", true},            {"123400000084", true}, {"1234-0000-0084", true}, {"0084", true},
        {"1234567-0000004", true}, {"1234567-00", true},   {"#1001", true},          {"＃１００９", true},
        {"1009", true},            {"9999-9999", false},   {"山田", true},           {"山田太郎", true},
        {"ヤマダ", true},          {"田", true},           {"千代田区", true},       {"1-1", true},
        {"100", true},             {"1000番地", true},     {"郎03", false},          {"\"*) OR (", false},
        {"1", true},               {"恵", true},           {"49", true},             {"鬱", false},
    };
    for (const auto& c : cases) {
        for (const int limit : {-1, 7}) {
            HistoryQuery q;
            q.search = S(c.search);
            q.limit = limit;
            const std::vector<std::string> want = scanned(rows, q);
            EXPECT_EQ(!want.empty(), c.found) << c.search;
            EXPECT_EQ(uidsOf(sqlite.list(q)), want) << "sqlite " << c.search << " limit " << limit;
            EXPECT_EQ(uidsOf(pg.list(q)), want) << "postgres " << c.search << " limit " << limit;
            // Every row was printed on the first of December.
            q.toDate = "2026-11-30";
            EXPECT_TRUE(sqlite.list(q).empty()) << "sqlite " << c.search << " before the history";
            EXPECT_TRUE(pg.list(q).empty()) << "postgres " << c.search << " before the history";
        }
    }
    // A tracking number set later is found by its new digits only.
    const std::int64_t newest = sqlite.list({}).front().id;
    sqlite.setTracking(newest, "987654321098");
    pg.setTracking(pg.list({}).front().id, "987654321098");
    for (const char* digits : {"987654321098", "1098", "123400001673"}) {
        HistoryQuery q;
        q.search = digits;
        EXPECT_EQ(uidsOf(sqlite.list(q)), uidsOf(pg.list(q))) << digits;
        EXPECT_EQ(sqlite.list(q).size(), std::string(digits) == "123400001673" ? 0U : 1U) << digits;
    }
}

TEST(NumberSearch, ADatabaseOfThePreviousSchemaGainsTheKeysOfItsRows) {
    const std::string conninfo = freshDatabase();
    store::PgHistoryStore(conninfo).record(waybill("山田太郎", "03-1234-5678", "東京都"));
    store::PgDb admin(conninfo);
    admin.exec("DROP TABLE history_numbers");
    admin.exec("UPDATE vp_schema SET version = 2");
    EXPECT_THROW(store::PgHistoryStore{conninfo}, PgError);  // an older schema waits for server init
    for (int run = 0; run < 2; ++run) {
        const store::SchemaChange change = store::initPgSchema(admin);
        EXPECT_EQ(change.from, run == 0 ? 2 : store::kPgSchemaVersion);
        HistoryQuery q;
        q.search = S("5678");
        EXPECT_EQ(store::PgHistoryStore(conninfo).list(q).size(), 1U);
    }
}

TEST(NumberSearch, AStatementHeldUpOnTheServerIsCancelledAsSlow) {
    const std::string conninfo = freshDatabase();
    store::PgHistoryStore h(conninfo, std::chrono::milliseconds(800));
    h.record(waybill("山田太郎", "03-1234-5678", "東京都"));
    store::PgDb locker(conninfo);
    locker.exec("BEGIN");
    locker.exec("LOCK TABLE history IN ACCESS EXCLUSIVE MODE");
    try {
        h.list({});
        ADD_FAILURE() << "the held statement answered";
    } catch (const PgError& e) {
        EXPECT_EQ(e.kind(), PgError::Kind::Slow) << e.what();
        EXPECT_FALSE(e.unreachable());
    }
    locker.exec("ROLLBACK");
    EXPECT_EQ(h.list({}).size(), 1U);  // on the same connection
}
