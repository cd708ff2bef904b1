#pragma once
// A small RAII wrapper over libpq: a connection made and used within a
// deadline (a server or network that does not answer costs at most the
// time-out, never a hang), statements that always take their values as
// parameters, results read by row and column, and LISTEN notifications.
// Errors are exceptions with a plain Japanese message and what kind of
// failure it was, so a caller can fall back or tell the user what to mend.
#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct pg_conn;
struct pg_result;

namespace store {

class PgError : public std::runtime_error {
public:
    enum class Kind {
        Syntax,          // the connection string cannot be read, or names an unknown service
        NoServer,        // nothing answers at that address, or it stopped answering
        Password,        // wrong or missing password, unknown user, or refused by pg_hba.conf
        NoDatabase,      // the server has no database of that name
        NoRights,        // the role may not read or write the tables
        TooOld,          // the server's version is older than the program supports
        NotInitialised,  // the database has no schema of ours, or an older one
        Encoding,        // the database cannot hold every character a waybill may carry
        Statement,       // a statement failed on a working connection
        Slow,            // a statement ran past the time-out and was cancelled; the connection stays
    };
    PgError(Kind kind, const std::string& message, std::string sqlState = {})
        : std::runtime_error(message), kind_(kind), sqlState_(std::move(sqlState)) {}
    Kind kind() const noexcept { return kind_; }
    const std::string& sqlState() const noexcept { return sqlState_; }
    // The server could not be reached or went away: worth trying later.
    bool unreachable() const noexcept { return kind_ == Kind::NoServer; }

private:
    Kind kind_;
    std::string sqlState_;
};

// A libpq connection string as typed by the user: a bare word is a
// service name from pg_service.conf.
std::string normalisedConninfo(std::string_view typed);

class PgResult {
public:
    explicit PgResult(pg_result* result) : result_(result) {}
    ~PgResult();
    PgResult(PgResult&& other) noexcept : result_(std::exchange(other.result_, nullptr)) {}
    PgResult& operator=(PgResult&&) = delete;
    PgResult(const PgResult&) = delete;
    PgResult& operator=(const PgResult&) = delete;

    int rows() const;
    std::string text(int row, int column) const;
    std::int64_t integer(int row, int column) const;
    bool boolean(int row, int column) const;
    // The rows a command changed (INSERT, UPDATE, DELETE).
    std::int64_t changed() const;

private:
    pg_result* result_;
};

class PgDb {
public:
    using Millis = std::chrono::milliseconds;
    // Connects within `timeout`; throws PgError when no usable connection
    // can be had. The session talks UTF-8 whatever the database holds.
    explicit PgDb(const std::string& conninfo, Millis timeout = Millis(3000));
    ~PgDb();
    PgDb(const PgDb&) = delete;
    PgDb& operator=(const PgDb&) = delete;

    // Runs one statement with text parameters ($1, $2, …) within the
    // time-out. A statement the server rejects throws PgError of kind
    // Statement with its SQLSTATE. One still running at three quarters of
    // the time-out is cancelled: a server that then answers is working,
    // only slow, and the statement throws kind Slow, the connection kept;
    // a connection that fails or does not answer by the time-out is closed
    // and throws kind NoServer.
    PgResult exec(std::string_view sql, const std::vector<std::string>& params = {});
    // The time-out of each later statement.
    void setTimeout(Millis timeout) { timeout_ = timeout; }
    bool broken() const { return conn_ == nullptr; }

    int serverVersion() const;
    std::string parameter(const char* name) const;
    std::string database() const;

    // The socket to watch for notifications (-1 when broken).
    int socket() const;
    // Reads what has arrived and returns the channels notified since the
    // last call; throws kind NoServer when the connection is gone.
    std::vector<std::string> notifications();

private:
    void waitFor(bool writing, std::chrono::steady_clock::time_point deadline);
    // Waits for the socket; false when the deadline came first.
    bool waitUntil(bool writing, std::chrono::steady_clock::time_point deadline);
    // Asks the server to cancel the running statement, without waiting
    // for it: a server that hangs holds up nothing here.
    void cancel();
    [[noreturn]] void lost(const std::string& why);

    pg_conn* conn_ = nullptr;
    Millis timeout_;
};

// A transaction that rolls back unless committed.
class PgTransaction {
public:
    explicit PgTransaction(PgDb& db);
    ~PgTransaction();
    PgTransaction(const PgTransaction&) = delete;
    PgTransaction& operator=(const PgTransaction&) = delete;
    // Throws PgError (NoServer) saying "記録できたか確認できません" when the
    // COMMIT's answer is lost: the change may or may not have been made.
    void commit();

private:
    PgDb& db_;
    bool open_ = true;
};

// A text array literal ({"a","b"}) to pass as one parameter.
std::string pgArray(const std::vector<std::string>& items);

}  // namespace store
