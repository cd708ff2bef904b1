#pragma once
// Saving what can be read from a damaged history file. SQLite stops a whole
// scan at the first damaged page, so one bad page would hide every row; here
// the rows are copied by ranges of their ids, and a range that cannot be
// read is halved until only the ids on the damaged pages are left out.
#include <cstdint>

namespace store {

class SqliteDb;

struct SalvageCount {
    std::int64_t kept = 0;        // history rows copied
    std::int64_t lost = 0;        // history rows that could not be read
    std::int64_t lostUnsent = 0;  // of those, rows still waiting for a shared server
};

// Copies into the main database of `db` (the current schema, no rows) every
// row that can be read of the history attached as "damaged" (same schema
// version): the rows of the outbox first, then the rest of the history and
// the address book, all in one transaction. The lost rows are counted from
// an index that still reads, else from the ids that could not be read.
// Throws SqliteError when the copy itself fails (disk full), or with a
// corrupt code when not even the table's structure can be read.
SalvageCount salvageRows(SqliteDb& db);

}  // namespace store
