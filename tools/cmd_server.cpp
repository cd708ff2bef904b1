// server init CONNINFO [--role NAME]: creates the shared history's schema on
// a PostgreSQL server, or brings it to this program's version, and prints
// the statements that let the stations' role read and write rows (but not
// change the schema). Run by the shop's administrator as the database's
// owner; the stations themselves never change the schema.
#include <cstdio>
#include <cstring>
#include <string>

#include "history/pg_db.h"
#include "history/pg_schema.h"
#include "tools/cli_commands.h"
#include "tools/cli_io.h"

namespace {

int usage() {
    std::fputs("usage: vamu_pelican_cli server init CONNINFO [--role NAME]\n"
               "  CONNINFO is a libpq connection string or a service name; connect as the\n"
               "  database's owner. NAME is the stations' role (default vamu_station).\n"
               "  Prints the GRANT statements for that role, ready for psql.\n",
               stderr);
    return 2;
}

}  // namespace

int cmdServer(int argc, char** argv) {
    if (argc < 3 || std::strcmp(argv[1], "init") != 0) return usage();
    if (!cli::conninfoAccepted(argv[2])) return 2;
    const std::string conninfo = store::normalisedConninfo(argv[2]);
    std::string role = "vamu_station";
    for (int i = 3; i < argc; ++i) {
        if (std::strcmp(argv[i], "--role") == 0 && i + 1 < argc && argv[i + 1][0] != '\0') role = argv[++i];
        else return usage();
    }
    return cli::runChecked([&] {
        store::PgDb db(conninfo, cli::kServerTimeout);
        const store::SchemaChange change = store::initPgSchema(db);
        std::string out = "-- database \"" + db.database() + "\": schema version " + std::to_string(change.from) +
                          " -> " + std::to_string(change.to) + "\n" +
                          "-- for the stations' role (CREATE ROLE " + role +
                          " LOGIN PASSWORD '…' first if it is new):\n" + store::stationGrants(db.database(), role);
        cli::writeStdout(out);
    });
}
