#include "history/history_salvage.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "history/sqlite_db.h"

namespace store {

namespace {

// The highest id a damaged table is searched to when its last page cannot
// be read, and how many unreadable ids are tried one by one before the rest
// of a damaged stretch is given up.
constexpr std::int64_t kFarthestId = std::int64_t{1} << 40;
constexpr std::size_t kMostUnreadable = 100000;

// The first column of the first row, or nothing when the query cannot be
// read (a damaged page on its way) or gives NULL.
std::optional<std::int64_t> readInt(SqliteDb& db, const char* sql) {
    try {
        SqliteStatement st(db, sql);
        if (st.step() && !st.text(0).empty()) return st.integer(0);  // NULL reads as ""
    } catch (const SqliteError& e) {
        if (!e.corrupt()) throw;
    }
    return std::nullopt;
}

// Runs a copying statement with ?1 and ?2 the first and last id of a range
// over [first, last]; a range that fails as damaged is halved, down to
// single ids, whose failures are gathered in `unreadable`.
void copyByRanges(SqliteDb& db, const std::string& sql, std::int64_t first, std::int64_t last,
                  std::vector<std::int64_t>& unreadable) {
    SqliteStatement st(db, sql);
    std::vector<std::pair<std::int64_t, std::int64_t>> todo{{first, last}};
    while (!todo.empty()) {
        const auto [lo, hi] = todo.back();
        todo.pop_back();
        st.bind(1, lo).bind(2, hi);
        try {
            st.run();
            st.reset();
            continue;
        } catch (const SqliteError& e) {
            st.reset();
            if (!e.corrupt()) throw;
        }
        if (lo == hi) {
            unreadable.push_back(lo);
            continue;
        }
        if (unreadable.size() >= kMostUnreadable) continue;  // the rest of this stretch is given up
        const std::int64_t mid = lo + (hi - lo) / 2;
        todo.emplace_back(mid + 1, hi);  // the lower half first
        todo.emplace_back(lo, mid);
    }
}

}  // namespace

SalvageCount salvageRows(SqliteDb& db) {
    // The last id: from the table, else from an index of it, else as far
    // as anything is found.
    std::optional<std::int64_t> last = readInt(db, "SELECT max(id) FROM damaged.history");
    if (!last) last = readInt(db, "SELECT max(id) FROM damaged.history INDEXED BY history_time");
    const std::int64_t lastId = last.value_or(kFarthestId);
    const std::int64_t firstId = std::min<std::int64_t>(readInt(db, "SELECT min(id) FROM damaged.history").value_or(1), 1);
    const std::int64_t lastOutbox = readInt(db, "SELECT max(history_id) FROM damaged.outbox").value_or(lastId);
    const std::int64_t lastBook = readInt(db, "SELECT max(id) FROM damaged.address_book").value_or(kFarthestId);

    // The rows gather in temporary tables, each range in a statement of its
    // own: once a statement met a damaged page, SQLite refuses every later
    // write of the same transaction. The new file is written in one
    // transaction at the end, when nothing more is read of the damaged one.
    db.exec("CREATE TEMP TABLE saved_outbox AS SELECT * FROM main.outbox WHERE 0;"
            "CREATE UNIQUE INDEX temp.saved_outbox_id ON saved_outbox(history_id);"
            "CREATE TEMP TABLE saved_history AS SELECT * FROM main.history WHERE 0;"
            "CREATE UNIQUE INDEX temp.saved_history_id ON saved_history(id);"
            "CREATE TEMP TABLE saved_book AS SELECT * FROM main.address_book WHERE 0;"
            "CREATE UNIQUE INDEX temp.saved_book_id ON saved_book(id)");
    std::vector<std::int64_t> unreadable, ignored;
    // The rows not yet sent to a shared server first: they are nowhere else.
    copyByRanges(db, "INSERT OR IGNORE INTO saved_outbox SELECT * FROM damaged.outbox WHERE history_id BETWEEN ?1 AND ?2",
                 1, lastOutbox, ignored);
    copyByRanges(db,
                 "INSERT OR IGNORE INTO saved_history SELECT h.* FROM saved_outbox AS o CROSS JOIN damaged.history AS h "
                 "ON h.id = o.history_id WHERE o.history_id BETWEEN ?1 AND ?2",
                 1, lastOutbox, ignored);
    copyByRanges(db, "INSERT OR IGNORE INTO saved_history SELECT * FROM damaged.history WHERE id BETWEEN ?1 AND ?2",
                 firstId, lastId, unreadable);
    copyByRanges(db, "INSERT OR IGNORE INTO saved_book SELECT * FROM damaged.address_book WHERE id BETWEEN ?1 AND ?2", 1,
                 lastBook, ignored);

    SalvageCount count;
    // An index that still reads lists every row the table had; else each
    // id that could not be read counts as a row, up to the last one read.
    const auto missing = readInt(db, "SELECT count(*) FROM damaged.history INDEXED BY history_time "
                                     "WHERE id NOT IN (SELECT id FROM saved_history)");
    if (missing) {
        count.lost = *missing;
    } else {
        const std::int64_t lastKept = db.queryInt("SELECT coalesce(max(id), 0) FROM saved_history");
        count.lost = std::count_if(unreadable.begin(), unreadable.end(),
                                   [&](std::int64_t id) { return id > 0 && (last || id < lastKept); });
    }
    count.kept = db.queryInt("SELECT count(*) FROM saved_history");
    count.lostUnsent =
        db.queryInt("SELECT count(*) FROM saved_outbox WHERE history_id NOT IN (SELECT id FROM saved_history)");
    {
        SqliteTransaction t(db);
        db.exec("INSERT INTO main.history SELECT * FROM saved_history ORDER BY id;"
                "INSERT INTO main.address_book SELECT * FROM saved_book ORDER BY id;"
                "INSERT INTO main.outbox SELECT history_id FROM saved_outbox "
                "WHERE history_id IN (SELECT id FROM main.history) ORDER BY history_id");
        t.commit();
    }
    db.exec("DROP TABLE saved_outbox; DROP TABLE saved_history; DROP TABLE saved_book");
    return count;
}

}  // namespace store
