// The SQLite functions the program calls, opened on first use.
#include <sqlite3.h>

#include "lazy/lazy_library.h"

namespace lazy {
LazyLibrary& sqliteLibrary() {
    static LazyLibrary library("libsqlite3.so.0", "libsqlite3-0", "VP_LAZY_LIBSQLITE3");
    return library;
}
}  // namespace lazy

#define SQLITE_FORWARD(ret, name, params, args) LAZY_FORWARD(lazy::sqliteLibrary(), ret, name, params, args)

SQLITE_FORWARD(int, sqlite3_open, (const char* f, sqlite3** db), (f, db))
SQLITE_FORWARD(int, sqlite3_open_v2, (const char* f, sqlite3** db, int flags, const char* vfs), (f, db, flags, vfs))
SQLITE_FORWARD(int, sqlite3_close, (sqlite3 * db), (db))
SQLITE_FORWARD(int, sqlite3_exec, (sqlite3 * db, const char* sql, int (*cb)(void*, int, char**, char**), void* arg, char** err),
               (db, sql, cb, arg, err))
SQLITE_FORWARD(int, sqlite3_extended_result_codes, (sqlite3 * db, int on), (db, on))
SQLITE_FORWARD(int, sqlite3_extended_errcode, (sqlite3 * db), (db))
SQLITE_FORWARD(const char*, sqlite3_errmsg, (sqlite3 * db), (db))
SQLITE_FORWARD(const char*, sqlite3_errstr, (int code), (code))
SQLITE_FORWARD(void, sqlite3_free, (void* p), (p))
SQLITE_FORWARD(sqlite3_int64, sqlite3_last_insert_rowid, (sqlite3 * db), (db))
SQLITE_FORWARD(int, sqlite3_prepare_v2, (sqlite3 * db, const char* sql, int n, sqlite3_stmt** stmt, const char** tail),
               (db, sql, n, stmt, tail))
SQLITE_FORWARD(int, sqlite3_step, (sqlite3_stmt * s), (s))
SQLITE_FORWARD(int, sqlite3_reset, (sqlite3_stmt * s), (s))
SQLITE_FORWARD(int, sqlite3_finalize, (sqlite3_stmt * s), (s))
SQLITE_FORWARD(int, sqlite3_clear_bindings, (sqlite3_stmt * s), (s))
SQLITE_FORWARD(int, sqlite3_bind_int64, (sqlite3_stmt * s, int i, sqlite3_int64 v), (s, i, v))
SQLITE_FORWARD(int, sqlite3_bind_text64,
               (sqlite3_stmt * s, int i, const char* v, sqlite3_uint64 n, void (*d)(void*), unsigned char enc),
               (s, i, v, n, d, enc))
SQLITE_FORWARD(int, sqlite3_bind_pointer, (sqlite3_stmt * s, int i, void* p, const char* type, void (*d)(void*)),
               (s, i, p, type, d))
SQLITE_FORWARD(int, sqlite3_column_bytes, (sqlite3_stmt * s, int i), (s, i))
SQLITE_FORWARD(sqlite3_int64, sqlite3_column_int64, (sqlite3_stmt * s, int i), (s, i))
SQLITE_FORWARD(const unsigned char*, sqlite3_column_text, (sqlite3_stmt * s, int i), (s, i))
SQLITE_FORWARD(int, sqlite3_create_function_v2,
               (sqlite3 * db, const char* name, int args, int flags, void* app,
                void (*fn)(sqlite3_context*, int, sqlite3_value**), void (*step)(sqlite3_context*, int, sqlite3_value**),
                void (*final)(sqlite3_context*), void (*destroy)(void*)),
               (db, name, args, flags, app, fn, step, final, destroy))
SQLITE_FORWARD(const unsigned char*, sqlite3_value_text, (sqlite3_value * v), (v))
SQLITE_FORWARD(int, sqlite3_value_bytes, (sqlite3_value * v), (v))
SQLITE_FORWARD(void, sqlite3_result_text64,
               (sqlite3_context * c, const char* text, sqlite3_uint64 n, void (*d)(void*), unsigned char encoding),
               (c, text, n, d, encoding))
SQLITE_FORWARD(void, sqlite3_result_error_nomem, (sqlite3_context * c), (c))
