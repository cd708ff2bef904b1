#pragma once
// A print recorded before its job is handed over: the rows go into the
// history as printing (one transaction) first, then take the print
// service's job id once it has the job. A process that dies in between
// leaves them as prints of unknown outcome, shown as such, never lost and
// never counted as printed; a job the print service refused takes its rows
// out again.
#include <cstdint>
#include <string>
#include <vector>

#include "history/history_backend.h"

namespace store {

class PrintRecording {
public:
    // Records the rows as printing, each with its own record id (a fresh
    // one where it has none). Throws when they cannot be recorded; nothing
    // is recorded then.
    PrintRecording(HistoryBackend& history, std::vector<WaybillRecord> rows);
    // Rows not marked printed by then are taken out: their job never
    // reached the print service. A failure to do so leaves them as prints
    // of unknown outcome.
    ~PrintRecording();
    PrintRecording(const PrintRecording&) = delete;
    PrintRecording& operator=(const PrintRecording&) = delete;

    // The print service has the job. Throws when the history cannot be
    // written; the rows then stay recorded as printing.
    void printed(std::int64_t job);

    const std::vector<WaybillRecord>& rows() const { return rows_; }

private:
    std::vector<std::string> uids() const;

    HistoryBackend& history_;
    std::vector<WaybillRecord> rows_;
    bool settled_ = false;
};

// The text that names the row already holding a tracking number:
// "伝票番号 N は 山田 太郎 様（2026/12/07 14:03）に記録済みです" (UTF-8).
std::string trackingHeldText(const WaybillRecord& holder);

}  // namespace store
