// The batch window's history: the waybills of a job recorded as printing
// before the job is handed over, and marked printed (or taken out again)
// once the print service has answered.
#include <QLabel>

#include "app/batch/batch_window.h"
#include "batch/order_record.h"
#include "print/Wbprn/WbPrinters.h"
#include "print/core/history_record.h"
#include "text/sjis_qt.h"
#include "widgets/history_book.h"

std::vector<std::string> TBatchWindow::recordPrinting(const std::vector<std::size_t>& rows,
                                                     const std::vector<std::string>& tracking) {
    // The waybills are printed whatever happens here: a store that cannot
    // be written costs the history, never the print.
    recordError_.clear();
    try {
        if (!context_.history) throw std::logic_error("no history was handed to the batch window");
        const std::string feedMode = sjis::fromQString(context_.feedMode ? context_.feedMode() : QString());
        const std::string printer = sjis::fromQString(WbPrinter().System().currentDeviceName());
        std::vector<store::WaybillRecord> records;
        records.reserve(rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            store::WaybillRecord record = print::historyRecordOf(checked_[rows[i]].fields, feedMode, printer, 0);
            batch::addOrderTo(record, orders_[rows[i]]);
            record.tracking = tracking[i];
            records.push_back(std::move(record));
        }
        std::vector<std::string> uids = context_.history->recordPrinting(std::move(records));
        if (uids.empty()) recordError_ = context_.history->lastError();
        return uids;
    } catch (const std::exception& e) {
        recordError_ = QString::fromUtf8(e.what());
    }
    return {};
}

void TBatchWindow::recordPrinted(const std::vector<std::string>& uids, std::optional<int> job) {
    if (context_.history && !context_.history->recordPrinted(uids, job) && job)
        recordError_ = context_.history->lastError();
    if (!job || recordError_.isEmpty()) return;
    const QString text = QStringLiteral("印刷しましたが、履歴は保存できませんでした（%1）").arg(recordError_);
    if (context_.report) context_.report(text);
    Label_Status->setText(text);
}
