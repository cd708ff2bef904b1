#pragma once
// What the program does with the print history and the address book,
// whichever database keeps them: the station's own SQLite file
// (HistoryStore) or a PostgreSQL server that several stations share
// (PgHistoryStore). Texts go in and come out as Shift-JIS, as the entry
// form holds them; each store converts at its own edge.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "history/waybill_record.h"

namespace store {

struct HistoryQuery {
    // Substring (Shift-JIS) searched in name, telephone, postal code,
    // address, goods, order and tracking number; width and case of Latin
    // letters and digits and the width of katakana do not matter. A number
    // (four or more digits, with hyphens or blanks at most) is looked up
    // by its digits instead, whatever hyphens either side has: the start of
    // a postal code, telephone, order or tracking number or of one of
    // their groups, or the end of a telephone, order or tracking number
    // (history/history_text.h, numberKeys()).
    std::string search;
    // Print dates "yyyy-mm-dd", both inclusive; empty leaves the end open.
    std::string fromDate, toDate;
    // Exact order number (Shift-JIS) and tracking number; empty: any.
    std::string orderNo, tracking;
    // Only rows with both an order number and a tracking number whose print
    // is known to have gone out: the shipped orders a platform is told about.
    bool shippedOnly = false;
    // At most this many rows, newest first; a negative limit is none.
    int limit = 1000;
};

enum class CompleteBy { Telephone, Name };

class HistoryBackend {
public:
    HistoryBackend() = default;
    virtual ~HistoryBackend() = default;
    HistoryBackend(const HistoryBackend&) = delete;
    HistoryBackend& operator=(const HistoryBackend&) = delete;

    // The store can be read but not written (made by a newer version).
    virtual bool readOnly() const = 0;
    // A message for the user (UTF-8) about the store's state; returned
    // once, then empty.
    virtual std::string takeNotice() = 0;

    // Records the rows in one transaction: all of them or none. A row's
    // empty time means now; an empty uid gets a fresh one. A row whose uid
    // the store already has is left as it is. Throws when the store cannot
    // be written; nothing is recorded then.
    virtual void record(std::span<const WaybillRecord> rows) = 0;
    void record(const WaybillRecord& row) { record(std::span(&row, 1)); }

    // Rows matching the query, newest first, with their ids.
    virtual std::vector<WaybillRecord> list(const HistoryQuery& query) = 0;
    // Removes the rows with these ids (one transaction).
    virtual void remove(std::span<const std::int64_t> ids) = 0;
    // Sets or corrects (empty: clears) the tracking number of a row; the
    // search finds the row by its new number. The caller has checked the
    // number; anything but twelve digits or empty throws
    // std::invalid_argument, and nothing is stored.
    virtual void setTracking(std::int64_t id, const std::string& tracking) = 0;
    // The tracking number of the newest row this station printed in this
    // feed mode (ComboBox_SEL's text; empty: any): the last form used from
    // that printer's own stack. Empty when that row has none.
    virtual std::string lastTracking(const std::string& feedMode) = 0;
    // Rows that hold any of these tracking numbers, newest first: a number
    // is on one form only, so a second row with it is a mistake.
    virtual std::vector<WaybillRecord> holdersOf(std::span<const std::string> trackings) = 0;

    // Rows recorded while printing (job WaybillRecord::kJobPrinting), by
    // record id: the print service took their job (`job`, 0 when it has no
    // id, as for a PDF), and they count as printed from now on.
    virtual void markPrinted(std::span<const std::string> uids, std::int64_t job) = 0;
    // The print service refused their job: nothing was printed, and rows
    // still recorded as printing go.
    virtual void forgetPrinting(std::span<const std::string> uids) = 0;

    // Keeps a consignee in the address book under its name; one with the
    // same name and telephone number is replaced. Throws
    // std::invalid_argument for an empty name.
    virtual void keepConsignee(const Consignee& consignee) = 0;
    // The address book by name.
    virtual std::vector<Consignee> addressBook() = 0;
    // Consignees whose telephone number (digits only, any width) or name
    // starts with the prefix: the address book's first, then those of the
    // history; each consignee once, at most `limit`. Nothing for an empty
    // prefix.
    virtual std::vector<Consignee> complete(CompleteBy by, std::string_view sjisPrefix, int limit) = 0;
    std::vector<Consignee> complete(CompleteBy by, std::string_view sjisPrefix) {
        return complete(by, sjisPrefix, kCompletions);
    }
    static constexpr int kCompletions = 10;
};

// Throws std::invalid_argument unless `tracking` is 2 to 20 digits or
// empty: the stores' last line against a number that was never checked (the
// rule of the row's form is checked before).
void requireTrackingForm(const std::string& tracking);

// A fresh record id: 32 lower-case hex digits from the system's random
// source, made when the waybill is printed, so that a record sent twice
// (after a lost answer, or by a second push) is known as the same.
std::string newRecordUid();

}  // namespace store
