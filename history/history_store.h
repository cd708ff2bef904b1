#pragma once
// The print history and the consignee address book: one SQLite file in the
// base folder (WAL journal, every write in one transaction, the schema
// version in PRAGMA user_version with forward migrations).
//
// Texts go in and come out as Shift-JIS, as the entry form holds them; the
// database holds UTF-8, because SQLite's full-text search (the trigram
// tokenizer used for substring search) and every other program that opens
// the file expect it.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "history/history_backend.h"
#include "history/waybill_record.h"

namespace store {

class SqliteDb;
class SqliteStatement;

// The file's name in the base folder.
inline constexpr char kHistoryFileName[] = "vamu_Pelican.db";

// The schema version this program writes; a newer file opens read-only.
inline constexpr int kHistorySchemaVersion = 6;

enum class HistoryFileKind;

class HistoryStore : public HistoryBackend {
public:
    enum class Access {
        ReadWrite,
        // For listings: the file is only read, never made, moved or
        // repaired; a missing or empty one is an empty history, an older
        // one is brought up to date in memory, and the rows that can be
        // read of a damaged one are shown (with a notice of those lost).
        ReadOnly,
    };

    // Opens the database at `path`, creating it when missing (an empty file
    // is an empty database, as SQLite has it). A file of ours found damaged
    // (now or later while in use) is made anew from every row that can
    // still be read, the rows of the outbox first: a damaged index costs
    // nothing; when rows were lost the damaged file is kept as
    // "<path>.broken-<yyyymmdd-hhmmss>" and the notice says how many. One
    // whose rows cannot be read at all is moved there whole and a fresh
    // store is made; nothing is deleted. A database written by a newer
    // version opens read-only. Each leaves a notice (takeNotice()).
    // Anything that is not our database (a folder, a text, another
    // program's SQLite file) is refused untouched (NotHistoryDatabase,
    // history/history_schema.h), and so are a link in a folder others can
    // write to and a file of another user (HistoryFileRefused,
    // history/history_file.h). Throws SqliteError or FileError when no
    // store can be had at all (read-only folder, locked file).
    explicit HistoryStore(std::string path, Access access = Access::ReadWrite);
    ~HistoryStore() override;

    const std::string& path() const { return path_; }
    bool readOnly() const override { return readOnly_; }
    // A message for the user (UTF-8) about a broken file moved aside or a
    // newer file opened read-only; returned once, then empty.
    std::string takeNotice() override;

    // Records the rows in one transaction: all of them or none. A row's
    // empty time means now. Throws when the store cannot be written (busy,
    // disk full, read-only); nothing is recorded then.
    void record(std::span<const WaybillRecord> rows) override;
    using HistoryBackend::record;

    // Rows matching the query, newest first, with their ids.
    std::vector<WaybillRecord> list(const HistoryQuery& query) override;
    // Removes the rows with these ids (one transaction).
    void remove(std::span<const std::int64_t> ids) override;
    void setTracking(std::int64_t id, const std::string& tracking) override;
    // The tracking number of the newest row: the last form a print was
    // recorded on. Empty when that row has none (its forms are unknown).
    std::string lastTracking(const std::string& feedMode) override;
    std::vector<WaybillRecord> holdersOf(std::span<const std::string> trackings) override;
    void markPrinted(std::span<const std::string> uids, std::int64_t job) override;
    // markPrinted() of rows of a station that shares a server: each goes
    // (back) into the outbox, so the server learns the job too.
    void markPrintedToSend(std::span<const std::string> uids, std::int64_t job);
    void forgetPrinting(std::span<const std::string> uids) override;
    // setTracking() of the row with this record id, if the file has it.
    void setTrackingOfUid(const std::string& uid, const std::string& tracking);
    // setTracking() of a row of the outbox, which keeps it there (or puts
    // it back, when it was sent meanwhile) until the number is sent too.
    void setTrackingToSend(std::int64_t id, const std::string& tracking);

    // Keeps a consignee in the address book under its name; one with the
    // same name and telephone number is replaced. Throws
    // std::invalid_argument for an empty name.
    void keepConsignee(const Consignee& consignee) override;
    // The address book by name.
    std::vector<Consignee> addressBook() override;
    // Consignees whose telephone number (digits only, any width) or name
    // starts with the prefix: the address book's first, then those of the
    // history; each consignee once. Nothing for an empty prefix.
    std::vector<Consignee> complete(CompleteBy by, std::string_view sjisPrefix, int limit) override;
    using HistoryBackend::complete;

    // The outbox of a station that shares a server's history: rows
    // recorded here and marked unsent (one transaction), then read oldest
    // first and marked sent once the server has them. A restart keeps them.
    void recordUnsent(std::span<const WaybillRecord> rows);
    // The outbox, oldest first. To be sent: without the rows whose print is
    // still going on (recorded as printing a moment ago), which go once the
    // job is known, or as rows of unknown outcome once they are old.
    enum class Outbox { All, ToSend };
    std::vector<WaybillRecord> unsent(int limit, Outbox which = Outbox::All);
    std::int64_t unsentCount();
    // Takes rows read by unsent() out of the outbox once the server has
    // them, and returns how many went. A row whose tracking number changed
    // since it was read stays, to be sent again with the new number.
    std::size_t markSent(std::span<const WaybillRecord> rows);

    // Reading the whole history a part at a time (a push to a server): the
    // ids and record ids of at most `limit` rows after the id `after`,
    // oldest first; the rows with these ids, oldest first; the record ids
    // of the outbox.
    struct RowKey {
        std::int64_t id = 0;
        std::string uid;
    };
    std::vector<RowKey> keysAfter(std::int64_t after, int limit);
    // Whether the file is read through a memory map (the default): that
    // spares a copy of each page a search reads again and again, but keeps
    // up to 256 MB of the file resident once read. A read that goes
    // through the whole file once (a push) takes its pages as they come.
    void setMemoryMapped(bool mapped);
    std::vector<WaybillRecord> rowsWithIds(std::span<const std::int64_t> ids);
    std::vector<std::string> unsentUids();

private:
    void open();
    void openForReading(HistoryFileKind kind);
    void connect();
    // Throws NotHistoryDatabase(path_) unless the open file has our schema.
    void requireSchema();
    // Throws NotHistoryDatabase(path_) unless the damaged file's header
    // says it is ours.
    void requireOurs() const;
    // A read-only store: the rows that can be read, copied into memory.
    void salvageForReading();
    void insert(std::span<const WaybillRecord> rows, bool unsent);
    void setJob(std::span<const std::string> uids, std::int64_t job, bool toSend);
    void updateTracking(const char* where, const std::function<void(SqliteStatement&)>& bindKey,
                        const std::string& tracking, bool toSend = false);
    void moveAside();
    // After damage was found: the store made anew from the rows that can be
    // read, else the file moved aside and a fresh store begun.
    void recoverDamaged();
    // Runs an operation; when it finds the file damaged, moves it aside,
    // starts a fresh store and runs the operation once more.
    template <class F> auto withRecovery(F&& operation);
    // The conditions of a query other than its text, and their values.
    static std::string filterClauses(const HistoryQuery& query);
    static void bindFilters(SqliteStatement& st, const HistoryQuery& query);
    // The newest rows (kRecentRowsPerShown times as many as the page
    // shows) that hold the text, newest first.
    std::vector<WaybillRecord> listRecent(const HistoryQuery& query, const std::string& needle);

    std::string path_;
    Access access_;
    std::unique_ptr<SqliteDb> db_;
    bool readOnly_ = false;
    bool mapped_ = true;
    std::string notice_;
    // A text in one row of twenty (or more) fills its page from the newest rows.
    static constexpr std::int64_t kRecentRowsPerShown = 20;
};

// Local time now (moved by `offset`) as "yyyy-mm-dd hh:mm:ss".
std::string localTimestamp(std::chrono::seconds offset = std::chrono::seconds(0));

// How long a row recorded as printing waits in the outbox for its job id
// before it is sent as it is (its print then has an unknown outcome).
inline constexpr std::chrono::seconds kPrintingSettles(600);

}  // namespace store
