#include "history/pg_history_store.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "history/history_store.h"
#include "history/history_text.h"
#include "history/pg_db.h"
#include "history/pg_grams.h"
#include "history/pg_schema.h"
#include "text/sjis.h"
#include "text/sjis_convert.h"

namespace store {

namespace {

// Columns of a history row in the order pgRowValues() and readRow() use.
constexpr const char kColumns[] =
    "printed_at, job, printer, feed, zip, add1, add2, name, tel, tel_key, ship_date, print_date, "
    "de1, de2, de3, g1, g2, g3, time_band, special, print_sender, my_zip, my_add1, my_add2, "
    "my_name, my_tel, order_no, order_items, tracking, uid, platform, shipment, form";
// The parameters of an insert: the columns, then search and grams. A row
// whose record id is there already is skipped, its grams with it.
constexpr const char kInsert[] =
    "WITH added AS (INSERT INTO history(printed_at, job, printer, feed, zip, add1, add2, name, tel, tel_key, "
    "ship_date, print_date, de1, de2, de3, g1, g2, g3, time_band, special, print_sender, my_zip, my_add1, my_add2, "
    "my_name, my_tel, order_no, order_items, tracking, uid, platform, shipment, form, search) VALUES ($1, $2, $3, $4, "
    "$5, $6, $7, $8, $9, $10, $11, $12, $13, $14, $15, $16, $17, $18, $19, $20, $21, $22, $23, $24, $25, $26, $27, "
    "$28, $29, $30, $31, $32, $33, $34) "
    "ON CONFLICT (uid) DO NOTHING RETURNING id), "
    "numbers AS (INSERT INTO history_numbers(key, id) SELECT k, id FROM added, unnest($36::text[]) k) "
    "INSERT INTO history_grams(id, grams) SELECT id, $35::text[] FROM added";
// A row the server has already takes the tracking number of the insert's
// parameters ($29), with the search text and pieces that hold it.
// The same for the job id ($2): a row sent while its print was going on
// takes the job once the print service has it.
constexpr const char kTakeTracking[] =
    "WITH changed AS (UPDATE history SET tracking = $1, search = $2, job = $5 WHERE uid = $3 "
    "AND (tracking <> $1 OR job <> $5) RETURNING id), "
    "gone AS (DELETE FROM history_numbers n USING changed WHERE n.id = changed.id AND n.key <> ALL($6::text[])), "
    "numbers AS (INSERT INTO history_numbers(key, id) SELECT k, id FROM changed, unnest($6::text[]) k "
    "ON CONFLICT DO NOTHING) "
    "UPDATE history_grams SET grams = $4::text[] FROM changed WHERE history_grams.id = changed.id";
// The number keys of one row ($1) become those of $2.
constexpr const char kDropNumbers[] = "DELETE FROM history_numbers WHERE id = $1 AND key <> ALL($2::text[])";
constexpr const char kAddNumbers[] =
    "INSERT INTO history_numbers(key, id) SELECT unnest($2::text[]), $1 ON CONFLICT DO NOTHING";

std::string utf8(std::string_view sjisText) { return sjis::toUtf8(sjisText); }
std::string sjisOf(const std::string& utf8Text) { return sjis::fromUtf8Lossy(utf8Text); }
std::string flag(bool on) { return on ? "t" : "f"; }

template <std::size_t N>
std::string bits(const std::array<bool, N>& boxes) {
    int v = 0;
    for (std::size_t i = 0; i < N; ++i)
        if (boxes[i]) v |= 1 << i;
    return std::to_string(v);
}

template <std::size_t N>
std::array<bool, N> boxesOf(std::int64_t v) {
    std::array<bool, N> boxes{};
    for (std::size_t i = 0; i < N; ++i) boxes[i] = ((v >> i) & 1) != 0;
    return boxes;
}

}  // namespace

std::vector<std::string> pgRowValues(const WaybillRecord& r) {
    const Consignee& c = r.consignee;
    const std::string search = searchText(r);
    return {r.time.empty() ? localTimestamp() : r.time,
            std::to_string(r.job),
            utf8(r.printer),
            utf8(r.feedMode),
            utf8(c.zip),
            utf8(c.add1),
            utf8(c.add2),
            utf8(c.name),
            utf8(c.tel),
            telKey(c.tel),
            utf8(r.date),
            flag(r.printDate),
            utf8(r.deDate1),
            utf8(r.deDate2),
            utf8(r.deDate3),
            utf8(r.g1),
            utf8(r.g2),
            utf8(r.g3),
            bits(r.timeBand),
            bits(r.special),
            flag(r.printSender),
            utf8(r.myZip),
            utf8(r.myAdd1),
            utf8(r.myAdd2),
            utf8(r.myName),
            utf8(r.myTel),
            utf8(r.orderNo),
            utf8(r.orderItems),
            utf8(r.tracking),
            r.uid.empty() ? newRecordUid() : r.uid,
            utf8(r.platform),
            utf8(r.shipment),
            r.form,
            search,
            pgArray(rowGrams(search)),
            pgArray(numberKeys(r))};
}

const char* pgRowColumns() { return kColumns; }

namespace {

// Reads row `i` of a result selected as "id, <kColumns>".
WaybillRecord readRow(const PgResult& res, int i) {
    WaybillRecord r;
    Consignee& c = r.consignee;
    int k = 0;
    const auto text = [&] { return sjisOf(res.text(i, k++)); };
    r.id = res.integer(i, k++);
    r.time = res.text(i, k++);
    r.job = res.integer(i, k++);
    r.printer = text();
    r.feedMode = text();
    c.zip = text();
    c.add1 = text();
    c.add2 = text();
    c.name = text();
    c.tel = text();
    ++k;  // tel_key
    r.date = text();
    r.printDate = res.boolean(i, k++);
    r.deDate1 = text();
    r.deDate2 = text();
    r.deDate3 = text();
    r.g1 = text();
    r.g2 = text();
    r.g3 = text();
    r.timeBand = boxesOf<6>(res.integer(i, k++));
    r.special = boxesOf<5>(res.integer(i, k++));
    r.printSender = res.boolean(i, k++);
    r.myZip = text();
    r.myAdd1 = text();
    r.myAdd2 = text();
    r.myName = text();
    r.myTel = text();
    r.orderNo = text();
    r.orderItems = text();
    r.tracking = text();
    r.uid = res.text(i, k++);
    r.platform = text();
    r.shipment = text();
    r.form = res.text(i, k++);
    return r;
}

Consignee readConsignee(const PgResult& res, int i) {
    return Consignee{sjisOf(res.text(i, 0)), sjisOf(res.text(i, 1)), sjisOf(res.text(i, 2)), sjisOf(res.text(i, 3)),
                     sjisOf(res.text(i, 4))};
}

// A LIKE pattern for texts that start with `prefix`.
std::string startsWith(std::string_view prefix) {
    std::string out;
    for (const char ch : prefix) {
        if (ch == '\\' || ch == '%' || ch == '_') out += '\\';
        out += ch;
    }
    return out + "%";
}

}  // namespace

PgHistoryStore::PgHistoryStore(std::string conninfo, Millis timeout)
    : conninfo_(std::move(conninfo)), timeout_(timeout) {
    PgDb& d = db();
    checkServer(d);
    const int version = pgSchemaVersion(d);
    if (version == 0)
        throw PgError(PgError::Kind::NotInitialised,
                      "共有データベースの準備ができていません（管理者が vamu_pelican_cli server init を実行して下さい）");
    if (version < kPgSchemaVersion)
        throw PgError(PgError::Kind::NotInitialised,
                      "共有データベースの形式が古いため使えません（管理者が vamu_pelican_cli server init を実行して下さい）");
    if (version > kPgSchemaVersion) {
        readOnly_ = true;
        notice_ = "共有データベースはこのプログラムより新しい版で作られています。読み取り専用で使います";
    }
    const PgResult rights = d.exec(
        "SELECT has_table_privilege('history', 'SELECT') AND has_table_privilege('history_grams', 'SELECT') AND "
        "has_table_privilege('history_numbers', 'SELECT') AND "
        "has_table_privilege('address_book', 'SELECT'), "
        "has_table_privilege('history', 'INSERT') AND has_table_privilege('history', 'DELETE') AND "
        "has_table_privilege('history', 'UPDATE') AND "
        "has_table_privilege('history_grams', 'INSERT') AND has_table_privilege('history_grams', 'UPDATE') AND "
        "has_table_privilege('history_numbers', 'INSERT') AND has_table_privilege('history_numbers', 'DELETE') AND "
        "has_table_privilege('address_book', 'INSERT') AND has_table_privilege('address_book', 'UPDATE')");
    if (!rights.boolean(0, 0) || (!readOnly_ && !rights.boolean(0, 1)))
        throw PgError(PgError::Kind::NoRights,
                      "共有データベースの表を読み書きする権限がありません（管理者が server init の表示する GRANT "
                      "を実行して下さい）");
}

PgHistoryStore::~PgHistoryStore() = default;

PgDb& PgHistoryStore::db() {
    if (!db_ || db_->broken()) db_ = std::make_unique<PgDb>(conninfo_, timeout_);
    return *db_;
}

template <class F>
auto PgHistoryStore::withDb(F&& operation) {
    // A connection kept from earlier may have died with a server restart
    // without a word; that shows only on its next use. One fresh attempt
    // then: every operation here may run twice (record ids, upserts).
    // A dead connection fails at once; one that waited out (most of) its
    // time-out did not die, the server hangs: another attempt would only
    // double the wait.
    const bool reused = db_ && !db_->broken();
    const auto started = std::chrono::steady_clock::now();
    try {
        return operation(db());
    } catch (const PgError& e) {
        if (!reused || !e.unreachable() || std::chrono::steady_clock::now() - started >= timeout_ / 2) throw;
    }
    return operation(db());
}

void PgHistoryStore::setTimeout(Millis timeout) {
    timeout_ = timeout;
    if (db_) db_->setTimeout(timeout);
}

void PgHistoryStore::writable() const {
    if (readOnly_)
        throw PgError(PgError::Kind::NoRights, "共有データベースはこのプログラムより新しい版のため、書き込めません");
}

std::string PgHistoryStore::takeNotice() { return std::exchange(notice_, {}); }

void PgHistoryStore::record(std::span<const WaybillRecord> rows) { recordNew(rows); }

std::size_t PgHistoryStore::recordNew(std::span<const WaybillRecord> rows,
                                      const std::function<bool(const WaybillRecord&)>& ownTracking) {
    if (rows.empty()) return 0;
    writable();
    std::vector<std::vector<std::string>> params;
    params.reserve(rows.size());
    for (const WaybillRecord& r : rows) params.push_back(pgRowValues(r));
    return withDb([&](PgDb& d) {
        std::size_t added = 0;
        PgTransaction t(d);
        for (std::size_t i = 0; i < params.size(); ++i) {
            const std::vector<std::string>& p = params[i];
            if (d.exec(kInsert, p).changed() > 0) ++added;
            else if (ownTracking && ownTracking(rows[i])) d.exec(kTakeTracking, {p[28], p[33], p[29], p[34], p[1], p[35]});
        }
        t.commit();
        return added;
    });
}

std::set<std::string> PgHistoryStore::missingUids(const std::vector<std::string>& uids) {
    if (uids.empty()) return {};
    const std::string all = pgArray(uids);
    const PgResult res = withDb([&](PgDb& d) {
        return d.exec("SELECT u FROM unnest($1::text[]) u WHERE NOT EXISTS (SELECT 1 FROM history WHERE uid = u)",
                      {all});
    });
    std::set<std::string> missing;
    for (int i = 0; i < res.rows(); ++i) missing.insert(res.text(i, 0));
    return missing;
}

std::vector<WaybillRecord> PgHistoryStore::list(const HistoryQuery& query) {
    const std::string needle =
        sjis::trimView(query.search).empty() ? std::string() : searchFold(utf8(sjis::trim(query.search)));
    // A number is looked up by its digits in the number keys; other text
    // as a substring, through the index of its pieces.
    const std::string digits = numberQuery(needle);
    const std::vector<std::string> forms =
        needle.empty() || !digits.empty() ? std::vector<std::string>() : std::vector<std::string>{needle};
    bool exactByIndex = true;  // every form is one piece of the index
    for (const std::string& f : forms) exactByIndex = exactByIndex && queryGrams(f) == std::vector<std::string>{f};
    // The rows among `ids` (or, without ids, among those in (after, upTo])
    // that hold the text and lie in the date range, newest first, at most
    // `limit`.
    const auto select = [&](PgDb& d, const std::string& ids, const std::string& after, const std::string& upTo,
                            std::int64_t limit) {
        std::vector<std::string> params;
        const auto param = [&](std::string value) {
            params.push_back(std::move(value));
            return "$" + std::to_string(params.size());
        };
        std::string sql = std::string("SELECT id, ") + kColumns + " FROM history WHERE true";
        if (!ids.empty()) sql += " AND id = ANY(" + param(ids) + "::bigint[])";
        if (!after.empty()) sql += " AND id > " + param(after);
        if (!upTo.empty()) sql += " AND id <= " + param(upTo);
        // Rows found through the index of single pieces hold the text.
        if (!forms.empty() && (ids.empty() || !exactByIndex)) {
            std::string any;
            for (const std::string& f : forms)
                any += (any.empty() ? "" : " OR ") + std::string("strpos(search, ") + param(f) + ") > 0";
            sql += " AND (" + any + ")";
        }
        if (!query.fromDate.empty()) sql += " AND printed_at >= " + param(query.fromDate);
        // "~" sorts after the blank that follows the date in every stamp.
        if (!query.toDate.empty()) sql += " AND printed_at < " + param(query.toDate + "~");
        if (!query.orderNo.empty()) sql += " AND order_no = " + param(utf8(query.orderNo));
        if (!query.tracking.empty()) sql += " AND tracking = " + param(query.tracking);
        if (query.shippedOnly) sql += " AND order_no <> '' AND tracking <> '' AND job <> -1";
        sql += " ORDER BY id DESC";
        if (limit >= 0) sql += " LIMIT " + param(std::to_string(limit));
        return d.exec(sql, params);
    };
    std::vector<WaybillRecord> rows;
    const auto take = [&](const PgResult& res) {
        for (int i = 0; i < res.rows(); ++i) rows.push_back(readRow(res, i));
    };
    if (needle.empty()) {
        take(withDb([&](PgDb& d) { return select(d, "", "", "", query.limit); }));
        return rows;
    }
    // A text found in many rows fills the window from the newest rows
    // alone, read straight from the table. Other texts are looked up in
    // the index, a page of ids at a time from the newest down, so that
    // only as many rows are read as the window shows. The index costs as
    // much as the rows that match in the whole history, the table only as
    // many rows as it takes to fill the window: a sample of the newest
    // rows tells how many that is. A text whose rate in the sample fills
    // the window (with half as much again for chance) within the newest
    // rows that may be read is read from them; any other is looked up in
    // the index at once, not tested row by row.
    withDb([&](PgDb& d) {
        rows.clear();
        const std::int64_t newest = d.exec("SELECT coalesce(max(id), 0) FROM history").integer(0, 0);
        std::int64_t upTo = newest;
        if (query.limit >= 0 && digits.empty()) {
            const std::int64_t sample = std::min(recentRows_, sampleRows_);
            upTo = newest - sample;
            take(select(d, "", std::to_string(upTo), std::to_string(newest), query.limit));
            const auto found = static_cast<std::int64_t>(rows.size());
            const std::int64_t needed = found == 0 ? 0 : (query.limit - found) * sample * 3 / (2 * found);
            if (found > 0 && found < query.limit && needed <= recentRows_ - sample) {
                const std::int64_t from = upTo - needed;
                take(select(d, "", std::to_string(from), std::to_string(upTo), query.limit - found));
                upTo = from;
            }
        }
        const auto missing = [&] {
            return query.limit < 0 ? std::int64_t{-1} : query.limit - static_cast<std::int64_t>(rows.size());
        };
        if (missing() == 0) return 0;
        // Ids come from the index as a bitmap, never by walking the table
        // in id order and testing each row's pieces, which the planner
        // would pick for a text it wrongly takes to be common.
        PgTransaction t(d);
        // Nor is a look-up of a common text worth compiling (JIT): that
        // takes longer than the look-up.
        d.exec("SELECT set_config('enable_seqscan', 'off', true), set_config('enable_indexscan', 'off', true), "
               "set_config('jit', 'off', true)");
        while (missing() != 0 && upTo > 0) {
            const std::int64_t page = std::max(missing() * 2, indexPage_);
            std::vector<std::string> params = {std::to_string(upTo), std::to_string(page)};
            std::string candidates;
            if (!digits.empty()) {
                for (const std::string& prefix : numberPrefixes(digits)) {
                    params.push_back(prefix);
                    params.push_back(prefixBound(prefix));
                }
                candidates = "SELECT DISTINCT id FROM history_numbers WHERE ((key >= $3 AND key < $4) OR "
                             "(key >= $5 AND key < $6))";
            } else {
                params.push_back(pgArray(queryGrams(needle)));
                candidates = "SELECT id FROM history_grams WHERE grams @> $3::text[]";
            }
            const PgResult found = d.exec(candidates + " AND id <= $1 ORDER BY id DESC LIMIT $2", params);
            if (found.rows() == 0) break;
            std::vector<std::string> ids;
            ids.reserve(static_cast<std::size_t>(found.rows()));
            for (int i = 0; i < found.rows(); ++i) ids.push_back(found.text(i, 0));
            take(select(d, pgArray(ids), "", "", missing()));
            if (found.rows() < page) break;
            upTo = found.integer(found.rows() - 1, 0) - 1;
        }
        t.commit();
        return 0;
    });
    return rows;
}

void PgHistoryStore::remove(std::span<const std::int64_t> ids) {
    if (ids.empty()) return;
    writable();
    std::vector<std::string> texts;
    for (const std::int64_t id : ids) texts.push_back(std::to_string(id));
    deleteWhere("id = ANY($1::bigint[])", pgArray(texts));
}

void PgHistoryStore::setTracking(std::int64_t id, const std::string& tracking) { setTrackingOf(id, tracking); }

std::string PgHistoryStore::setTrackingOf(std::int64_t id, const std::string& tracking) {
    requireTrackingForm(tracking);
    writable();
    return withDb([&](PgDb& d) {
        PgTransaction t(d);
        // The row is locked while its search text is made from it, so that
        // a correction from another station cannot slip in between.
        const PgResult res =
            d.exec(std::string("SELECT id, ") + kColumns + " FROM history WHERE id = $1 FOR UPDATE", {std::to_string(id)});
        if (res.rows() == 0) return std::string();
        WaybillRecord r = readRow(res, 0);
        r.tracking = tracking;
        // The search text and its pieces hold the tracking number.
        const std::string search = searchText(r);
        d.exec("UPDATE history SET tracking = $1, search = $2 WHERE id = $3", {tracking, search, std::to_string(id)});
        d.exec("UPDATE history_grams SET grams = $1::text[] WHERE id = $2",
               {pgArray(rowGrams(search)), std::to_string(id)});
        const std::string keys = pgArray(numberKeys(r));
        d.exec(kDropNumbers, {std::to_string(id), keys});
        d.exec(kAddNumbers, {std::to_string(id), keys});
        t.commit();
        return r.uid;
    });
}

// The server keeps the rows of every station, and which one printed last
// on which stack of forms is not known here: no number is proposed.
std::string PgHistoryStore::lastTracking(const std::string&) { return {}; }

std::vector<WaybillRecord> PgHistoryStore::holdersOf(std::span<const std::string> trackings) {
    std::vector<std::string> numbers;
    for (const std::string& t : trackings)
        if (!t.empty()) numbers.push_back(t);
    if (numbers.empty()) return {};
    const std::string all = pgArray(numbers);
    return withDb([&](PgDb& d) {
        const PgResult res = d.exec(std::string("SELECT id, ") + kColumns +
                                        " FROM history WHERE tracking = ANY($1::text[]) ORDER BY id DESC",
                                    {all});
        std::vector<WaybillRecord> rows;
        rows.reserve(static_cast<std::size_t>(res.rows()));
        for (int i = 0; i < res.rows(); ++i) rows.push_back(readRow(res, i));
        return rows;
    });
}

void PgHistoryStore::markPrinted(std::span<const std::string> uids, std::int64_t job) {
    if (uids.empty()) return;
    writable();
    const std::string all = pgArray({uids.begin(), uids.end()});
    withDb([&](PgDb& d) {
        PgTransaction t(d);
        d.exec("UPDATE history SET job = $2 WHERE uid = ANY($1::text[]) AND job = $3",
               {all, std::to_string(job), std::to_string(WaybillRecord::kJobPrinting)});
        t.commit();
        return 0;
    });
}

void PgHistoryStore::forgetPrinting(std::span<const std::string> uids) {
    if (uids.empty()) return;
    writable();
    withDb([&](PgDb& d) {
        PgTransaction t(d);
        d.exec("DELETE FROM history WHERE uid = ANY($1::text[]) AND job = $2",
               {pgArray({uids.begin(), uids.end()}), std::to_string(WaybillRecord::kJobPrinting)});
        t.commit();
        return 0;
    });
}

void PgHistoryStore::removeUids(std::span<const std::string> uids) {
    if (uids.empty()) return;
    writable();
    const std::string all = pgArray({uids.begin(), uids.end()});
    deleteWhere("uid = ANY($1::text[])", all);
}

void PgHistoryStore::deleteWhere(const char* condition, const std::string& param) {
    // In a transaction of its own, committed only once the delete has
    // answered: a statement left hanging past the time-out (and reported
    // as failed) is rolled back when the server sees the connection gone,
    // instead of taking effect once the server goes on.
    withDb([&](PgDb& d) {
        PgTransaction t(d);
        d.exec(std::string("DELETE FROM history WHERE ") + condition, {param});
        t.commit();
        return 0;
    });
}

void PgHistoryStore::keepConsignee(const Consignee& consignee) { keepConsignees(std::span(&consignee, 1)); }

std::size_t PgHistoryStore::keepConsignees(std::span<const Consignee> consignees) {
    for (const Consignee& c : consignees)
        if (sjis::trimView(c.name).empty()) throw std::invalid_argument("a consignee needs a name");
    if (consignees.empty()) return 0;
    writable();
    const std::string now = localTimestamp();
    return withDb([&](PgDb& d) {
        std::size_t changed = 0;
        PgTransaction t(d);
        for (const Consignee& c : consignees) {
            changed += static_cast<std::size_t>(
                d.exec("INSERT INTO address_book(name, tel, tel_key, zip, add1, add2, updated_at) "
                       "VALUES ($1, $2, $3, $4, $5, $6, $7) ON CONFLICT (name, tel_key) DO UPDATE SET "
                       "tel = excluded.tel, zip = excluded.zip, add1 = excluded.add1, add2 = excluded.add2, "
                       "updated_at = excluded.updated_at "
                       "WHERE (address_book.tel, address_book.zip, address_book.add1, address_book.add2) "
                       "IS DISTINCT FROM (excluded.tel, excluded.zip, excluded.add1, excluded.add2)",
                       {utf8(c.name), utf8(c.tel), telKey(c.tel), utf8(c.zip), utf8(c.add1), utf8(c.add2), now})
                    .changed());
        }
        t.commit();
        return changed;
    });
}

std::vector<Consignee> PgHistoryStore::addressBook() {
    const PgResult res = withDb(
        [](PgDb& d) { return d.exec("SELECT zip, add1, add2, name, tel FROM address_book ORDER BY name, tel_key"); });
    std::vector<Consignee> all;
    all.reserve(static_cast<std::size_t>(res.rows()));
    for (int i = 0; i < res.rows(); ++i) all.push_back(readConsignee(res, i));
    return all;
}

std::vector<Consignee> PgHistoryStore::complete(CompleteBy by, std::string_view sjisPrefix, int limit) {
    const std::string prefix = by == CompleteBy::Telephone ? telKey(sjisPrefix) : utf8(sjisPrefix);
    if (prefix.empty() || limit <= 0) return {};
    const bool tel = by == CompleteBy::Telephone;
    const std::string key = tel ? "tel_key" : "name";
    // Grouping in the order of the key's index lets the scan stop as soon
    // as enough different consignees were seen.
    const std::string order = tel ? "tel_key, name, zip, add1, add2, tel" : "name, tel_key, zip, add1, add2, tel";
    const std::vector<std::string> params = {startsWith(prefix), std::to_string(limit)};
    const auto [book, seen] = withDb([&](PgDb& d) {
        PgResult book = d.exec("SELECT zip, add1, add2, name, tel, tel_key FROM address_book WHERE " + key +
                                   " LIKE $1 ORDER BY " + key + " LIMIT $2",
                               params);
        PgResult seen = d.exec("SELECT zip, add1, add2, name, tel, tel_key FROM history WHERE " + key +
                                   " LIKE $1 GROUP BY " + order + " ORDER BY " + order + " LIMIT $2",
                               params);
        return std::pair(std::move(book), std::move(seen));
    });
    std::vector<Consignee> out;
    std::vector<std::string> keys;  // telephone key per entry of out
    for (const PgResult* res : {&book, &seen}) {
        for (int i = 0; i < res->rows() && out.size() < static_cast<std::size_t>(limit); ++i) {
            Consignee c = readConsignee(*res, i);
            std::string k = res->text(i, 5);
            bool dup = false;
            for (std::size_t j = 0; j < out.size() && !dup; ++j)
                dup = keys[j] == k && out[j].name == c.name && out[j].zip == c.zip && out[j].add1 == c.add1 &&
                      out[j].add2 == c.add2;
            if (dup) continue;
            out.push_back(std::move(c));
            keys.push_back(std::move(k));
        }
    }
    return out;
}

}  // namespace store
