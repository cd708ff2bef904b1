#include "history/history_store.h"

#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <utility>

#include "store/file_error.h"
#include "history/gram_tokenizer.h"
#include "history/history_file.h"
#include "history/history_salvage.h"
#include "history/history_schema.h"
#include "history/history_text.h"
#include "history/number_keys_sqlite.h"
#include "history/sqlite_db.h"
#include "text/sjis.h"
#include "text/sjis_convert.h"

namespace store {

namespace {

// Forward migrations: entry v takes a file of version v to version v + 1.
// Each runs in its own transaction together with the version change.
const char* const kMigrations[] = {
    // 0 -> 1: the history with its search index, and the address book.
    // `search` holds the folded text that substring search looks in; the
    // index (history/gram_tokenizer.h) refers to it instead of keeping a copy.
    R"sql(
CREATE TABLE history(
  id INTEGER PRIMARY KEY,
  printed_at TEXT NOT NULL,
  job INTEGER NOT NULL,
  printer TEXT NOT NULL,
  feed TEXT NOT NULL,
  zip TEXT NOT NULL, add1 TEXT NOT NULL, add2 TEXT NOT NULL,
  name TEXT NOT NULL, tel TEXT NOT NULL, tel_key TEXT NOT NULL,
  ship_date TEXT NOT NULL, print_date INTEGER NOT NULL,
  de1 TEXT NOT NULL, de2 TEXT NOT NULL, de3 TEXT NOT NULL,
  g1 TEXT NOT NULL, g2 TEXT NOT NULL, g3 TEXT NOT NULL,
  time_band INTEGER NOT NULL, special INTEGER NOT NULL,
  print_sender INTEGER NOT NULL,
  my_zip TEXT NOT NULL, my_add1 TEXT NOT NULL, my_add2 TEXT NOT NULL,
  my_name TEXT NOT NULL, my_tel TEXT NOT NULL,
  search TEXT NOT NULL);
CREATE INDEX history_time ON history(printed_at);
CREATE INDEX history_by_tel ON history(tel_key, name, zip, add1, add2, tel);
CREATE INDEX history_by_name ON history(name, tel_key, zip, add1, add2, tel);
CREATE VIRTUAL TABLE history_search USING fts5(search, content='history', content_rowid='id',
  tokenize='vp_grams');
CREATE TRIGGER history_ai AFTER INSERT ON history BEGIN
  INSERT INTO history_search(rowid, search) VALUES (new.id, new.search);
END;
CREATE TRIGGER history_ad AFTER DELETE ON history BEGIN
  INSERT INTO history_search(history_search, rowid, search) VALUES ('delete', old.id, old.search);
END;
CREATE TABLE address_book(
  id INTEGER PRIMARY KEY,
  name TEXT NOT NULL, tel TEXT NOT NULL, tel_key TEXT NOT NULL,
  zip TEXT NOT NULL, add1 TEXT NOT NULL, add2 TEXT NOT NULL,
  updated_at TEXT NOT NULL,
  UNIQUE(name, tel_key));
CREATE INDEX address_book_by_tel ON address_book(tel_key);
)sql",
    // 1 -> 2: the order a waybill came from and the form it went onto.
    // Rows printed before have neither. Search text changes when a
    // tracking number is set later; the trigger keeps the index with it.
    R"sql(
ALTER TABLE history ADD COLUMN order_no TEXT NOT NULL DEFAULT '';
ALTER TABLE history ADD COLUMN order_items TEXT NOT NULL DEFAULT '';
ALTER TABLE history ADD COLUMN tracking TEXT NOT NULL DEFAULT '';
CREATE INDEX history_by_order ON history(order_no) WHERE order_no <> '';
CREATE INDEX history_by_tracking ON history(tracking) WHERE tracking <> '';
CREATE TRIGGER history_au AFTER UPDATE OF search ON history BEGIN
  INSERT INTO history_search(history_search, rowid, search) VALUES ('delete', old.id, old.search);
  INSERT INTO history_search(rowid, search) VALUES (new.id, new.search);
END;
)sql",
    // 2 -> 3: every row gets the id it is known by on a shared server, and
    // the outbox lists the rows not yet sent there, oldest first.
    R"sql(
ALTER TABLE history ADD COLUMN uid TEXT NOT NULL DEFAULT '';
UPDATE history SET uid = lower(hex(randomblob(16)));
CREATE UNIQUE INDEX history_uid ON history(uid);
CREATE TABLE outbox(history_id INTEGER PRIMARY KEY REFERENCES history(id) ON DELETE CASCADE);
)sql",
    // 3 -> 4: the platform an order came from and its parcel id there, for
    // the shipping file each platform reads. Rows printed before have none.
    R"sql(
ALTER TABLE history ADD COLUMN platform TEXT NOT NULL DEFAULT '';
ALTER TABLE history ADD COLUMN shipment TEXT NOT NULL DEFAULT '';
)sql",
    // 4 -> 5: numbers (postal codes, telephone, order and tracking numbers)
    // are searched as digits through an index of their own: the trigrams
    // of digits ("100", "000") are in nearly every row. The triggers keep
    // the keys (history/number_keys_sqlite.h) with the row.
    R"sql(
CREATE TABLE IF NOT EXISTS history_numbers(key TEXT NOT NULL, id INTEGER NOT NULL, PRIMARY KEY(key, id))
  WITHOUT ROWID;
CREATE INDEX IF NOT EXISTS history_numbers_id ON history_numbers(id);
INSERT OR IGNORE INTO history_numbers(key, id)
  SELECT k.value, h.id FROM history h, json_each(vp_number_keys(h.zip, h.tel, h.tracking, h.order_no)) k;
CREATE TRIGGER IF NOT EXISTS history_numbers_ai AFTER INSERT ON history BEGIN
  INSERT OR IGNORE INTO history_numbers(key, id)
    SELECT value, new.id FROM json_each(vp_number_keys(new.zip, new.tel, new.tracking, new.order_no));
END;
CREATE TRIGGER IF NOT EXISTS history_numbers_au AFTER UPDATE OF zip, tel, tracking, order_no ON history BEGIN
  DELETE FROM history_numbers WHERE id = old.id;
  INSERT OR IGNORE INTO history_numbers(key, id)
    SELECT value, new.id FROM json_each(vp_number_keys(new.zip, new.tel, new.tracking, new.order_no));
END;
CREATE TRIGGER IF NOT EXISTS history_numbers_ad AFTER DELETE ON history BEGIN
  DELETE FROM history_numbers WHERE id = old.id;
END;
)sql",
    // 5 -> 6: the form each waybill was printed on (its id), which names
    // the carrier its tracking number belongs to. Rows printed before were
    // all on the built-in form and keep it empty.
    R"sql(
ALTER TABLE history ADD COLUMN form TEXT NOT NULL DEFAULT '';
)sql",
};
static_assert(std::size(kMigrations) == kHistorySchemaVersion);

// Columns of a history row in the order bindRecord() and readRecord() use.
constexpr const char kColumns[] =
    "printed_at, job, printer, feed, zip, add1, add2, name, tel, tel_key, ship_date, print_date, "
    "de1, de2, de3, g1, g2, g3, time_band, special, print_sender, my_zip, my_add1, my_add2, "
    "my_name, my_tel, search, order_no, order_items, tracking, uid, platform, shipment, form";

// How long a write waits for another connection's lock before it gives up:
// long enough for a reader's checkpoint, short enough not to hold up the
// window after a print.
constexpr int kBusyTimeoutMs = 250;

// The tokenizer and the function the search index and its triggers need.
void registerSearch(SqliteDb& db) {
    registerGramTokenizer(db);
    registerNumberKeys(db);
}

std::string utf8(std::string_view sjisText) { return sjis::toUtf8(sjisText); }
std::string sjisOf(const std::string& utf8Text) { return sjis::fromUtf8Lossy(utf8Text); }

template <std::size_t N>
std::int64_t bits(const std::array<bool, N>& boxes) {
    std::int64_t v = 0;
    for (std::size_t i = 0; i < N; ++i)
        if (boxes[i]) v |= std::int64_t{1} << i;
    return v;
}

template <std::size_t N>
std::array<bool, N> boxesOf(std::int64_t v) {
    std::array<bool, N> boxes{};
    for (std::size_t i = 0; i < N; ++i) boxes[i] = ((v >> i) & 1) != 0;
    return boxes;
}

}  // namespace

std::string searchText(const WaybillRecord& r) {
    const Consignee& c = r.consignee;
    std::string all;
    for (const std::string* f :
         {&c.name, &c.tel, &c.zip, &c.add1, &c.add2, &r.g1, &r.g2, &r.g3, &r.orderNo, &r.tracking}) {
        all += searchFold(utf8(*f));
        all += '\x1f';
    }
    all += telKey(c.tel);
    return all;
}

namespace {

void bindRecord(SqliteStatement& st, const WaybillRecord& r, std::string_view uid) {
    const Consignee& c = r.consignee;
    int i = 0;
    auto text = [&](std::string_view v) { st.bind(++i, v); };
    auto sjisText = [&](const std::string& v) { st.bind(++i, utf8(v)); };
    auto number = [&](std::int64_t v) { st.bind(++i, v); };
    text(r.time.empty() ? localTimestamp() : r.time);
    number(r.job);
    sjisText(r.printer);
    sjisText(r.feedMode);
    for (const std::string* f : {&c.zip, &c.add1, &c.add2, &c.name, &c.tel}) sjisText(*f);
    text(telKey(c.tel));
    sjisText(r.date);
    number(r.printDate);
    for (const std::string* f : {&r.deDate1, &r.deDate2, &r.deDate3, &r.g1, &r.g2, &r.g3}) sjisText(*f);
    number(bits(r.timeBand));
    number(bits(r.special));
    number(r.printSender);
    for (const std::string* f : {&r.myZip, &r.myAdd1, &r.myAdd2, &r.myName, &r.myTel}) sjisText(*f);
    text(searchText(r));
    for (const std::string* f : {&r.orderNo, &r.orderItems, &r.tracking}) sjisText(*f);
    text(uid);
    sjisText(r.platform);
    sjisText(r.shipment);
    text(r.form);
}

// Reads a row selected as "id, <kColumns>".
WaybillRecord readRecord(const SqliteStatement& st) {
    WaybillRecord r;
    Consignee& c = r.consignee;
    int i = 0;
    r.id = st.integer(i++);
    r.time = st.text(i++);
    r.job = st.integer(i++);
    r.printer = sjisOf(st.text(i++));
    r.feedMode = sjisOf(st.text(i++));
    c.zip = sjisOf(st.text(i++));
    c.add1 = sjisOf(st.text(i++));
    c.add2 = sjisOf(st.text(i++));
    c.name = sjisOf(st.text(i++));
    c.tel = sjisOf(st.text(i++));
    ++i;  // tel_key
    r.date = sjisOf(st.text(i++));
    r.printDate = st.integer(i++) != 0;
    r.deDate1 = sjisOf(st.text(i++));
    r.deDate2 = sjisOf(st.text(i++));
    r.deDate3 = sjisOf(st.text(i++));
    r.g1 = sjisOf(st.text(i++));
    r.g2 = sjisOf(st.text(i++));
    r.g3 = sjisOf(st.text(i++));
    r.timeBand = boxesOf<6>(st.integer(i++));
    r.special = boxesOf<5>(st.integer(i++));
    r.printSender = st.integer(i++) != 0;
    r.myZip = sjisOf(st.text(i++));
    r.myAdd1 = sjisOf(st.text(i++));
    r.myAdd2 = sjisOf(st.text(i++));
    r.myName = sjisOf(st.text(i++));
    r.myTel = sjisOf(st.text(i++));
    ++i;  // search
    r.orderNo = sjisOf(st.text(i++));
    r.orderItems = sjisOf(st.text(i++));
    r.tracking = sjisOf(st.text(i++));
    r.uid = st.text(i++);
    r.platform = sjisOf(st.text(i++));
    r.shipment = sjisOf(st.text(i++));
    r.form = st.text(i);
    return r;
}

// Every row a statement selected as "id, <kColumns>".
std::vector<WaybillRecord> readRecords(SqliteStatement& st) {
    std::vector<WaybillRecord> rows;
    while (st.step()) rows.push_back(readRecord(st));
    return rows;
}

// Reading through a memory map spares a copy of every page: search of
// short texts reads the whole table.
const char* mmapPragma(bool mapped) { return mapped ? "PRAGMA mmap_size = 268435456" : "PRAGMA mmap_size = 0"; }

std::string fileName(const std::string& path) { return std::filesystem::path(path).filename().string(); }

void removeWithJournal(const std::string& path) {
    for (const char* suffix : {"", "-journal"}) ::unlink((path + suffix).c_str());
}

// Runs the migrations from version `from` to `to`, each in its own
// transaction.
void migrate(SqliteDb& db, std::int64_t from, std::int64_t to = kHistorySchemaVersion) {
    for (auto v = from; v < to; ++v) {
        SqliteTransaction t(db);
        db.exec(kMigrations[v]);
        db.exec(("PRAGMA user_version = " + std::to_string(v + 1)).c_str());
        t.commit();
    }
}

void attachReadOnly(SqliteDb& db, const std::string& path) {
    SqliteStatement attach(db, "ATTACH DATABASE ?1 AS damaged");
    attach.bind(1, historyUri(path, true, !hasJournalFiles(path))).run();
}

// Fills `db` (opened with URIs, holding nothing) with the current schema
// and every row that can be read of the damaged history at `path`, which
// is only read. Nothing when not even the table's structure can be read, or
// the file is of another schema version (its columns differ).
std::optional<SalvageCount> salvageInto(SqliteDb& db, const std::string& path) {
    registerSearch(db);
    try {
        migrate(db, 0);
        attachReadOnly(db, path);
        if (db.queryInt("PRAGMA damaged.user_version") != kHistorySchemaVersion) return std::nullopt;
        return salvageRows(db);
    } catch (const SqliteError& e) {
        if (e.corrupt()) return std::nullopt;
        throw;
    }
}

std::unique_ptr<SqliteDb> memoryStore() {
    auto db = std::make_unique<SqliteDb>(":memory:", SqliteDb::Mode::ReadWriteCreate, SqliteDb::Uri);
    registerSearch(*db);
    return db;
}

std::string lostText(const SalvageCount& saved) {
    std::string text = "読めなかった記録は " + std::to_string(saved.lost) + " 件です";
    if (saved.lostUnsent > 0)
        text += "（うち共有データベースに未送信のもの " + std::to_string(saved.lostUnsent) + " 件）";
    return text;
}

}  // namespace

std::string localTimestamp(std::chrono::seconds offset) {
    const std::time_t now = std::time(nullptr) + static_cast<std::time_t>(offset.count());
    std::tm tm{};
    ::localtime_r(&now, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
    return buf;
}

HistoryStore::HistoryStore(std::string path, Access access) : path_(std::move(path)), access_(access) { open(); }

HistoryStore::~HistoryStore() = default;

std::string HistoryStore::takeNotice() { return std::exchange(notice_, {}); }

void HistoryStore::open() {
    const bool writing = access_ == Access::ReadWrite;
    const HistoryFileKind kind = inspectHistoryFile(path_, writing);
    if (!writing) {
        openForReading(kind);
        return;
    }
    try {
        connect();
    } catch (const SqliteError& e) {
        if (!e.corrupt()) throw;
        requireOurs();
        recoverDamaged();
    }
}

void HistoryStore::requireOurs() const {
    // Damage that hides the schema: the version in the header tells a file
    // this program wrote from another program's, which is never touched.
    const int version = headerSchemaVersion(path_);
    if (version < 1 || version > kHistorySchemaVersion) throw NotHistoryDatabase(path_);
}

void HistoryStore::openForReading(HistoryFileKind kind) {
    readOnly_ = true;
    if (kind != HistoryFileKind::Sqlite) {  // nothing there, or nothing in it: no rows
        db_ = memoryStore();
        migrate(*db_, 0);
        return;
    }
    const unsigned links = historyLinksTrusted(path_) ? 0U : unsigned{SqliteDb::NoFollow};
    try {
        // Without journal files no other program has the file open: read as
        // immutable, nothing is made beside it.
        db_ = std::make_unique<SqliteDb>(historyUri(path_, true, !hasJournalFiles(path_)), SqliteDb::Mode::ReadOnly,
                                         SqliteDb::Uri | links);
        registerSearch(*db_);
        db_->exec(("PRAGMA busy_timeout = " + std::to_string(kBusyTimeoutMs)).c_str());
        requireSchema();
        const std::int64_t version = db_->queryInt("PRAGMA user_version");
        if (version > kHistorySchemaVersion) {
            notice_ = "履歴ファイル " + fileName(path_) + " はこのプログラムより新しい版で作られています";
        } else if (version < kHistorySchemaVersion) {
            // An older file is brought up to date in memory, as it would be
            // on disk by the next print.
            db_ = memoryStore();
            attachReadOnly(*db_, path_);
            migrate(*db_, 0, version);
            {
                SqliteTransaction t(*db_);
                db_->exec("INSERT INTO main.history SELECT * FROM damaged.history");
                db_->exec("INSERT INTO main.address_book SELECT * FROM damaged.address_book");
                t.commit();
            }
            db_->exec("DETACH DATABASE damaged");
            migrate(*db_, version);
        }
    } catch (const SqliteError& e) {
        if (!e.corrupt()) throw;
        requireOurs();
        salvageForReading();
    }
}

void HistoryStore::salvageForReading() {
    db_ = memoryStore();
    const auto saved = salvageInto(*db_, path_);
    if (!saved)
        throw std::runtime_error("履歴ファイル " + fileName(path_) + " は壊れていて読めません（ファイルはそのままです）");
    if (saved->lost > 0)
        notice_ = "履歴ファイル " + fileName(path_) + " は壊れています。読めた記録 " + std::to_string(saved->kept) +
                  " 件を示します。" + lostText(*saved) + "。ファイルはそのままです";
}

void HistoryStore::recoverDamaged() {
    db_.reset();
    if (access_ == Access::ReadOnly) {
        salvageForReading();
        return;
    }
    // The rows that can be read go to a new file beside the damaged one,
    // which is only read; the new file then takes its place in one step.
    const std::string fresh = path_ + ".rebuild-" + std::to_string(::getpid());
    removeWithJournal(fresh);
    std::optional<SalvageCount> saved;
    try {
        SqliteDb db(historyUri(fresh, false), SqliteDb::Mode::ReadWriteCreate, SqliteDb::Uri | SqliteDb::NoFollow);
        saved = salvageInto(db, path_);
        if (saved) db.exec("DETACH DATABASE damaged");
    } catch (...) {
        removeWithJournal(fresh);
        throw;
    }
    if (!saved) {
        // The rows are lost to this program: the file is kept aside whole.
        removeWithJournal(fresh);
        moveAside();
        connect();
        return;
    }
    // Kept aside: a file with rows that could not be read, and one whose
    // journal files show another program still has it open (they belong to
    // it, and are never replayed into the new file).
    std::string kept;
    if (saved->lost > 0 || hasJournalFiles(path_)) {
        kept = brokenFileName(path_);
        moveHistoryAside(path_, kept, true);
    }
    if (std::rename(fresh.c_str(), path_.c_str()) != 0) {
        const int err = errno;
        removeWithJournal(fresh);
        throw FileError(err, fileName(path_) + ": " + systemErrorText(err));
    }
    syncFolderOf(path_);
    if (saved->lost > 0)
        notice_ = "履歴ファイル " + fileName(path_) + " が壊れていたため、読めた記録 " + std::to_string(saved->kept) +
                  " 件で作り直しました。" + lostText(*saved) + "。壊れたファイルは " + fileName(kept) + " に残しました";
    else
        notice_ = "履歴ファイル " + fileName(path_) + " の索引が壊れていたため、記録から作り直しました";
    connect();
}

void HistoryStore::requireSchema() {
    // Reading the header is where a file that is no database shows itself.
    try {
        requireHistorySchema(*db_);
    } catch (const NotHistoryDatabase&) {
        db_.reset();  // never used for anything, not even a later retry
        throw NotHistoryDatabase(path_);
    }
}

void HistoryStore::connect() {
    readOnly_ = false;
    const unsigned links = historyLinksTrusted(path_) ? 0U : unsigned{SqliteDb::NoFollow};
    db_ = std::make_unique<SqliteDb>(path_, SqliteDb::Mode::ReadWriteCreate, links);
    registerSearch(*db_);
    db_->exec(("PRAGMA busy_timeout = " + std::to_string(kBusyTimeoutMs)).c_str());
    requireSchema();
    const std::int64_t version = db_->queryInt("PRAGMA user_version");
    if (version > kHistorySchemaVersion) {
        db_ = std::make_unique<SqliteDb>(path_, SqliteDb::Mode::ReadOnly, links);
        registerSearch(*db_);
        db_->exec(("PRAGMA busy_timeout = " + std::to_string(kBusyTimeoutMs)).c_str());
        readOnly_ = true;
        notice_ = "履歴ファイル " + fileName(path_) +
                  " はこのプログラムより新しい版で作られています。読み取り専用で開きます";
        return;
    }
    db_->exec("PRAGMA journal_mode = WAL");
    // In WAL mode NORMAL keeps the file whole through a crash or a kill
    // at any moment; only a power cut can lose the last commits (never
    // part of one). FULL would add a disk flush to every print.
    db_->exec("PRAGMA synchronous = NORMAL");
    db_->exec(mmapPragma(mapped_));
    db_->exec("PRAGMA foreign_keys = ON");
    migrate(*db_, version);
}

void HistoryStore::moveAside() {
    const std::string target = brokenFileName(path_);
    moveHistoryAside(path_, target);
    notice_ = "履歴ファイル " + fileName(path_) + " が壊れていたため " + fileName(target) +
              " に移し、新しく作りました";
}

template <class F>
auto HistoryStore::withRecovery(F&& operation) {
    // A store that could not be made last time is tried again now.
    if (!db_) open();
    try {
        return operation();
    } catch (const SqliteError& e) {
        // A newer file, open read-only, is not repaired; a listing's copy is.
        if (!e.corrupt() || (readOnly_ && access_ == Access::ReadWrite)) throw;
    }
    recoverDamaged();
    return operation();
}

void HistoryStore::record(std::span<const WaybillRecord> rows) { insert(rows, false); }

void HistoryStore::recordUnsent(std::span<const WaybillRecord> rows) { insert(rows, true); }

void HistoryStore::insert(std::span<const WaybillRecord> rows, bool unsent) {
    if (rows.empty()) return;
    withRecovery([&] {
        SqliteTransaction t(*db_);
        SqliteStatement st(*db_, std::string("INSERT INTO history(") + kColumns +
                                     ") VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"
                                     " ON CONFLICT(uid) DO NOTHING");
        SqliteStatement outbox(*db_, "INSERT OR IGNORE INTO outbox(history_id) SELECT id FROM history WHERE uid = ?1");
        for (const WaybillRecord& r : rows) {
            const std::string uid = r.uid.empty() ? newRecordUid() : r.uid;
            bindRecord(st, r, uid);
            st.run();
            st.reset();
            if (unsent) {
                outbox.bind(1, uid);
                outbox.run();
                outbox.reset();
            }
        }
        t.commit();
    });
}

std::vector<WaybillRecord> HistoryStore::unsent(int limit, Outbox which) {
    return withRecovery([&] {
        std::string sql = std::string("SELECT id, ") + kColumns +
                          " FROM history WHERE id IN (SELECT history_id FROM outbox)";
        if (which == Outbox::ToSend) sql += " AND NOT (job = ?2 AND printed_at > ?3)";
        SqliteStatement st(*db_, sql + " ORDER BY id LIMIT ?1");
        st.bind(1, std::int64_t{limit});
        if (which == Outbox::ToSend)
            st.bind(2, WaybillRecord::kJobPrinting).bind(3, localTimestamp(-kPrintingSettles));
        return readRecords(st);
    });
}

std::int64_t HistoryStore::unsentCount() {
    return withRecovery([&] { return db_->queryInt("SELECT count(*) FROM outbox"); });
}

std::size_t HistoryStore::markSent(std::span<const WaybillRecord> rows) {
    if (rows.empty()) return 0;
    return withRecovery([&] {
        SqliteTransaction t(*db_);
        SqliteStatement st(*db_,
                           "DELETE FROM outbox WHERE history_id = ?1 AND history_id IN "
                           "(SELECT id FROM history WHERE id = ?1 AND tracking = ?2 AND job = ?3) RETURNING history_id");
        std::size_t sent = 0;
        for (const WaybillRecord& r : rows) {
            st.bind(1, r.id).bind(2, r.tracking).bind(3, r.job);
            while (st.step()) ++sent;
            st.reset();
        }
        t.commit();
        return sent;
    });
}

void HistoryStore::setMemoryMapped(bool mapped) {
    mapped_ = mapped;
    // A read-only file is never mapped (connect()).
    if (db_) db_->exec(mmapPragma(mapped && !readOnly_));
}

std::vector<HistoryStore::RowKey> HistoryStore::keysAfter(std::int64_t after, int limit) {
    return withRecovery([&] {
        SqliteStatement st(*db_, "SELECT id, uid FROM history WHERE id > ?1 ORDER BY id LIMIT ?2");
        st.bind(1, after).bind(2, std::int64_t{limit});
        std::vector<RowKey> keys;
        while (st.step()) keys.push_back(RowKey{st.integer(0), st.text(1)});
        return keys;
    });
}

std::vector<WaybillRecord> HistoryStore::rowsWithIds(std::span<const std::int64_t> ids) {
    return withRecovery([&] {
        SqliteStatement st(*db_, std::string("SELECT id, ") + kColumns + " FROM history WHERE id = ?1");
        std::vector<WaybillRecord> rows;
        for (const std::int64_t id : ids) {
            st.bind(1, id);
            if (st.step()) rows.push_back(readRecord(st));
            st.reset();
        }
        return rows;
    });
}

std::vector<std::string> HistoryStore::unsentUids() {
    return withRecovery([&] {
        SqliteStatement st(*db_, "SELECT uid FROM history WHERE id IN (SELECT history_id FROM outbox) ORDER BY id");
        std::vector<std::string> uids;
        while (st.step()) uids.push_back(st.text(0));
        return uids;
    });
}

std::vector<WaybillRecord> HistoryStore::list(const HistoryQuery& query) {
    return withRecovery([&] {
        const std::string needle(sjis::trimView(query.search).empty() ? std::string()
                                                                       : searchFold(utf8(sjis::trim(query.search))));
        const std::string digits = numberQuery(needle);
        // One or two characters match a prefix of the indexed trigrams,
        // which for a digit or a common character are hundreds of lists to
        // merge (a second or so over a million rows). Such a text is
        // looked for in the newest rows first: when they fill the page, it
        // holds the newest matches of the whole history.
        const bool recentFirst = digits.empty() && !needle.empty() && utf8Length(needle) < 3 && query.limit > 0;
        if (recentFirst) {
            std::vector<WaybillRecord> rows = listRecent(query, needle);
            if (rows.size() == static_cast<std::size_t>(query.limit)) return rows;
        }
        // The matches come from an index, newest first; the rows are read
        // only for them. The full-text index yields its hits in id order,
        // so the first page ends the search; the number keys are few per
        // row, their hits put in order afterwards.
        std::string sql = std::string("SELECT id, ") + kColumns + " FROM ";
        if (!digits.empty())
            sql += "(SELECT DISTINCT id AS hit FROM history_numbers WHERE (key >= ?7 AND key < ?8) OR "
                   "(key >= ?9 AND key < ?10)) AS found CROSS JOIN history ON history.id = found.hit WHERE 1";
        else if (!needle.empty())
            sql += "(SELECT rowid AS hit FROM history_search WHERE history_search MATCH ?1) AS found "
                   "CROSS JOIN history ON history.id = found.hit WHERE 1";
        else
            sql += "history WHERE 1";
        sql += filterClauses(query);
        sql += needle.empty() ? " ORDER BY id DESC LIMIT ?4" : " ORDER BY found.hit DESC LIMIT ?4";
        SqliteStatement st(*db_, sql);
        if (!digits.empty()) {
            int i = 7;
            for (const std::string& prefix : numberPrefixes(digits)) {
                st.bind(i++, prefix);
                st.bind(i++, prefixBound(prefix));
            }
        } else if (!needle.empty()) {
            // The text one quoted phrase, inner quotes doubled: the user's
            // text is never read as query syntax. Under three characters
            // the phrase is a prefix of the indexed trigrams.
            std::string match = "\"";
            for (const char ch : needle) match += ch == '"' ? std::string("\"\"") : std::string(1, ch);
            match += '"';
            if (utf8Length(needle) < 3) match += '*';
            st.bind(1, match);
        }
        bindFilters(st, query);
        return readRecords(st);
    });
}

std::string HistoryStore::filterClauses(const HistoryQuery& query) {
    std::string sql;
    if (!query.fromDate.empty()) sql += " AND printed_at >= ?2";
    if (!query.toDate.empty()) sql += " AND printed_at < ?3";
    if (!query.orderNo.empty()) sql += " AND order_no = ?5";
    if (!query.tracking.empty()) sql += " AND tracking = ?6";
    if (query.shippedOnly) sql += " AND order_no <> '' AND tracking <> '' AND job <> -1";
    return sql;
}

void HistoryStore::bindFilters(SqliteStatement& st, const HistoryQuery& query) {
    if (!query.fromDate.empty()) st.bind(2, query.fromDate);
    // "~" sorts after the blank that follows the date in every stamp.
    if (!query.toDate.empty()) st.bind(3, query.toDate + "~");
    st.bind(4, std::int64_t{query.limit});
    if (!query.orderNo.empty()) st.bind(5, utf8(query.orderNo));
    if (!query.tracking.empty()) st.bind(6, query.tracking);
}

std::vector<WaybillRecord> HistoryStore::listRecent(const HistoryQuery& query, const std::string& needle) {
    // The search text of a row holds every searched field, so a substring
    // of it is what the index finds; the newest rows read are a fixed
    // multiple of the page, so that a rarer text costs no more than that.
    SqliteStatement st(*db_, std::string("SELECT id, ") + kColumns +
                                 " FROM history WHERE id > (SELECT coalesce(max(id), 0) FROM history) - ?7 "
                                 "AND instr(search, ?1) > 0" +
                                 filterClauses(query) + " ORDER BY id DESC LIMIT ?4");
    st.bind(1, needle);
    st.bind(7, std::int64_t{query.limit} * kRecentRowsPerShown);
    bindFilters(st, query);
    return readRecords(st);
}

void HistoryStore::remove(std::span<const std::int64_t> ids) {
    if (ids.empty()) return;
    withRecovery([&] {
        SqliteTransaction t(*db_);
        SqliteStatement st(*db_, "DELETE FROM history WHERE id = ?1");
        for (const std::int64_t id : ids) {
            st.bind(1, id);
            st.run();
            st.reset();
        }
        t.commit();
    });
}

void requireTrackingForm(const std::string& tracking) {
    const bool digits = tracking.find_first_not_of("0123456789") == std::string::npos;
    // The form's own rule is checked by the caller; a store takes the digits
    // any form may print (two to twenty).
    if (!tracking.empty() && (tracking.size() < 2 || tracking.size() > 20 || !digits))
        throw std::invalid_argument("a tracking number is 2 to 20 digits");
}

void HistoryStore::setTracking(std::int64_t id, const std::string& tracking) {
    updateTracking("id = ?1", [&](SqliteStatement& st) { st.bind(1, id); }, tracking);
}

void HistoryStore::setTrackingOfUid(const std::string& uid, const std::string& tracking) {
    updateTracking("uid = ?1", [&](SqliteStatement& st) { st.bind(1, uid); }, tracking);
}

void HistoryStore::setTrackingToSend(std::int64_t id, const std::string& tracking) {
    updateTracking("id = ?1", [&](SqliteStatement& st) { st.bind(1, id); }, tracking, true);
}

void HistoryStore::updateTracking(const char* where, const std::function<void(SqliteStatement&)>& bindKey,
                                  const std::string& tracking, bool toSend) {
    requireTrackingForm(tracking);
    withRecovery([&] {
        SqliteTransaction t(*db_);
        WaybillRecord r;
        {
            SqliteStatement read(*db_, std::string("SELECT id, ") + kColumns + " FROM history WHERE " + where);
            bindKey(read);
            if (!read.step()) return;
            r = readRecord(read);
        }
        r.tracking = tracking;
        // The search text holds the tracking number; the index follows it.
        SqliteStatement st(*db_, "UPDATE history SET tracking = ?1, search = ?2 WHERE id = ?3");
        st.bind(1, tracking).bind(2, searchText(r)).bind(3, r.id);
        st.run();
        if (toSend) {
            SqliteStatement queue(*db_, "INSERT OR IGNORE INTO outbox(history_id) VALUES (?1)");
            queue.bind(1, r.id);
            queue.run();
        }
        t.commit();
    });
}

std::string HistoryStore::lastTracking(const std::string& feedMode) {
    return withRecovery([&] {
        SqliteStatement st(*db_, "SELECT tracking FROM history WHERE ?1 = '' OR feed = ?1 ORDER BY id DESC LIMIT 1");
        st.bind(1, utf8(feedMode));
        return st.step() ? st.text(0) : std::string();
    });
}

std::vector<WaybillRecord> HistoryStore::holdersOf(std::span<const std::string> trackings) {
    return withRecovery([&] {
        SqliteStatement st(*db_, std::string("SELECT id, ") + kColumns + " FROM history WHERE tracking = ?1");
        std::vector<WaybillRecord> rows;
        for (const std::string& tracking : trackings) {
            if (tracking.empty()) continue;
            st.bind(1, tracking);
            while (st.step()) rows.push_back(readRecord(st));
            st.reset();
        }
        std::sort(rows.begin(), rows.end(), [](const WaybillRecord& a, const WaybillRecord& b) { return a.id > b.id; });
        return rows;
    });
}

void HistoryStore::markPrinted(std::span<const std::string> uids, std::int64_t job) { setJob(uids, job, false); }

void HistoryStore::markPrintedToSend(std::span<const std::string> uids, std::int64_t job) { setJob(uids, job, true); }

void HistoryStore::setJob(std::span<const std::string> uids, std::int64_t job, bool toSend) {
    if (uids.empty()) return;
    withRecovery([&] {
        SqliteTransaction t(*db_);
        SqliteStatement st(*db_, "UPDATE history SET job = ?2 WHERE uid = ?1 AND job = ?3 RETURNING id");
        SqliteStatement queue(*db_, "INSERT OR IGNORE INTO outbox(history_id) VALUES (?1)");
        for (const std::string& uid : uids) {
            st.bind(1, uid).bind(2, job).bind(3, WaybillRecord::kJobPrinting);
            while (st.step()) {
                if (!toSend) continue;
                queue.bind(1, st.integer(0));
                queue.run();
                queue.reset();
            }
            st.reset();
        }
        t.commit();
    });
}

void HistoryStore::forgetPrinting(std::span<const std::string> uids) {
    if (uids.empty()) return;
    withRecovery([&] {
        SqliteTransaction t(*db_);
        SqliteStatement st(*db_, "DELETE FROM history WHERE uid = ?1 AND job = ?2");
        for (const std::string& uid : uids) {
            st.bind(1, uid).bind(2, WaybillRecord::kJobPrinting);
            st.run();
            st.reset();
        }
        t.commit();
    });
}

void HistoryStore::keepConsignee(const Consignee& c) {
    if (sjis::trimView(c.name).empty()) throw std::invalid_argument("a consignee needs a name");
    withRecovery([&] {
        SqliteTransaction t(*db_);
        SqliteStatement st(*db_,
                           "INSERT INTO address_book(name, tel, tel_key, zip, add1, add2, updated_at) "
                           "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7) ON CONFLICT(name, tel_key) DO UPDATE SET "
                           "tel = excluded.tel, zip = excluded.zip, add1 = excluded.add1, add2 = excluded.add2, "
                           "updated_at = excluded.updated_at");
        st.bind(1, utf8(c.name)).bind(2, utf8(c.tel)).bind(3, telKey(c.tel)).bind(4, utf8(c.zip));
        st.bind(5, utf8(c.add1)).bind(6, utf8(c.add2)).bind(7, localTimestamp());
        st.run();
        t.commit();
    });
}

namespace {
Consignee readConsignee(const SqliteStatement& st) {
    return Consignee{sjisOf(st.text(0)), sjisOf(st.text(1)), sjisOf(st.text(2)), sjisOf(st.text(3)),
                     sjisOf(st.text(4))};
}
}  // namespace

std::vector<Consignee> HistoryStore::addressBook() {
    return withRecovery([&] {
        SqliteStatement st(*db_, "SELECT zip, add1, add2, name, tel FROM address_book ORDER BY name, tel_key");
        std::vector<Consignee> all;
        while (st.step()) all.push_back(readConsignee(st));
        return all;
    });
}

std::vector<Consignee> HistoryStore::complete(CompleteBy by, std::string_view sjisPrefix, int limit) {
    const std::string prefix = by == CompleteBy::Telephone ? telKey(sjisPrefix) : utf8(sjisPrefix);
    const std::string bound = prefixBound(prefix);
    if (prefix.empty() || bound.empty() || limit <= 0) return {};
    return withRecovery([&] {
        const char* key = by == CompleteBy::Telephone ? "tel_key" : "name";
        // A range over the key's index; grouping in index order lets the
        // scan stop as soon as enough different consignees were seen.
        const std::string range = std::string(" WHERE ") + key + " >= ?1 AND " + key + " < ?2";
        SqliteStatement book(*db_, "SELECT zip, add1, add2, name, tel, tel_key FROM address_book" + range +
                                       " ORDER BY " + key + " LIMIT ?3");
        SqliteStatement seen(*db_, "SELECT zip, add1, add2, name, tel, tel_key FROM history" + range +
                                       (by == CompleteBy::Telephone ? " GROUP BY tel_key, name, zip, add1, add2"
                                                                    : " GROUP BY name, tel_key, zip, add1, add2") +
                                       " LIMIT ?3");
        std::vector<Consignee> out;
        std::vector<std::string> keys;  // telephone key per entry of out
        for (SqliteStatement* st : {&book, &seen}) {
            st->bind(1, prefix).bind(2, bound).bind(3, std::int64_t{limit});
            while (out.size() < static_cast<std::size_t>(limit) && st->step()) {
                Consignee c = readConsignee(*st);
                std::string k = st->text(5);
                bool dup = false;
                for (std::size_t i = 0; i < out.size() && !dup; ++i)
                    dup = keys[i] == k && out[i].name == c.name && out[i].zip == c.zip && out[i].add1 == c.add1 &&
                          out[i].add2 == c.add2;
                if (dup) continue;
                out.push_back(std::move(c));
                keys.push_back(std::move(k));
            }
        }
        return out;
    });
}

}  // namespace store
