#pragma once
// The shared history's schema on a PostgreSQL server: made and migrated
// only by the administrator's `server init` (the stations never change
// it), its version kept in the table vp_schema, forward migrations only,
// each in one transaction.
#include <string>

namespace store {

class PgDb;

// The schema version this program reads and writes.
inline constexpr int kPgSchemaVersion = 4;
// The oldest server the statements run on (PostgreSQL 12).
inline constexpr int kPgMinServerVersion = 120000;
// The channel every change of the history is announced on.
inline constexpr char kPgHistoryChannel[] = "vamu_pelican_history";

// Throws PgError (TooOld, Encoding) for a server or database the history
// cannot live on.
void checkServer(PgDb& db);

// The database's schema version; 0 when it has none of ours.
int pgSchemaVersion(PgDb& db);

struct SchemaChange {
    int from = 0, to = 0;
};
// Creates the schema or brings it to this program's version. Throws
// PgError when the schema is newer than the program, or a statement fails
// (that migration is then rolled back whole).
SchemaChange initPgSchema(PgDb& db);

// The statements that let `role` read and write the rows of the history
// and the address book in `database`, but not change the schema.
std::string stationGrants(const std::string& database, const std::string& role);

}  // namespace store
