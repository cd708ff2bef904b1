#include "history/history_push.h"

#include <set>
#include <string>
#include <vector>

#include "history/history_store.h"
#include "history/pg_history_store.h"

namespace store {

PushCount pushHistory(HistoryStore& local, PgHistoryStore& server, std::size_t part,
                      const std::function<void(std::size_t held)>& held) {
    // Rows waiting in the station's outbox bring their tracking numbers to
    // the server even when it has them already (a correction on its way);
    // every other row the server has is left as it is there.
    std::set<std::string> waiting;
    if (!local.readOnly())
        for (std::string& uid : local.unsentUids()) waiting.insert(std::move(uid));
    const auto ownTracking = [&](const WaybillRecord& r) { return waiting.contains(r.uid); };
    // The file is read once through: its pages are not kept mapped.
    local.setMemoryMapped(false);
    PushCount count;
    for (std::int64_t after = 0;;) {
        const std::vector<HistoryStore::RowKey> keys = local.keysAfter(after, static_cast<int>(part));
        if (keys.empty()) break;
        after = keys.back().id;
        std::vector<std::string> uids;
        uids.reserve(keys.size());
        for (const HistoryStore::RowKey& k : keys) uids.push_back(k.uid);
        const std::set<std::string> missing = server.missingUids(uids);
        std::vector<std::int64_t> wanted;
        for (const HistoryStore::RowKey& k : keys)
            if (missing.contains(k.uid) || waiting.contains(k.uid)) wanted.push_back(k.id);
        const std::vector<WaybillRecord> rows = local.rowsWithIds(wanted);
        if (held) held(rows.size());
        const std::size_t sent = server.recordNew(rows, ownTracking);
        count.sent += sent;
        count.kept += keys.size() - sent;
        // What the server has is no longer waiting in the outbox.
        if (!local.readOnly()) local.markSent(rows);
    }
    return count;
}

}  // namespace store
