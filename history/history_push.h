#pragma once
// Copying a station's history to a shared server (`history push`): the
// rows go oldest first, a part at a time, each part one transaction, so
// that memory stays the same however long the history is. Each part first
// asks the server in one query which of its record ids it lacks; only
// those rows are read whole and sent, with the rows still waiting in the
// station's outbox (whose tracking number or job may be news to the server).
// The station's file is read without its memory map from then on
// (HistoryStore::setMemoryMapped()).
#include <cstddef>
#include <functional>

namespace store {

class HistoryStore;
class PgHistoryStore;

struct PushCount {
    std::size_t sent = 0;  // rows new to the server
    std::size_t kept = 0;  // rows the server had already
};

// Rows per part (one transaction on the server).
inline constexpr std::size_t kPushPart = 5000;

// Pushes every row of `local` to `server`; `held` (for tests) is told how
// many rows each part read whole. Throws PgError when the server fails;
// the parts sent before are on the server and out of the outbox.
PushCount pushHistory(HistoryStore& local, PgHistoryStore& server, std::size_t part = kPushPart,
                      const std::function<void(std::size_t held)>& held = {});

}  // namespace store
