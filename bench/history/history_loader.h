#pragma once
// Fills a shared history quickly for the benchmarks: each part of rows is
// one statement that unnests an array per column, with the values the
// store's own insert writes (store::pgRowValues()): the row, its search
// text, its pieces and its number keys. Runs in the caller's transaction;
// the rows take their ids in the order given, oldest first, as a push
// would give them.
#include <cstddef>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "history/pg_db.h"
#include "history/pg_history_store.h"
#include "history/waybill_record.h"

namespace bench {

class HistoryLoader {
public:
    explicit HistoryLoader(store::PgDb& db) : db_(db) {
        // Each column's type, for the array that carries it.
        const store::PgResult types =
            db.exec("SELECT attname, format_type(atttypid, atttypmod) FROM pg_attribute "
                    "WHERE attrelid = 'history'::regclass AND attnum > 0 AND NOT attisdropped");
        std::map<std::string, std::string> typeOf;
        for (int i = 0; i < types.rows(); ++i) typeOf[types.text(i, 0)] = types.text(i, 1);
        const std::string columns = std::string(store::pgRowColumns()) + ", search";
        std::vector<std::string> names;
        for (std::size_t from = 0; from <= columns.size();) {
            const std::size_t comma = std::min(columns.find(", ", from), columns.size());
            names.push_back(columns.substr(from, comma - from));
            from = comma + 2;
        }
        std::string arrays;
        for (std::size_t i = 0; i < names.size(); ++i)
            arrays += "$" + std::to_string(i + 1) + "::" + typeOf.at(names[i]) + "[], ";
        const std::string grams = "$" + std::to_string(names.size() + 1) + "::text[]";
        const std::string keys = "$" + std::to_string(names.size() + 2) + "::text[]";
        sql_ = "WITH input AS (SELECT * FROM unnest(" + arrays + grams + ", " + keys + ") WITH ORDINALITY AS u(" +
               columns + ", grams, keys, n)), "
               "added AS (INSERT INTO history(" + columns + ") SELECT " + columns +
               " FROM input ORDER BY n RETURNING id, uid), "
               "pieces AS (INSERT INTO history_grams(id, grams) "
               "SELECT a.id, i.grams::text[] FROM added a JOIN input i USING (uid)) "
               "INSERT INTO history_numbers(key, id) "
               "SELECT k, a.id FROM added a JOIN input i USING (uid) CROSS JOIN LATERAL unnest(i.keys::text[]) k";
        width_ = names.size() + 2;
    }

    void load(std::span<const store::WaybillRecord> rows) {
        std::vector<std::vector<std::string>> columns(width_);
        for (const store::WaybillRecord& r : rows) {
            std::vector<std::string> values = store::pgRowValues(r);
            for (std::size_t k = 0; k < width_; ++k) columns[k].push_back(std::move(values[k]));
        }
        std::vector<std::string> params;
        params.reserve(width_);
        for (const std::vector<std::string>& column : columns) params.push_back(store::pgArray(column));
        db_.exec(sql_, params);
    }

private:
    store::PgDb& db_;
    std::string sql_;
    std::size_t width_ = 0;
};

}  // namespace bench
