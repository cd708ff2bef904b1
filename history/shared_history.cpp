#include "history/shared_history.h"

#include <algorithm>
#include <set>
#include <stdexcept>
#include <utility>

#include "history/history_store.h"
#include "history/history_text.h"
#include "history/pg_db.h"
#include "history/pg_history_store.h"
#include "text/sjis.h"
#include "text/sjis_convert.h"

namespace store {

namespace {

using Clock = std::chrono::steady_clock;

// How long a server that could not be reached is left alone before the
// next attempt (sendUnsent() and retryNow() cut it short), so that a
// server that does not answer costs the window one time-out now and then.
constexpr auto kRetryAfter = std::chrono::seconds(30);
// Unsent rows per transaction on the server.
constexpr int kSendPart = 200;

// The query's test on one row, as the stores' own search makes it.
bool matches(const WaybillRecord& r, const HistoryQuery& q) {
    if (!q.fromDate.empty() && r.time < q.fromDate) return false;
    if (!q.toDate.empty() && r.time >= q.toDate + "~") return false;
    if (!q.orderNo.empty() && r.orderNo != q.orderNo) return false;
    if (!q.tracking.empty() && r.tracking != q.tracking) return false;
    if (q.shippedOnly && (r.orderNo.empty() || r.tracking.empty() || r.printing())) return false;
    if (sjis::trimView(q.search).empty()) return true;
    const std::string needle = searchFold(sjis::toUtf8(sjis::trim(q.search)));
    if (needle.empty()) return true;
    return rowMatches(needle, searchText(r), numberKeys(r));
}

}  // namespace

SharedHistory::SharedHistory(std::string localPath, std::string conninfo, Millis timeout)
    : localPath_(std::move(localPath)), conninfo_(std::move(conninfo)), timeout_(timeout) {}

SharedHistory::~SharedHistory() = default;

HistoryStore& SharedHistory::local() {
    if (!local_) local_ = std::make_unique<HistoryStore>(localPath_);
    return *local_;
}

PgHistoryStore* SharedHistory::server() {
    if (localOnly() || Clock::now() < retryAt_) return nullptr;
    if (!server_) {
        try {
            server_ = std::make_unique<PgHistoryStore>(conninfo_, timeout_);
            notice_ += server_->takeNotice();
        } catch (const PgError& e) {
            unreachable(e);
            return nullptr;
        }
    }
    error_.clear();
    return server_.get();
}

void SharedHistory::unreachable(const std::exception& e) {
    error_ = e.what();
    retryAt_ = Clock::now() + kRetryAfter;
}

bool SharedHistory::readOnly() const { return server_ && server_->readOnly(); }

std::string SharedHistory::takeNotice() {
    std::string all = std::exchange(notice_, {});
    if (local_) {
        const std::string n = local_->takeNotice();
        all += all.empty() || n.empty() ? n : "\n" + n;
    }
    return all;
}

void SharedHistory::record(std::span<const WaybillRecord> rows) {
    // Each row gets its record id now, so that every later send of it is
    // known as the same row.
    std::vector<WaybillRecord> stamped(rows.begin(), rows.end());
    for (WaybillRecord& r : stamped) {
        if (r.uid.empty()) r.uid = newRecordUid();
        if (r.time.empty()) r.time = localTimestamp();
    }
    local().recordUnsent(stamped);
}

std::size_t SharedHistory::sendUnsent() {
    retryAt_ = {};
    PgHistoryStore* s = server();
    if (!s) throw PgError(PgError::Kind::NoServer, error_);
    std::size_t sent = 0;
    for (;;) {
        const std::vector<WaybillRecord> rows = local().unsent(kSendPart, HistoryStore::Outbox::ToSend);
        if (rows.empty()) break;
        try {
            // The outbox is this station's own: a row the server has
            // already (sent before a lost answer, or put back after its
            // number was corrected) takes the number it has here.
            s->recordNew(rows, [](const WaybillRecord&) { return true; });
        } catch (const PgError& e) {
            unreachable(e);
            throw;
        }
        // Marked only once the server has committed them: a crash in
        // between sends them again, and the server skips them then. A row
        // whose number was corrected meanwhile stays and goes again.
        sent += local().markSent(rows);
    }
    return sent;
}

SharedHistory::Status SharedHistory::status() {
    if (localOnly()) return Status{true, 0, {}};
    return Status{server_ && error_.empty(), local().unsentCount(), error_};
}

std::vector<WaybillRecord> SharedHistory::list(const HistoryQuery& query) {
    const auto localIds = [](std::vector<WaybillRecord> rows) {
        for (WaybillRecord& r : rows) r.id = -r.id;
        return rows;
    };
    PgHistoryStore* s = server();
    std::vector<WaybillRecord> shared;
    if (s) {
        try {
            shared = s->list(query);
        } catch (const PgError& e) {
            // A slow answer is no absence: the caller keeps what it has.
            if (e.kind() == PgError::Kind::Slow) throw;
            unreachable(e);
            s = nullptr;
        }
    }
    if (localOnly()) return local().list(query);
    // Without the server, the station's own rows are what there is.
    if (!s) return localIds(local().list(query));

    std::set<std::string> seen;
    for (const WaybillRecord& r : shared) seen.insert(r.uid);
    std::vector<WaybillRecord> rows = std::move(shared);
    for (WaybillRecord& r : localIds(local().unsent(-1)))
        if (matches(r, query) && !seen.contains(r.uid)) rows.push_back(std::move(r));
    std::stable_sort(rows.begin(), rows.end(),
                     [](const WaybillRecord& a, const WaybillRecord& b) { return a.time > b.time; });
    if (query.limit >= 0 && rows.size() > static_cast<std::size_t>(query.limit))
        rows.resize(static_cast<std::size_t>(query.limit));
    return rows;
}

void SharedHistory::remove(std::span<const std::int64_t> ids) {
    std::vector<std::int64_t> mine, theirs;
    for (const std::int64_t id : ids) (id < 0 ? mine : theirs).push_back(id < 0 ? -id : id);
    if (!theirs.empty()) {
        PgHistoryStore* s = server();
        if (!s) throw std::runtime_error("共有データベースに接続できないため削除できません（" + error_ + "）");
        try {
            s->remove(theirs);
        } catch (const PgError& e) {
            if (e.unreachable()) unreachable(e);
            throw;
        }
    }
    local().remove(mine);
}

void SharedHistory::setTracking(std::int64_t id, const std::string& tracking) {
    requireTrackingForm(tracking);
    if (id < 0) {
        // Unsent when it was listed: the number goes to the server with the
        // row, or after it when the sender took the row there meanwhile.
        local().setTrackingToSend(-id, tracking);
        return;
    }
    PgHistoryStore* s = server();
    if (!s) throw std::runtime_error("共有データベースに接続できないため伝票番号を変更できません（" + error_ + "）");
    std::string uid;
    try {
        uid = s->setTrackingOf(id, tracking);
    } catch (const PgError& e) {
        if (e.unreachable()) unreachable(e);
        throw;
    }
    // The station's own copy follows, so that the next number proposed
    // from its stack of forms counts on from the corrected one.
    if (!uid.empty()) local().setTrackingOfUid(uid, tracking);
}

std::string SharedHistory::lastTracking(const std::string& feedMode) { return local().lastTracking(feedMode); }

std::vector<WaybillRecord> SharedHistory::holdersOf(std::span<const std::string> trackings) {
    // The station's own rows always; the other stations' while the server
    // answers (a number is checked as far as can be known now).
    std::vector<WaybillRecord> rows;
    std::set<std::string> seen;
    if (PgHistoryStore* s = server()) {
        try {
            rows = s->holdersOf(trackings);
        } catch (const PgError& e) {
            // A slow server is not away: only this answer comes from here.
            if (e.kind() != PgError::Kind::Slow) unreachable(e);
        }
    }
    for (const WaybillRecord& r : rows) seen.insert(r.uid);
    for (WaybillRecord& r : local().holdersOf(trackings))
        if (!seen.contains(r.uid)) rows.push_back(std::move(r));
    return rows;
}

void SharedHistory::markPrinted(std::span<const std::string> uids, std::int64_t job) {
    local().markPrintedToSend(uids, job);
}

void SharedHistory::forgetPrinting(std::span<const std::string> uids) {
    local().forgetPrinting(uids);
    // Rows the sender took to the server while their job was being handed
    // over go there too, when the server answers; else they stay there as
    // prints of unknown outcome, which is what they are to the server.
    if (PgHistoryStore* s = server()) {
        try {
            s->forgetPrinting(uids);
        } catch (const PgError& e) {
            if (e.unreachable()) unreachable(e);
        }
    }
}

void SharedHistory::keepConsignee(const Consignee& consignee) {
    local().keepConsignee(consignee);
    keepConsigneeOnServer(consignee);
}

void SharedHistory::keepConsigneeOnServer(const Consignee& consignee) {
    PgHistoryStore* s = server();
    try {
        if (s) s->keepConsignee(consignee);
    } catch (const PgError& e) {
        if (e.unreachable()) unreachable(e);
        s = nullptr;
    }
    if (!s)
        throw std::runtime_error("共有データベースに接続できないため、このコンピュータにだけ登録しました（" + error_ +
                                 "）");
}

std::vector<Consignee> SharedHistory::addressBook() {
    if (PgHistoryStore* s = server()) {
        try {
            return s->addressBook();
        } catch (const PgError& e) {
            // A slow server is not away: only this answer comes from here.
            if (e.kind() != PgError::Kind::Slow) unreachable(e);
        }
    }
    return local().addressBook();
}

std::vector<Consignee> SharedHistory::complete(CompleteBy by, std::string_view sjisPrefix, int limit) {
    if (PgHistoryStore* s = server()) {
        try {
            return s->complete(by, sjisPrefix, limit);
        } catch (const PgError& e) {
            // A slow server is not away: only this answer comes from here.
            if (e.kind() != PgError::Kind::Slow) unreachable(e);
        }
    }
    return local().complete(by, sjisPrefix, limit);
}

}  // namespace store
