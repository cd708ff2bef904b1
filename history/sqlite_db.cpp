#include "history/sqlite_db.h"

#include <sqlite3.h>

namespace store {

bool SqliteError::corrupt() const noexcept { return code() == SQLITE_CORRUPT || code() == SQLITE_NOTADB; }

SqliteDb::SqliteDb(const std::string& path, Mode mode, unsigned options) {
    int flags = mode == Mode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    if ((options & NoFollow) != 0) flags |= SQLITE_OPEN_NOFOLLOW;
    if ((options & Uri) != 0) flags |= SQLITE_OPEN_URI;
    const int rc = sqlite3_open_v2(path.c_str(), &db_, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        const int extended = db_ ? sqlite3_extended_errcode(db_) : rc;
        sqlite3_close(db_);
        db_ = nullptr;
        throw SqliteError(extended, message);
    }
    sqlite3_extended_result_codes(db_, 1);
}

SqliteDb::~SqliteDb() { sqlite3_close(db_); }

void SqliteDb::check(int rc) const {
    if (rc == SQLITE_OK || rc == SQLITE_ROW || rc == SQLITE_DONE) return;
    throw SqliteError(rc, sqlite3_errmsg(db_));
}

void SqliteDb::exec(const char* sql) {
    char* message = nullptr;
    const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        const std::string text = message ? message : sqlite3_errstr(rc);
        sqlite3_free(message);
        throw SqliteError(sqlite3_extended_errcode(db_), text);
    }
}

std::int64_t SqliteDb::queryInt(const char* sql) {
    SqliteStatement st(*this, sql);
    return st.step() ? st.integer(0) : 0;
}

std::int64_t SqliteDb::lastInsertId() const { return sqlite3_last_insert_rowid(db_); }


SqliteStatement::SqliteStatement(SqliteDb& db, std::string_view sql) : db_(db) {
    db_.check(sqlite3_prepare_v2(db.handle(), sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr));
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(stmt_); }

SqliteStatement& SqliteStatement::bind(int index, std::string_view text) {
    db_.check(sqlite3_bind_text64(stmt_, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8));
    return *this;
}

SqliteStatement& SqliteStatement::bind(int index, std::int64_t value) {
    db_.check(sqlite3_bind_int64(stmt_, index, value));
    return *this;
}

bool SqliteStatement::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    // With extended result codes on, rc is the precise one (busy, corrupt, full).
    const std::string message = sqlite3_errmsg(db_.handle());
    sqlite3_reset(stmt_);
    throw SqliteError(rc, message);
}

void SqliteStatement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

std::string SqliteStatement::text(int column) const {
    const auto* p = sqlite3_column_text(stmt_, column);
    const int n = sqlite3_column_bytes(stmt_, column);
    return p ? std::string(reinterpret_cast<const char*>(p), static_cast<std::size_t>(n)) : std::string();
}

std::int64_t SqliteStatement::integer(int column) const { return sqlite3_column_int64(stmt_, column); }

SqliteTransaction::SqliteTransaction(SqliteDb& db) : db_(db) { db_.exec("BEGIN IMMEDIATE"); }

SqliteTransaction::~SqliteTransaction() {
    if (!open_) return;
    // A failed rollback leaves nothing to do: SQLite rolls back itself on
    // close, and a destructor must not throw.
    sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void SqliteTransaction::commit() {
    db_.exec("COMMIT");
    open_ = false;
}

}  // namespace store
