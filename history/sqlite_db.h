#pragma once
// A small RAII wrapper over the SQLite C library: a connection, prepared
// statements with typed binding and reading, and a transaction that rolls
// back unless it was committed. Errors are exceptions carrying SQLite's
// result code and its UTF-8 message.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace store {

class SqliteError : public std::runtime_error {
public:
    SqliteError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
    // The primary result code (SQLITE_BUSY, SQLITE_CORRUPT, …).
    int code() const noexcept { return code_ & 0xff; }
    // The file is not a database or is damaged.
    bool corrupt() const noexcept;

private:
    int code_;
};

class SqliteDb {
public:
    enum class Mode { ReadWriteCreate, ReadOnly };
    // Options of opening, or-ed: NoFollow refuses a symbolic link as the
    // file or any of its journal files; Uri reads the path as an SQLite URI
    // ("file:...?mode=ro").
    enum Option : unsigned { NoFollow = 1U, Uri = 2U };
    SqliteDb(const std::string& path, Mode mode, unsigned options = 0);
    ~SqliteDb();
    SqliteDb(const SqliteDb&) = delete;
    SqliteDb& operator=(const SqliteDb&) = delete;

    // Runs statements without parameters or results (schema, pragmas).
    void exec(const char* sql);
    // The first column of the first row of a query as an integer.
    std::int64_t queryInt(const char* sql);
    std::int64_t lastInsertId() const;
    sqlite3* handle() const { return db_; }
    // Throws SqliteError for a result code that is not OK/ROW/DONE.
    void check(int rc) const;

private:
    sqlite3* db_ = nullptr;
};

class SqliteStatement {
public:
    SqliteStatement(SqliteDb& db, std::string_view sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // Parameters count from 1, as in SQLite.
    SqliteStatement& bind(int index, std::string_view text);
    SqliteStatement& bind(int index, std::int64_t value);
    // True when a row is ready, false when the statement is done.
    bool step();
    // Runs a statement that returns no rows.
    void run() { while (step()) {} }
    // Ready for another run with new parameters.
    void reset();

    // Columns count from 0.
    std::string text(int column) const;
    std::int64_t integer(int column) const;
    sqlite3_stmt* handle() const { return stmt_; }

private:
    SqliteDb& db_;
    sqlite3_stmt* stmt_ = nullptr;
};

// BEGIN IMMEDIATE on construction: the write lock is taken at once, so a
// busy database fails here and not halfway through the writes.
class SqliteTransaction {
public:
    explicit SqliteTransaction(SqliteDb& db);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;
    void commit();

private:
    SqliteDb& db_;
    bool open_ = true;
};

}  // namespace store
