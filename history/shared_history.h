#pragma once
// The history of a station that shares a PostgreSQL server with others.
// A print never waits for the server: it goes into the station's own
// SQLite file, marked unsent (the outbox), and sendUnsent() (or an
// OutboxSender in the background) takes the unsent rows to the server in
// print order, each exactly once, since the server ignores a record id it
// already has. Reading asks the server and adds the rows still unsent;
// while the server cannot be reached, the station's own rows stand in.
// The station's file keeps a copy of every row it printed.
#include <chrono>
#include <memory>
#include <string>

#include "history/history_backend.h"

namespace store {

class HistoryStore;
class PgHistoryStore;

class SharedHistory : public HistoryBackend {
public:
    using Millis = std::chrono::milliseconds;
    // `localPath` is the station's SQLite file, `conninfo` the server's
    // libpq connection string. Nothing is connected yet. Without a
    // connection string the station keeps its history alone: the reads
    // are those of its file, with its own ids.
    SharedHistory(std::string localPath, std::string conninfo, Millis timeout = Millis(3000));
    ~SharedHistory() override;

    bool readOnly() const override;
    std::string takeNotice() override;

    // Into the outbox only; throws when the station's file cannot be written.
    void record(std::span<const WaybillRecord> rows) override;
    using HistoryBackend::record;
    // Server rows and the unsent ones, newest first by print time. An
    // unsent row's id is its local id negated.
    std::vector<WaybillRecord> list(const HistoryQuery& query) override;
    // Positive ids are the server's rows, negative ones unsent local rows.
    void remove(std::span<const std::int64_t> ids) override;
    // A server row's number is set there and in the station's copy of it;
    // an unsent row's in the station's file. Throws when the server is
    // needed and cannot be reached.
    void setTracking(std::int64_t id, const std::string& tracking) override;
    // From the station's own file: each station prints from its own stack
    // of forms, whatever the others print.
    std::string lastTracking(const std::string& feedMode) override;
    // The server's rows and the station's own; the station's alone while
    // the server cannot be reached.
    std::vector<WaybillRecord> holdersOf(std::span<const std::string> trackings) override;
    // In the station's file; the rows go (back) into the outbox with their job.
    void markPrinted(std::span<const std::string> uids, std::int64_t job) override;
    void forgetPrinting(std::span<const std::string> uids) override;
    // Kept in the station's file and on the server; throws after keeping
    // it locally when the server cannot be reached.
    void keepConsignee(const Consignee& consignee) override;
    // The server's part of keepConsignee(), for a consignee the station's
    // file has already.
    void keepConsigneeOnServer(const Consignee& consignee);
    std::vector<Consignee> addressBook() override;
    std::vector<Consignee> complete(CompleteBy by, std::string_view sjisPrefix, int limit) override;
    using HistoryBackend::complete;

    // Sends the unsent rows, oldest first, in parts of one transaction
    // each; returns how many went. Throws PgError when the server cannot
    // take them (those rows stay unsent).
    std::size_t sendUnsent();

    struct Status {
        bool connected = false;   // the last attempt to reach the server worked
        std::int64_t unsent = 0;  // rows in the outbox
        std::string error;        // why the server could not be used (UTF-8)
    };
    Status status();
    // Lets the next use try the server at once (it answered elsewhere).
    void retryNow() { retryAt_ = {}; }
    // The server failed lately and is left alone until the next retry.
    bool resting() const { return std::chrono::steady_clock::now() < retryAt_; }
    // The server failed another connection of the station (`e` says why):
    // it is left alone here too for a while.
    void unreachable(const std::exception& e);

    HistoryStore& local();
    bool localOnly() const { return conninfo_.empty(); }

private:
    // The server's store, or nullptr while it cannot be reached; a failed
    // attempt is not repeated for a few seconds, so a down server costs
    // one time-out, not one per keystroke.
    PgHistoryStore* server();

    std::string localPath_, conninfo_;
    Millis timeout_;
    std::unique_ptr<HistoryStore> local_;
    std::unique_ptr<PgHistoryStore> server_;
    std::chrono::steady_clock::time_point retryAt_{};
    std::string error_;
    std::string notice_;
};

}  // namespace store
