#pragma once
// The print history and the address book on a PostgreSQL server that
// several packing stations share. The schema is the administrator's
// (`server init`); a station only reads and writes rows. Every statement
// takes its values as parameters; every call is bounded by the time-out.
// A connection that breaks is made again by the next call.
#include <chrono>
#include <functional>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "history/history_backend.h"

namespace store {

class PgDb;

// What record() writes for a row, in the order of its insert's parameters:
// the columns named by pgRowColumns(), then the row's search text, its
// pieces and its number keys (the last two as text arrays). For loads of
// many rows at once that must hold the same as record() would.
std::vector<std::string> pgRowValues(const WaybillRecord& row);
const char* pgRowColumns();

class PgHistoryStore : public HistoryBackend {
public:
    using Millis = std::chrono::milliseconds;
    // Connects and checks the server (version, encoding), the schema's
    // version and the role's rights. A schema newer than the program
    // opens read-only with a notice. Throws PgError with a plain message.
    explicit PgHistoryStore(std::string conninfo, Millis timeout = Millis(3000));
    ~PgHistoryStore() override;

    bool readOnly() const override { return readOnly_; }
    std::string takeNotice() override;

    void record(std::span<const WaybillRecord> rows) override;
    using HistoryBackend::record;
    // The same, returning how many rows were new to the server. A row the
    // server has already is left as it is, except that one for which
    // `ownTracking` says so takes the row's tracking number: a row of the
    // station's outbox whose number was set or corrected on its way.
    std::size_t recordNew(std::span<const WaybillRecord> rows,
                          const std::function<bool(const WaybillRecord&)>& ownTracking = {});
    std::vector<WaybillRecord> list(const HistoryQuery& query) override;
    // Which of these record ids the server lacks (one query).
    std::set<std::string> missingUids(const std::vector<std::string>& uids);
    void remove(std::span<const std::int64_t> ids) override;
    void setTracking(std::int64_t id, const std::string& tracking) override;
    // The same, returning the row's record id ("" when there is no such row).
    std::string setTrackingOf(std::int64_t id, const std::string& tracking);
    // Always empty: the server holds every station's rows and cannot tell
    // which stack of forms a row went onto (SharedHistory asks the
    // station's own file instead).
    std::string lastTracking(const std::string& feedMode) override;
    std::vector<WaybillRecord> holdersOf(std::span<const std::string> trackings) override;
    void markPrinted(std::span<const std::string> uids, std::int64_t job) override;
    void forgetPrinting(std::span<const std::string> uids) override;
    // Removes the rows with these record ids.
    void removeUids(std::span<const std::string> uids);

    void keepConsignee(const Consignee& consignee) override;
    // Keeps each consignee (one transaction); returns how many were new
    // or changed.
    std::size_t keepConsignees(std::span<const Consignee> consignees);
    std::vector<Consignee> addressBook() override;
    std::vector<Consignee> complete(CompleteBy by, std::string_view sjisPrefix, int limit) override;
    using HistoryBackend::complete;

    // The time-out of each later statement (a long push, a big export).
    void setTimeout(Millis timeout);
    // How many of the newest rows a search may read straight from the
    // table before it turns to the search index, how many of them it reads
    // first to tell a common text from a rare one, and how many ids it
    // takes from the index at a time (see list()).
    void setSearchSteps(std::int64_t recentRows, std::int64_t indexPage, std::int64_t sampleRows = 2000) {
        recentRows_ = recentRows;
        indexPage_ = indexPage;
        sampleRows_ = sampleRows;
    }

private:
    PgDb& db();
    template <class F> auto withDb(F&& operation);
    void writable() const;
    // Deletes the history rows matching `condition` (over $1 = `param`).
    void deleteWhere(const char* condition, const std::string& param);

    std::string conninfo_;
    Millis timeout_;
    std::unique_ptr<PgDb> db_;
    bool readOnly_ = false;
    std::string notice_;
    std::int64_t recentRows_ = 50000;
    std::int64_t indexPage_ = 500;
    std::int64_t sampleRows_ = 2000;
};

}  // namespace store
