// The batch window's tracking numbers: the first form's number proposed
// from the last print, and one number per printed waybill from it.
#include <QLineEdit>
#include <algorithm>
#include <cstdint>
#include <variant>

#include "app/batch/batch_window.h"
#include "widgets/history_book.h"
#include "batch/tracking_number.h"
#include "print/core/layout.h"
#include "history/print_recording.h"
#include "services/message_boxes.h"
#include "text/sjis_qt.h"

const print::Form& TBatchWindow::printForm() const {
    if (!context_.formFields) return print::builtinForm();
    return print::formOf(context_.formFields());
}

void TBatchWindow::proposeFirstNumber() {
    if (!context_.history) return;
    std::string last;
    // Each feed mode's printer has its own stack of forms.
    const std::string feedMode = sjis::fromQString(context_.feedMode ? context_.feedMode() : QString());
    context_.history->read([&](store::HistoryBackend& s) { last = s.lastTracking(feedMode); });
    // The form after the last waybill, past the blank forms its job fed.
    const int blank = context_.formsAfterLast ? context_.formsAfterLast() : 0;
    const std::uint64_t steps = 1 + static_cast<std::uint64_t>(std::max(blank, 0));
    // Counted on by the rule of the form printed on; nothing for a form
    // without numbers.
    Edit_FirstNumber->setText(
        QString::fromStdString(batch::nextTracking(last, steps, batch::trackingSchemeOf(printForm()))));
}

std::optional<std::vector<std::string>> TBatchWindow::trackingNumbers(std::size_t pages) {
    const QString text = Edit_FirstNumber->text().trimmed();
    if (text.isEmpty()) return std::vector<std::string>(pages);
    const batch::TrackingScheme scheme = batch::trackingSchemeOf(printForm());
    const auto parsed = batch::parseTracking(text.toStdString(), scheme);
    if (const auto* refusal = std::get_if<batch::TrackingRefusal>(&parsed)) {
        messageBoxes().error(this, QString::fromStdString(refusal->reason));
        Edit_FirstNumber->setFocus();
        return std::nullopt;
    }
    const auto& first = std::get<std::string>(parsed);
    std::vector<std::string> numbers;
    for (std::size_t i = 0; i < pages; ++i) {
        numbers.push_back(batch::nextTracking(first, i, scheme));
        if (numbers.back().empty()) {
            messageBoxes().error(this, QStringLiteral("伝票番号が足りません: %1 から %2件は数えられません")
                                           .arg(QString::fromStdString(first))
                                           .arg(pages));
            return std::nullopt;
        }
    }
    return numbers;
}

bool TBatchWindow::numbersFree(const std::vector<std::string>& numbers) {
    if (!context_.history) return true;
    const std::vector<store::WaybillRecord> held = context_.history->ownHoldersOf(numbers);
    if (held.empty()) return true;
    QString text = QString::fromStdString(store::trackingHeldText(held.front()));
    if (held.size() > 1) text += QStringLiteral("（ほかに %1 件）").arg(held.size() - 1);
    if (messageBoxes().question(this, text + QStringLiteral("\nこの番号から印刷しますか?"))) return true;
    Edit_FirstNumber->setFocus();
    Edit_FirstNumber->selectAll();
    return false;
}
