#include "history/print_recording.h"

#include <utility>

#include "text/sjis_convert.h"

namespace store {

PrintRecording::PrintRecording(HistoryBackend& history, std::vector<WaybillRecord> rows)
    : history_(history), rows_(std::move(rows)) {
    for (WaybillRecord& r : rows_) {
        if (r.uid.empty()) r.uid = newRecordUid();
        r.job = WaybillRecord::kJobPrinting;
    }
    history_.record(rows_);
}

PrintRecording::~PrintRecording() {
    if (settled_) return;
    try {
        history_.forgetPrinting(uids());
    } catch (...) {
        // The rows stay as prints of unknown outcome: shown, never lost.
    }
}

void PrintRecording::printed(std::int64_t job) {
    // From here on the job is the print service's: whatever happens to
    // the mark, the rows are never taken out again.
    settled_ = true;
    history_.markPrinted(uids(), job);
    for (WaybillRecord& r : rows_) r.job = job;
}

std::vector<std::string> PrintRecording::uids() const {
    std::vector<std::string> all;
    all.reserve(rows_.size());
    for (const WaybillRecord& r : rows_) all.push_back(r.uid);
    return all;
}

std::string trackingHeldText(const WaybillRecord& holder) {
    // "yyyy-mm-dd hh:mm:ss" shown as "yyyy/mm/dd hh:mm".
    std::string when = holder.time.substr(0, 16);
    for (char& c : when)
        if (c == '-') c = '/';
    return "伝票番号 " + holder.tracking + " は " + sjis::toUtf8(holder.consignee.name) + " 様（" + when +
           "）に記録済みです";
}

}  // namespace store
