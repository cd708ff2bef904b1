// The history and address book on real SQLite files in scratch folders:
// round trip, search, completion, damaged and newer files, failed writes,
// and a writer killed at random moments.
#include <gtest/gtest.h>
#include <signal.h>  // NOLINT(modernize-deprecated-headers): kill() is POSIX
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "history/gram_tokenizer.h"
#include "history/history_file.h"
#include "history/history_schema.h"
#include "history/history_store.h"
#include "history/sqlite_db.h"
#include "tests/support/scratch_folder.h"
#include "text/sjis_convert.h"

using store::CompleteBy;
using store::Consignee;
using store::HistoryQuery;
using store::HistoryStore;
using store::WaybillRecord;

namespace {

std::string S(const char* utf8) { return *sjis::fromUtf8(utf8); }

WaybillRecord waybill(const char* name, const char* tel, const char* add1, const char* time = "2026-12-01 10:00:00") {
    WaybillRecord r;
    r.time = time;
    r.consignee = {S("100-0005"), S(add1), S("丸の内ビル３階"), S(name), S(tel)};
    r.date = "2026/12/01";
    r.printDate = false;
    r.deDate1 = "26";
    r.deDate2 = "12";
    r.deDate3 = "03";
    r.g1 = S("りんご　１０ｋｇ");
    r.g2 = S("ﾜﾚﾓﾉ注意");
    r.timeBand[2] = true;
    r.special = {true, false, false, true, true};
    r.printSender = true;
    r.myZip = "530-0001";
    r.myAdd1 = S("大阪府大阪市北区梅田1-1");
    r.myName = S("ペリカン商店");
    r.myTel = "06-1111-2222";
    r.feedMode = S("連続(４インチ)");
    r.printer = "waybill";
    r.job = 42;
    return r;
}

struct HistoryFixture : ::testing::Test {
    ScratchFolder dir;
    std::string path = dir.file(store::kHistoryFileName);

    std::vector<std::string> names(HistoryStore& h, const HistoryQuery& q) {
        std::vector<std::string> out;
        for (const auto& r : h.list(q)) out.push_back(sjis::toUtf8(r.consignee.name));
        return out;
    }
    // Rows in the file when both SQLite's check and the search index's own
    // check pass, else -1.
    std::int64_t integrity(const std::string& file) {
        try {
            store::SqliteDb db(file, store::SqliteDb::Mode::ReadWriteCreate);
            store::registerGramTokenizer(db);
            store::SqliteStatement check(db, "PRAGMA integrity_check");
            if (!check.step() || check.text(0) != "ok") return -1;
            db.exec("INSERT INTO history_search(history_search) VALUES ('integrity-check')");
            return db.queryInt("SELECT count(*) FROM history");
        } catch (const store::SqliteError&) {
            return -1;
        }
    }
    std::vector<std::string> brokenFiles() {
        std::vector<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(dir.path()))
            if (e.path().filename().string().rfind("vamu_Pelican.db.broken-", 0) == 0)
                out.push_back(e.path().filename().string());
        return out;
    }
};

}  // namespace

TEST_F(HistoryFixture, RecordsEveryPrintedFieldAndReadsItBackNewestFirst) {
    {
        HistoryStore h(path);
        EXPECT_EQ(h.takeNotice(), "");
        h.record(waybill("山田太郎", "03-1234-5678", "東京都千代田区丸の内1-1"));
        const std::vector<WaybillRecord> two = {waybill("佐藤花子", "06-9999-0000", "大阪府"),
                                                waybill("鈴木一郎", "011-222-3333", "北海道")};
        h.record(two);
    }
    HistoryStore h(path);  // reopened: the rows are on disk
    const auto rows = h.list({});
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(sjis::toUtf8(rows[0].consignee.name), "鈴木一郎");
    EXPECT_EQ(sjis::toUtf8(rows[2].consignee.name), "山田太郎");
    WaybillRecord want = waybill("山田太郎", "03-1234-5678", "東京都千代田区丸の内1-1");
    want.id = rows[2].id;
    want.uid = rows[2].uid;
    EXPECT_EQ(rows[2], want);
    EXPECT_GT(rows[0].id, rows[1].id);

    // An empty time is the time of recording.
    WaybillRecord now = waybill("今", "1", "x");
    now.time.clear();
    h.record(now);
    EXPECT_EQ(h.list({}).front().time.size(), 19u);
}

TEST_F(HistoryFixture, SearchFindsSubstringsOfTheSearchedFieldsAndForgetsRemovedRows) {
    HistoryStore h(path);
    h.record(waybill("山田太郎", "03-1234-5678", "東京都千代田区丸の内1-1", "2026-11-30 18:00:00"));
    h.record(waybill("ﾔﾏﾀﾞ ﾊﾅｺ", "０６－９９９９－００００", "大阪府大阪市", "2026-12-01 09:00:00"));
    h.record(waybill("Smith", "011-222-3333", "北海道札幌市", "2026-12-02 12:00:00"));
    const struct {
        const char* search;
        std::vector<std::string> want;
    } cases[] = {
        {"", {"Smith", "ﾔﾏﾀﾞ ﾊﾅｺ", "山田太郎"}},
        {"田", {"山田太郎"}},                          // one character: scanned row by row
        {"千代田区", {"山田太郎"}},                    // address, through the trigram index
        {"0312345678", {"山田太郎"}},                  // telephone without hyphens
        {"１２３４", {"山田太郎"}},                    // full-width digits
        {"06-9999", {"ﾔﾏﾀﾞ ﾊﾅｺ"}},                     // stored full-width, searched half-width
        {"ヤマダ", {"ﾔﾏﾀﾞ ﾊﾅｺ"}},                      // half-width katakana with a voiced mark
        {"SMITH", {"Smith"}},                          // Latin letters ignore case
        {"100-0005", {"Smith", "ﾔﾏﾀﾞ ﾊﾅｺ", "山田太郎"}},  // postal code
        {"1000005", {"Smith", "ﾔﾏﾀﾞ ﾊﾅｺ", "山田太郎"}},   // postal code without its hyphen
        {"１００００", {"Smith", "ﾔﾏﾀﾞ ﾊﾅｺ", "山田太郎"}},   // its start, full-width
        {"0699990000", {"ﾔﾏﾀﾞ ﾊﾅｺ"}},                  // stored full-width with hyphens
        {"011-2223333", {"Smith"}},                    // hyphens elsewhere than stored
        {"1-1", {"山田太郎"}},                          // a 番地 stays as typed
        {"りんご", {"Smith", "ﾔﾏﾀﾞ ﾊﾅｺ", "山田太郎"}},    // goods
        {"ペリカン", {}},                              // the sender is not searched
        {"郎03", {}},                                  // no match across two fields
        {"\"*) OR (", {}},                             // query syntax is plain text
    };
    for (const auto& c : cases) {
        HistoryQuery q;
        q.search = S(c.search);
        EXPECT_EQ(names(h, q), c.want) << c.search;
    }
    HistoryQuery range;
    range.fromDate = "2026-12-01";
    range.toDate = "2026-12-01";
    EXPECT_EQ(names(h, range), std::vector<std::string>{"ﾔﾏﾀﾞ ﾊﾅｺ"});
    range.toDate.clear();
    range.limit = 1;
    EXPECT_EQ(names(h, range), std::vector<std::string>{"Smith"});

    // A removed row leaves the list and the search index.
    const std::int64_t yamada = h.list({}).back().id;
    h.remove(std::span(&yamada, 1));
    HistoryQuery q;
    q.search = S("千代田");
    EXPECT_TRUE(h.list(q).empty());
    EXPECT_EQ(h.list({}).size(), 2u);
    EXPECT_EQ(integrity(path), 2);
}

TEST_F(HistoryFixture, CompletionOffersTheAddressBookThenTheHistoryOncePerConsignee) {
    HistoryStore h(path);
    h.record(waybill("山田太郎", "03-1234-5678", "東京都千代田区"));
    h.record(waybill("山田太郎", "03-1234-5678", "東京都千代田区"));  // a repeat customer
    h.record(waybill("山本次郎", "03-1299-0000", "東京都港区"));
    h.keepConsignee({S("150-0001"), S("東京都渋谷区"), "", S("山田商店"), S("０３－１２００－１１１１")});
    // Kept again under the same name and number: replaced, not added.
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
    EXPECT_EQ(offered(CompleteBy::Telephone, "(03)1200"), (V{"山田商店"}));
    EXPECT_EQ(offered(CompleteBy::Telephone, "-"), V{});
    EXPECT_EQ(offered(CompleteBy::Name, "山田"), (V{"山田商店", "山田太郎"}));
    EXPECT_EQ(offered(CompleteBy::Name, "田"), V{});
    EXPECT_EQ(h.complete(CompleteBy::Name, S("山田太"))[0], waybill("山田太郎", "03-1234-5678", "東京都千代田区").consignee);
}

// Only a file of ours that is damaged is made anew; anything else named as
// the history is refused and left exactly as it was, by a writer and by a
// listing alike.
TEST_F(HistoryFixture, OnlyOurDamagedFilesAreRebuiltAndAnythingElseIsRefusedUntouched) {
    {
        HistoryStore h(dir.file("full.db"));
        std::vector<WaybillRecord> many(400, waybill("山田太郎", "03-1234-5678", "東京都千代田区丸の内1-1"));
        h.record(many);
    }
    const std::string full = slurp(dir.file("full.db"));
    enum class Outcome { Refused, EmptyStore, MovedAside };
    const struct {
        const char* what;
        std::function<void()> make;
        Outcome outcome;
    } cases[] = {
        {"notes", [&] { spit(path, "買い物メモ\n牛乳\n"); }, Outcome::Refused},
        {"garbage", [&] { spit(path, std::string(5000, 'x')); }, Outcome::Refused},
        {"a pdf", [&] { spit(path, "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n1 0 obj\n"); }, Outcome::Refused},
        {"a directory", [&] { std::filesystem::create_directory(path); }, Outcome::Refused},
        {"zero length", [&] { spit(path, ""); }, Outcome::EmptyStore},
        {"ours, truncated", [&] { spit(path, full.substr(0, full.size() / 2)); }, Outcome::MovedAside},
        {"ours, header only", [&] { spit(path, full.substr(0, 100)); }, Outcome::MovedAside},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto& b : brokenFiles()) std::filesystem::remove_all(dir.file(b));
        std::filesystem::remove_all(path);
        c.make();
        const bool wasDirectory = std::filesystem::is_directory(path);
        const std::string before = wasDirectory ? "" : slurp(path);
        const auto entries = [&] {
            return std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator());
        };
        const auto filesBefore = entries();
        // A listing never makes, moves or mends anything.
        try {
            HistoryStore reader(path, HistoryStore::Access::ReadOnly);
            (void)reader.list({});
            EXPECT_NE(c.outcome, Outcome::Refused);
        } catch (const store::NotHistoryDatabase& e) {
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        } catch (const std::runtime_error&) {
            EXPECT_EQ(c.outcome, Outcome::MovedAside);  // nothing readable
        }
        EXPECT_EQ(entries(), filesBefore);
        if (!wasDirectory) {
            EXPECT_EQ(slurp(path), before);
        }
        if (c.outcome == Outcome::Refused) {
            EXPECT_THROW(HistoryStore{path}, store::NotHistoryDatabase);
            EXPECT_EQ(std::filesystem::is_directory(path), wasDirectory);
            if (!wasDirectory) {
                EXPECT_EQ(slurp(path), before);
            }
            EXPECT_EQ(entries(), filesBefore);
            continue;
        }
        HistoryStore h(path);
        // A truncated file may show its damage only when the rows are read.
        const std::size_t rows = h.list({}).size();
        const std::string notice = h.takeNotice();
        const auto moved = brokenFiles();
        if (c.outcome == Outcome::EmptyStore) {
            EXPECT_TRUE(moved.empty());
            EXPECT_EQ(notice, "");
            EXPECT_EQ(rows, 0u);
        } else {
            ASSERT_EQ(moved.size(), 1u);
            EXPECT_NE(notice.find(moved[0]), std::string::npos) << notice;
            EXPECT_EQ(slurp(dir.file(moved[0])), before);  // nothing lost
        }
        EXPECT_EQ(h.takeNotice(), "");  // once
        h.record(waybill("新", "1", "x"));
        EXPECT_EQ(h.list({}).size(), rows + 1);
    }
}

// One zeroed page of the table costs only the rows on it: a listing shows
// the others and leaves the file alone; a writer copies them, the outbox
// first, into a new file, keeps the damaged one aside and says how many
// rows could not be read.
TEST_F(HistoryFixture, ADamagedTablePageCostsOnlyTheRowsOnIt) {
    constexpr int kRows = 2000;
    {
        HistoryStore h(path);
        std::vector<WaybillRecord> rows;
        for (int i = 0; i < kRows; ++i) {
            WaybillRecord r = waybill("山田太郎", "03-1234-5678", "東京都千代田区丸の内1-1");
            r.g3 = "goods-" + std::to_string(100000 + i);  // found in the file only on the row's own page
            rows.push_back(r);
        }
        h.record(std::span(rows).first(kRows / 2));
        h.recordUnsent(std::span(rows).subspan(kRows / 2, 100));  // waiting for a shared server
        h.record(std::span(rows).subspan(kRows / 2 + 100));
    }
    std::int64_t pageSize = 0;
    {
        store::SqliteDb db(path, store::SqliteDb::Mode::ReadOnly);
        pageSize = db.queryInt("PRAGMA page_size");
    }
    std::string bytes = slurp(path);
    // The page of an unsent row: its rows and the outbox's link to them go.
    const std::size_t at = bytes.find("goods-" + std::to_string(100000 + kRows / 2 + 50));
    ASSERT_NE(at, std::string::npos);
    const auto page = at / static_cast<std::size_t>(pageSize);
    ASSERT_GT(page, 1u);
    std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(page * static_cast<std::size_t>(pageSize)), pageSize, '\0');
    spit(path, bytes);
    HistoryQuery all;
    all.limit = -1;

    std::size_t shown = 0;
    {
        HistoryStore reader(path, HistoryStore::Access::ReadOnly);
        shown = reader.list(all).size();
        const std::string notice = reader.takeNotice();
        EXPECT_NE(notice.find("読めなかった記録は " + std::to_string(kRows - shown) + " 件"), std::string::npos) << notice;
    }
    EXPECT_GT(shown, static_cast<std::size_t>(kRows - 30));
    EXPECT_LT(shown, static_cast<std::size_t>(kRows));
    EXPECT_EQ(slurp(path), bytes);
    EXPECT_TRUE(brokenFiles().empty());

    HistoryStore h(path);
    EXPECT_EQ(h.list(all).size(), shown);
    const std::string notice = h.takeNotice();
    const std::size_t lost = kRows - shown;
    EXPECT_NE(notice.find("読めなかった記録は " + std::to_string(lost) + " 件"), std::string::npos) << notice;
    EXPECT_NE(notice.find("未送信"), std::string::npos) << notice;
    ASSERT_EQ(brokenFiles().size(), 1u);
    EXPECT_EQ(slurp(dir.file(brokenFiles()[0])), bytes);
    // Every unsent row that could be read still waits to be sent.
    const std::int64_t unsent = h.unsentCount();
    EXPECT_LT(unsent, 100);
    EXPECT_GE(unsent, 100 - static_cast<std::int64_t>(lost));
    for (const WaybillRecord& r : h.unsent(-1)) EXPECT_GE(r.g3, "goods-" + std::to_string(100000 + kRows / 2));
    h.record(waybill("新", "1", "x"));
    EXPECT_EQ(integrity(path), static_cast<std::int64_t>(shown) + 1);
}

// In a folder others can write to, a link named like the history or one of
// its journal files is refused, and so is a file of another user; the
// file linked to is left as it was. In the user's own folder a link is
// followed, as for the settings file.
TEST_F(HistoryFixture, LinksAndOtherUsersFilesInASharedFolderAreRefused) {
    ScratchFolder mine;
    const std::string victim = mine.file("victim.db");
    { HistoryStore(victim).record(waybill("山田太郎", "03-1234-5678", "東京都")); }
    const std::string victimBytes = slurp(victim);
    ASSERT_EQ(::chmod(dir.path().c_str(), 01777), 0);
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        SCOPED_TRACE(suffix);
        std::filesystem::remove(path);
        if (*suffix != '\0') { HistoryStore made(path); }
        std::filesystem::create_symlink(victim, path + suffix);
        EXPECT_THROW(HistoryStore{path}, store::HistoryFileRefused);
        EXPECT_THROW(HistoryStore(path, HistoryStore::Access::ReadOnly), store::HistoryFileRefused);
        EXPECT_EQ(slurp(victim), victimBytes);
        std::filesystem::remove(path + suffix);
    }
    // In a folder of the user's own the same link is the user's choice.
    std::filesystem::create_symlink(victim, mine.file("link.db"));
    EXPECT_EQ(HistoryStore(mine.file("link.db")).list({}).size(), 1u);

    if (::geteuid() != 0) GTEST_SKIP() << "a file of another user needs root to be made";
    std::filesystem::remove(path);
    { HistoryStore made(path); }
    for (const char* suffix : {"", "-wal"}) {
        SCOPED_TRACE(suffix);
        if (*suffix != '\0') spit(path + suffix, "");
        ASSERT_EQ(::chown((path + suffix).c_str(), 65534, 65534), 0);  // nobody
        try {
            HistoryStore h(path);
            ADD_FAILURE() << "opened";
        } catch (const store::HistoryFileRefused& e) {
            EXPECT_NE(std::string(e.what()).find("ほかのユーザー"), std::string::npos) << e.what();
        }
        ASSERT_EQ(::chown(path.c_str(), 0, 0), 0);
    }
}

// Random bytes over the first page of an index (the search index's own
// tables, an ordinary index): the rows still read, so the store is made
// anew from them; the search finds them and the address book is kept.
TEST_F(HistoryFixture, ADamagedIndexIsRebuiltFromTheRows) {
    for (const char* index : {"history_search_data", "history_search_idx", "history_by_name"}) {
        SCOPED_TRACE(index);
        std::filesystem::remove(path);
        {
            HistoryStore h(path);
            std::vector<WaybillRecord> many(300, waybill("佐藤花子", "06-1111-2222", "大阪府大阪市北区梅田1-1"));
            many.push_back(waybill("山田太郎", "03-1234-5678", "東京都千代田区丸の内1-1"));
            many.back().orderNo = "#1001";
            many.back().tracking = "123456789013";
            h.recordUnsent(many);  // waiting for a shared server
            h.keepConsignee(waybill("山田太郎", "03-1234-5678", "東京都").consignee);
        }
        std::int64_t page = 0, pageSize = 0;
        {
            store::SqliteDb db(path, store::SqliteDb::Mode::ReadOnly);
            pageSize = db.queryInt("PRAGMA page_size");
            page = db.queryInt((std::string("SELECT rootpage FROM sqlite_schema WHERE name = '") + index + "'").c_str());
        }
        ASSERT_GT(page, 1);
        std::string bytes = slurp(path);
        std::mt19937 random(7);
        for (std::size_t i = 0; i < 64; ++i)
            bytes[static_cast<std::size_t>((page - 1) * pageSize) + i] = static_cast<char>(random());
        spit(path, bytes);

        HistoryStore h(path);
        HistoryQuery q;
        q.search = S("山田");
        EXPECT_EQ(names(h, q), std::vector<std::string>{"山田太郎"});
        EXPECT_EQ(h.complete(CompleteBy::Name, S("山")).size(), 2u);  // the book's and the history's
        EXPECT_NE(h.takeNotice().find("作り直しました"), std::string::npos);
        HistoryQuery all;
        all.limit = -1;
        EXPECT_EQ(h.list(all).size(), 301u);
        q.search = S("123456789013");  // found by its tracking number too
        EXPECT_EQ(names(h, q), std::vector<std::string>{"山田太郎"});
        EXPECT_EQ(h.list(all).front().orderNo, "#1001");
        EXPECT_EQ(h.unsentCount(), 301);  // still waiting, none lost
        EXPECT_EQ(h.addressBook().size(), 1u);
        EXPECT_TRUE(brokenFiles().empty());
        h.record(waybill("新", "1", "x"));
        EXPECT_EQ(integrity(path), 302);
    }
}

TEST_F(HistoryFixture, ANewerFileOpensReadOnly) {
    {
        HistoryStore h(path);
        h.record(waybill("山田太郎", "03-1234-5678", "東京都"));
        store::SqliteDb db(path, store::SqliteDb::Mode::ReadWriteCreate);
        db.exec("PRAGMA user_version = 99");
    }
    HistoryStore h(path);
    EXPECT_TRUE(h.readOnly());
    EXPECT_NE(h.takeNotice().find("読み取り専用"), std::string::npos);
    EXPECT_EQ(h.list({}).size(), 1u);
    EXPECT_THROW(h.record(waybill("x", "1", "y")), store::SqliteError);
    EXPECT_TRUE(brokenFiles().empty());
}

TEST_F(HistoryFixture, AWriteThatCannotHappenThrowsAndRecordsNothing) {
    HistoryStore h(path);
    h.record(waybill("山田太郎", "03-1234-5678", "東京都"));
    {
        // Another program holds the write lock.
        store::SqliteDb other(path, store::SqliteDb::Mode::ReadWriteCreate);
        other.exec("BEGIN EXCLUSIVE");
        const auto start = std::chrono::steady_clock::now();
        EXPECT_THROW(h.record(waybill("x", "1", "y")), store::SqliteError);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    }
    EXPECT_EQ(h.list({}).size(), 1u);
    h.record(waybill("x", "1", "y"));  // and works again once the lock is gone
    EXPECT_EQ(h.list({}).size(), 2u);

    // A folder where no file can be made.
    ScratchFolder ro;
    if (ro.mountTmpfs("1m") && ro.remountReadOnly()) {
        EXPECT_ANY_THROW(HistoryStore(ro.file(store::kHistoryFileName)));
    }
}

TEST_F(HistoryFixture, AWriterKilledAtAnyMomentLeavesWholeTransactions) {
    constexpr int kBatch = 5;
    std::mt19937 random(13);
    std::int64_t last = 0;
    { HistoryStore made(path); }
    for (int round = 0; round < 8; ++round) {
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            try {
                HistoryStore h(path);
                const std::vector<WaybillRecord> batch(kBatch, waybill("山田太郎", "03-1234-5678", "東京都千代田区"));
                h.record(batch);
                (void)!::write(ready[1], "r", 1);  // writing from here on
                for (;;) h.record(batch);
            } catch (...) {
            }
            ::_exit(1);
        }
        // Killed at a random moment once the writer is under way.
        char byte = 0;
        ::close(ready[1]);
        ASSERT_EQ(::read(ready[0], &byte, 1), 1);
        ::close(ready[0]);
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 40000));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself";
        const std::int64_t rows = integrity(path);
        ASSERT_GE(rows, last) << "integrity check failed or rows were lost";
        EXPECT_EQ(rows % kBatch, 0) << "a transaction was cut";
        last = rows;
    }
    EXPECT_GT(last, 0);
    HistoryStore h(path);
    HistoryQuery q;
    q.search = S("千代田");
    q.limit = 1 << 30;
    EXPECT_EQ(static_cast<std::int64_t>(h.list(q).size()), last);  // the search index kept up
}

TEST_F(HistoryFixture, OrdersAndTrackingNumbersAreKeptSearchedAndCorrected) {
    HistoryStore h(path);
    WaybillRecord amazon = waybill("山田太郎", "03-1234-5678", "東京都", "2026-12-01 10:00:00");
    amazon.orderNo = "250-1234567-1234567";
    amazon.orderItems = "11111111111111:2 22222222222222:1";
    amazon.tracking = "123456789013";
    WaybillRecord unshipped = waybill("佐藤花子", "06-9999-0000", "大阪府", "2026-12-01 11:00:00");
    unshipped.orderNo = "#1001";
    h.record(amazon);
    h.record(unshipped);
    h.record(waybill("鈴木一郎", "011-222-3333", "北海道", "2026-12-01 12:00:00"));
    amazon.id = h.list({}).back().id;
    amazon.uid = h.list({}).back().uid;
    EXPECT_EQ(h.list({}).back(), amazon);

    auto found = [&](const HistoryQuery& q) { return names(h, q); };
    HistoryQuery byOrder, byTracking, byText, shipped;
    byOrder.orderNo = "#1001";
    byTracking.tracking = "123456789013";
    byText.search = S("1234567-1234567");
    shipped.shippedOnly = true;
    EXPECT_EQ(found(byOrder), std::vector<std::string>{"佐藤花子"});
    EXPECT_EQ(found(byTracking), std::vector<std::string>{"山田太郎"});
    EXPECT_EQ(found(byText), std::vector<std::string>{"山田太郎"});
    EXPECT_EQ(found(shipped), std::vector<std::string>{"山田太郎"});
    EXPECT_EQ(h.lastTracking(""), "");  // the newest print went onto unknown forms

    // Setting a number later: the row and the search index follow it.
    const std::int64_t sato = h.list(byOrder).front().id;
    h.setTracking(sato, "123456789024");
    byText.search = S("123456789024");
    EXPECT_EQ(found(byText), std::vector<std::string>{"佐藤花子"});
    EXPECT_EQ(found(shipped), (std::vector<std::string>{"佐藤花子", "山田太郎"}));
    h.setTracking(sato, "123456789035");
    EXPECT_TRUE(found(byText).empty());
    EXPECT_THROW(h.setTracking(sato, "1"), std::invalid_argument);
    EXPECT_THROW(h.setTracking(sato, "12345678903X"), std::invalid_argument);
    EXPECT_EQ(h.list(byOrder).front().tracking, "123456789035");
    WaybillRecord last = waybill("田中", "1", "x");
    last.tracking = "123456789046";
    h.record(last);
    EXPECT_EQ(h.lastTracking(""), "123456789046");
    const std::int64_t lastId = h.list({}).front().id;
    h.remove(std::span(&lastId, 1));
    h.setTracking(sato, "");
    EXPECT_EQ(found(shipped), std::vector<std::string>{"山田太郎"});
    EXPECT_EQ(integrity(path), 3);
}

// Files as earlier versions wrote them: each is made from a current file
// by undoing the later migrations.
const char kUndoForms[] = "ALTER TABLE history DROP COLUMN form;";
const char kUndoPlatforms[] = "ALTER TABLE history DROP COLUMN platform; ALTER TABLE history DROP COLUMN shipment;";
const char kUndoNumbers[] =
    "DROP TRIGGER history_numbers_ai; DROP TRIGGER history_numbers_au; DROP TRIGGER history_numbers_ad;"
    "DROP TABLE history_numbers;";
const char kUndoUids[] =
    "DROP TABLE outbox; DROP INDEX history_uid; ALTER TABLE history DROP COLUMN uid;";
const char kUndoOrders[] =
    "DROP TRIGGER history_au; DROP INDEX history_by_order; DROP INDEX history_by_tracking;"
    "ALTER TABLE history DROP COLUMN order_no; ALTER TABLE history DROP COLUMN order_items;"
    "ALTER TABLE history DROP COLUMN tracking;";

TEST_F(HistoryFixture, FilesOfEarlierVersionsGainOrdersRecordIdsAndTheOutbox) {
    for (const int version : {1, 2, 3, 4, 5}) {
        SCOPED_TRACE(version);
        std::filesystem::remove(path);
        {
            HistoryStore h(path);
            WaybillRecord first = waybill("山田太郎", "03-1234-5678", "東京都");
            first.orderNo = "#1001";
            h.record(first);
            h.record(waybill("佐藤花子", "06-9999-0000", "大阪府"));
        }
        {
            store::SqliteDb db(path, store::SqliteDb::Mode::ReadWriteCreate);
            store::registerGramTokenizer(db);
            db.exec(kUndoForms);
            if (version <= 4) db.exec(kUndoNumbers);
            if (version <= 3) db.exec(kUndoPlatforms);
            if (version <= 2) db.exec(kUndoUids);
            if (version == 1) db.exec(kUndoOrders);
            db.exec(("PRAGMA user_version = " + std::to_string(version)).c_str());
        }
        const std::string old = slurp(path);
        {
            // A listing reads an older file as it is, without bringing it
            // up to date on disk.
            HistoryStore reader(path, HistoryStore::Access::ReadOnly);
            EXPECT_EQ(reader.list({}).size(), 2U);
            EXPECT_EQ(reader.list({}).back().orderNo, version == 1 ? "" : "#1001");
            HistoryQuery byNumber;
            byNumber.search = S("5678");  // the old rows gain their number keys
            EXPECT_EQ(names(reader, byNumber), std::vector<std::string>{"山田太郎"});
        }
        EXPECT_EQ(slurp(path), old);
        HistoryStore h(path);
        EXPECT_FALSE(h.readOnly());
        const std::vector<WaybillRecord> rows = h.list({});
        ASSERT_EQ(rows.size(), 2U);
        // Order numbers survive from version 2; version 1 had none.
        EXPECT_EQ(rows[1].orderNo, version == 1 ? "" : "#1001");
        EXPECT_EQ(rows[0].tracking, "");
        // Every old row has its own record id, and none waits to be sent;
        // none knows its platform.
        EXPECT_EQ(rows[0].uid.size(), 32U);
        EXPECT_NE(rows[0].uid, rows[1].uid);
        EXPECT_EQ(h.unsentCount(), 0);
        EXPECT_EQ(rows[1].platform + rows[1].shipment, "");
        // Old rows were printed on the built-in form.
        EXPECT_EQ(rows[0].form + rows[1].form, "");
        h.setTracking(rows[1].id, "123456789013");
        HistoryQuery q;
        q.search = S("123456789013");
        EXPECT_EQ(names(h, q), std::vector<std::string>{"山田太郎"});
        WaybillRecord fresh = waybill("鈴木一郎", "011-222-3333", "北海道");
        fresh.platform = S("楽天ペイ");
        fresh.shipment = "11005";
        fresh.form = "yupack";
        h.recordUnsent(std::span(&fresh, 1));
        EXPECT_EQ(h.unsentCount(), 1);
        EXPECT_EQ(h.list({}).front().platform, S("楽天ペイ"));
        EXPECT_EQ(h.list({}).front().form, "yupack");
        EXPECT_EQ(h.list({}).front().shipment, "11005");
        EXPECT_EQ(integrity(path), 3);
    }
}
