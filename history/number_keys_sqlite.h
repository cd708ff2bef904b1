#pragma once
// The SQL function vp_number_keys(zip, tel, tracking, order_no): a row's
// number keys (history/history_text.h, numberKeys()) as a JSON array of
// texts, which the history's triggers keep in the table history_numbers.
namespace store {

class SqliteDb;

// Registers the function on the connection; needed before a row of the
// history is written or the index is made.
void registerNumberKeys(SqliteDb& db);

}  // namespace store
