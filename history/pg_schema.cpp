#include "history/pg_schema.h"

#include <iterator>
#include <vector>

#include "history/history_text.h"
#include "history/pg_db.h"

namespace store {

namespace {

// Forward migrations: entry v takes a schema of version v to v + 1, one
// statement at a time inside one transaction.
//
// Texts that are compared by range (dates, completion keys) use the "C"
// collation, so ordering is by bytes as in the station's SQLite file and
// prefix searches use the indexes whatever the database's locale.
// history_grams holds every one-, two- and three-character piece of each
// searched field of a row (history/pg_grams.h): any query is found through
// its GIN index, one and two characters included. It is a table of its
// own so that the rows of the history stay narrow for reading.
const std::vector<std::vector<const char*>> kMigrations = {
    {
        R"sql(CREATE TABLE history(
  id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
  uid text NOT NULL UNIQUE,
  printed_at text COLLATE "C" NOT NULL,
  job bigint NOT NULL,
  printer text NOT NULL,
  feed text NOT NULL,
  zip text COLLATE "C" NOT NULL, add1 text COLLATE "C" NOT NULL, add2 text COLLATE "C" NOT NULL,
  name text COLLATE "C" NOT NULL, tel text COLLATE "C" NOT NULL, tel_key text COLLATE "C" NOT NULL,
  ship_date text NOT NULL, print_date boolean NOT NULL,
  de1 text NOT NULL, de2 text NOT NULL, de3 text NOT NULL,
  g1 text NOT NULL, g2 text NOT NULL, g3 text NOT NULL,
  time_band integer NOT NULL, special integer NOT NULL,
  print_sender boolean NOT NULL,
  my_zip text NOT NULL, my_add1 text NOT NULL, my_add2 text NOT NULL,
  my_name text NOT NULL, my_tel text NOT NULL,
  search text NOT NULL,
  order_no text NOT NULL DEFAULT '', order_items text NOT NULL DEFAULT '',
  tracking text NOT NULL DEFAULT ''))sql",
        "CREATE INDEX history_time ON history(printed_at)",
        "CREATE INDEX history_by_order ON history(order_no) WHERE order_no <> ''",
        "CREATE INDEX history_by_tracking ON history(tracking) WHERE tracking <> ''",
        "CREATE INDEX history_by_tel ON history(tel_key, name, zip, add1, add2, tel)",
        "CREATE INDEX history_by_name ON history(name, tel_key, zip, add1, add2, tel)",
        // The pieces were meant to be kept out of the table's pages
        // (toast_tuple_target), so that finding ids through the index reads
        // few pages. PostgreSQL moves values out only from rows of over
        // about 2 KB, though: a row's pieces (about 1.3 KB) stay in its
        // page, and a text in many rows reads as many pages through the
        // index (PgHistoryStore::list() reads such a text from the table).
        R"sql(CREATE TABLE history_grams(
  id bigint PRIMARY KEY REFERENCES history(id) ON DELETE CASCADE,
  grams text[] NOT NULL) WITH (toast_tuple_target = 128))sql",
        "ALTER TABLE history_grams ALTER COLUMN grams SET STORAGE EXTERNAL",
        "CREATE INDEX history_grams_index ON history_grams USING gin(grams)",
        R"sql(CREATE TABLE address_book(
  id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
  name text COLLATE "C" NOT NULL, tel text NOT NULL, tel_key text COLLATE "C" NOT NULL,
  zip text NOT NULL, add1 text NOT NULL, add2 text NOT NULL,
  updated_at text NOT NULL,
  UNIQUE(name, tel_key)))sql",
        "CREATE INDEX address_book_by_tel ON address_book(tel_key)",
        // Every station's history window listens: one announcement per
        // statement that added, changed or removed rows, whoever ran it.
        R"sql(CREATE FUNCTION history_changed() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
  PERFORM pg_notify('vamu_pelican_history', '');
  RETURN NULL;
END $$)sql",
        R"sql(CREATE TRIGGER history_changed AFTER INSERT OR UPDATE OR DELETE ON history
  FOR EACH STATEMENT EXECUTE FUNCTION history_changed())sql",
    },
    // 1 -> 2: the platform an order came from and its parcel id there, for
    // the shipping file each platform reads.
    {
        "ALTER TABLE history ADD COLUMN platform text NOT NULL DEFAULT '', "
        "ADD COLUMN shipment text NOT NULL DEFAULT ''",
    },
    // 2 -> 3: numbers (postal codes, telephone, order and tracking numbers) are
    // searched as digits through keys of their own (history/history_text.h,
    // numberKeys()): the pieces of digits ("100", "000") are in nearly
    // every row. The keys of the rows there already are made afterwards
    // (fillNumberKeys()), in the same transaction.
    {
        R"sql(CREATE TABLE IF NOT EXISTS history_numbers(
  key text COLLATE "C" NOT NULL,
  id bigint NOT NULL REFERENCES history(id) ON DELETE CASCADE,
  PRIMARY KEY (id, key)))sql",
        "CREATE INDEX IF NOT EXISTS history_numbers_by_key ON history_numbers(key, id)",
    },
    // 3 -> 4: the form each waybill was printed on (its id), which names
    // the carrier its tracking number belongs to. Rows printed before were
    // all on the built-in form and keep it empty.
    {
        "ALTER TABLE history ADD COLUMN IF NOT EXISTS form text NOT NULL DEFAULT ''",
    },
};

// The number keys of every row that has none yet, a part at a time.
void fillNumberKeys(PgDb& db) {
    constexpr int kPart = 5000;
    for (std::string after = "0";;) {
        const PgResult rows = db.exec(
            "SELECT id, zip, tel, tracking, order_no FROM history WHERE id > $1 AND NOT EXISTS "
            "(SELECT 1 FROM history_numbers n WHERE n.id = history.id) ORDER BY id LIMIT $2",
            {after, std::to_string(kPart)});
        if (rows.rows() == 0) return;
        std::vector<std::string> keys, ids;
        for (int i = 0; i < rows.rows(); ++i)
            for (std::string& key : numberKeys(rows.text(i, 1), rows.text(i, 2), rows.text(i, 3), rows.text(i, 4))) {
                keys.push_back(std::move(key));
                ids.push_back(rows.text(i, 0));
            }
        db.exec("INSERT INTO history_numbers(key, id) SELECT unnest($1::text[]), unnest($2::bigint[]) "
                "ON CONFLICT DO NOTHING",
                {pgArray(keys), pgArray(ids)});
        after = rows.text(rows.rows() - 1, 0);
    }
}

// A name as a quoted SQL identifier.
std::string identifier(const std::string& name) {
    std::string out = "\"";
    for (const char c : name) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

}  // namespace

void checkServer(PgDb& db) {
    if (db.serverVersion() < kPgMinServerVersion)
        throw PgError(PgError::Kind::TooOld, "サーバーの PostgreSQL が古すぎます（" + db.parameter("server_version") +
                                                 "。12 以降が必要です）");
    // Waybills carry every character of Shift-JIS (CP932); only a UTF-8
    // database holds them all. Refused here, before any record is sent.
    const std::string encoding = db.parameter("server_encoding");
    if (encoding != "UTF8")
        throw PgError(PgError::Kind::Encoding, "データベースの文字コードが " + encoding +
                                                   " です。UTF8 で作ったデータベースを指定して下さい");
}

int pgSchemaVersion(PgDb& db) {
    const PgResult exists = db.exec("SELECT to_regclass('vp_schema') IS NOT NULL");
    if (!exists.boolean(0, 0)) return 0;
    const PgResult v = db.exec("SELECT version FROM vp_schema");
    return v.rows() == 0 ? 0 : static_cast<int>(v.integer(0, 0));
}

SchemaChange initPgSchema(PgDb& db) {
    checkServer(db);
    {
        PgTransaction t(db);
        db.exec("CREATE TABLE IF NOT EXISTS vp_schema(one boolean PRIMARY KEY DEFAULT true CHECK (one), "
                "version integer NOT NULL)");
        db.exec("INSERT INTO vp_schema(version) VALUES (0) ON CONFLICT DO NOTHING");
        t.commit();
    }
    SchemaChange change;
    for (bool first = true;; first = false) {
        PgTransaction t(db);
        // The row lock keeps two administrators from running one migration twice.
        const int version = static_cast<int>(db.exec("SELECT version FROM vp_schema FOR UPDATE").integer(0, 0));
        if (first) change.from = version;
        change.to = version;
        if (version > kPgSchemaVersion)
            throw PgError(PgError::Kind::NotInitialised,
                          "共有データベースはこのプログラムより新しい版の形式です（版 " + std::to_string(version) + "）");
        if (version == kPgSchemaVersion) break;
        for (const char* statement : kMigrations[static_cast<std::size_t>(version)]) db.exec(statement);
        if (version + 1 == 3) fillNumberKeys(db);
        db.exec("UPDATE vp_schema SET version = $1", {std::to_string(version + 1)});
        t.commit();
    }
    return change;
}

std::string stationGrants(const std::string& database, const std::string& role) {
    const std::string r = identifier(role);
    return "GRANT CONNECT ON DATABASE " + identifier(database) + " TO " + r + ";\n" +
           "GRANT USAGE ON SCHEMA public TO " + r + ";\n" +
           "GRANT SELECT ON vp_schema TO " + r + ";\n" +
           "GRANT SELECT, INSERT, UPDATE, DELETE ON history TO " + r + ";\n" +
           "GRANT SELECT, INSERT, UPDATE, DELETE ON history_grams TO " + r + ";\n" +
           "GRANT SELECT, INSERT, UPDATE, DELETE ON history_numbers TO " + r + ";\n" +
           "GRANT SELECT, INSERT, UPDATE, DELETE ON address_book TO " + r + ";\n";
}

}  // namespace store
