#include "history/number_keys_sqlite.h"

#include <sqlite3.h>

#include <string>
#include <string_view>

#include "history/history_text.h"
#include "history/sqlite_db.h"

namespace store {

namespace {

std::string_view textOf(sqlite3_value* v) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return text ? std::string_view(text, static_cast<std::size_t>(sqlite3_value_bytes(v))) : std::string_view();
}

void numberKeysFunction(sqlite3_context* context, int, sqlite3_value** args) {
    try {
        // Keys are digits with an optional 'r': nothing to escape in JSON.
        std::string json = "[";
        for (const std::string& key : numberKeys(textOf(args[0]), textOf(args[1]), textOf(args[2]), textOf(args[3]))) {
            if (json.size() > 1) json += ',';
            json += '"' + key + '"';
        }
        json += ']';
        sqlite3_result_text64(context, json.data(), json.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    } catch (const std::bad_alloc&) {
        sqlite3_result_error_nomem(context);
    }
}

}  // namespace

void registerNumberKeys(SqliteDb& db) {
    db.check(sqlite3_create_function_v2(db.handle(), "vp_number_keys", 4,
                                        SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                                        numberKeysFunction, nullptr, nullptr, nullptr));
}

}  // namespace store
