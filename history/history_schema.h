#pragma once
// Telling our history database from any other SQLite file before anything
// is written to it: opening the history switches the journal to WAL, sets
// the schema version and creates tables, which must never happen to
// another program's database that was named by mistake.
#include <stdexcept>
#include <string>

namespace store {

class SqliteDb;

// The refusal of a database that is not a history database; the file is
// left as it was.
class NotHistoryDatabase : public std::runtime_error {
public:
    NotHistoryDatabase() : std::runtime_error("履歴のデータベースではありません") {}
    // The same, naming the file.
    explicit NotHistoryDatabase(const std::string& path)
        : std::runtime_error(path + ": 履歴のデータベースではありません（ファイルはそのままです）") {}
};

// Throws NotHistoryDatabase unless the open database is empty (a new file,
// schema version 0, no objects) or holds the history's own tables. Only
// reads; a file that is no database at all raises SqliteError as usual.
void requireHistorySchema(SqliteDb& db);

}  // namespace store
