// The batch window's tracking numbers: the first form's number proposed
// from the last print, and one number per printed waybill from it.
#include <QLineEdit>
#include <variant>

#include "app/batch/batch_window.h"
#include "widgets/history_book.h"
#include "batch/tracking_number.h"
#include "services/message_boxes.h"

void TBatchWindow::proposeFirstNumber() {
    if (!context_.history) return;
    std::string last;
    context_.history->read([&](store::HistoryBackend& s) { last = s.lastTracking(); });
    // The last job's empty page fed the form after its last waybill.
    Edit_FirstNumber->setText(batch::isValidTracking(last) ? QString::fromStdString(batch::nextTracking(last, 2))
                                                           : QString());
}

std::optional<std::vector<std::string>> TBatchWindow::trackingNumbers(std::size_t pages) {
    const QString text = Edit_FirstNumber->text().trimmed();
    if (text.isEmpty()) return std::vector<std::string>(pages);
    const auto parsed = batch::parseTracking(text.toStdString());
    if (const auto* refusal = std::get_if<batch::TrackingRefusal>(&parsed)) {
        messageBoxes().error(this, QString::fromStdString(refusal->reason));
        Edit_FirstNumber->setFocus();
        return std::nullopt;
    }
    const auto& first = std::get<std::string>(parsed);
    std::vector<std::string> numbers;
    for (std::size_t i = 0; i < pages; ++i) {
        numbers.push_back(batch::nextTracking(first, i));
        if (numbers.back().empty()) {
            messageBoxes().error(this, QStringLiteral("伝票番号が足りません: %1 から %2件は数えられません")
                                           .arg(QString::fromStdString(first))
                                           .arg(pages));
            return std::nullopt;
        }
    }
    return numbers;
}
