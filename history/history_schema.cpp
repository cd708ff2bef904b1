#include "history/history_schema.h"

#include "history/sqlite_db.h"

namespace store {

void requireHistorySchema(SqliteDb& db) {
    const std::int64_t objects = db.queryInt("SELECT count(*) FROM sqlite_master");
    if (objects == 0 && db.queryInt("PRAGMA user_version") == 0) return;  // new, nothing to lose
    // Every version of the history has these two tables; a newer version
    // may add others, so only their presence is asked for.
    const std::int64_t ours = db.queryInt(
        "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN ('history', 'address_book')");
    const std::int64_t printedAt =
        db.queryInt("SELECT count(*) FROM pragma_table_info('history') WHERE name = 'printed_at'");
    if (ours != 2 || printedAt != 1) throw NotHistoryDatabase();
}

}  // namespace store
