#pragma once
// What the history tests share: a waybill with every field set, one private
// PostgreSQL server for the test program with a fresh database per test,
// and a station's file beside a server's database.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "history/history_backend.h"
#include "history/history_store.h"
#include "history/pg_db.h"
#include "history/pg_history_store.h"
#include "history/pg_schema.h"
#include "tests/support/pg_server.h"
#include "tests/support/scratch_folder.h"
#include "text/sjis_convert.h"

using store::WaybillRecord;

inline std::string S(const char* utf8) { return *sjis::fromUtf8(utf8); }

inline WaybillRecord waybill(const char* name, const char* tel, const char* add1, const char* time = "2026-12-01 10:00:00") {
    WaybillRecord r;
    r.time = time;
    r.consignee = {S("100-0005"), S(add1), S("丸の内ビル３階"), S(name), S(tel)};
    r.date = "2026/12/01";
    r.printDate = false;
    r.deDate1 = "26";
    r.deDate2 = "12";
    r.deDate3 = "03";
    r.g1 = S("りんご　１０ｋｇ①");
    r.g2 = S("ﾜﾚﾓﾉ注意");
    r.timeBand[2] = true;
    r.special = {true, false, false, true, true};
    r.myZip = "530-0001";
    r.myAdd1 = S("大阪府大阪市北区梅田1-1");
    r.myName = S("ペリカン商店");
    r.myTel = "06-1111-2222";
    r.feedMode = S("連続(４インチ)");
    r.printer = "waybill";
    r.job = 42;
    r.form = "pelican";
    return r;
}

// One server for the whole program; each test gets a database of its own.
inline PgServer& server() {
    static PgServer s;
    return s;
}

inline std::string freshDatabase() {
    static int n = 0;
    std::string conninfo = server().createDatabase("t" + std::to_string(++n));
    store::PgDb admin(conninfo);
    store::initPgSchema(admin);
    return conninfo;
}

struct Outbox : ::testing::Test {
    ScratchFolder dir;
    std::string conninfo = freshDatabase();
    std::string file = dir.file("station.db");

    std::int64_t serverRows() { return store::PgDb(conninfo).exec("SELECT count(DISTINCT uid) FROM history").integer(0, 0); }
};

// A store the same cases run on, made fresh for each test.
struct Backend {
    const char* name;
    std::function<std::unique_ptr<store::HistoryBackend>(ScratchFolder&)> make;
};
inline const Backend kSqliteBackend{
    "sqlite", [](ScratchFolder& dir) { return std::make_unique<store::HistoryStore>(dir.file("h.db")); }};
inline const Backend kPostgresBackend{
    "postgres", [](ScratchFolder&) { return std::make_unique<store::PgHistoryStore>(freshDatabase()); }};
