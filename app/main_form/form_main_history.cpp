// One part of TForm_Main (form_main.h): its members are defined across the form_main*.cpp files by concern.
// The print history and the address book on the main window: recording
// each accepted print, the history window (F8), the お届け先登録 button and
// the completion lists on Edit_tel and Edit_Custo1.
#include <algorithm>
#include <cstdint>

#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

#include "app/history/consignee_completion.h"
#include "app/main_form/form_main.h"
#include "widgets/history_book.h"
#include "app/history/history_window.h"
#include "widgets/sjis_line_edit.h"
#include "widgets/ui_fonts.h"
#include "widgets/window_memory.h"
#include "batch/tracking_number.h"
#include "print/Wb_d97_Dot.h"
#include "print/Wbprn/WbPrinters.h"
#include "print/core/form_library.h"
#include "print/core/history_record.h"
#include "history/shipped_export.h"
#include "services/guard.h"
#include "services/message_boxes.h"
#include "history/history_text.h"
#include "text/sjis_qt.h"

namespace {

// A small address book: a blue cover with a white label.
QIcon addressBookIcon() {
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(20, 60, 140), 1.5));
    p.setBrush(QColor(60, 110, 200));
    p.drawRoundedRect(QRectF(4.5, 2.5, 16, 19), 2, 2);
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(8, 6, 9, 5));
    p.setPen(QPen(Qt::white, 1.5));
    for (const qreal y : {5.0, 10.0, 15.0, 20.0}) p.drawLine(QPointF(3, y), QPointF(6, y));
    return QIcon{pm};
}

// Digits a telephone needs before the list opens: one digit matches
// nearly everyone.
constexpr std::size_t kTelDigitsToComplete = 2;

}  // namespace

void TForm_Main::buildHistory() {
    historyBook_ = new HistoryBook(this);

    BitBtn_AddrBook = new QPushButton(Panel1);
    BitBtn_AddrBook->setObjectName(QStringLiteral("BitBtn_AddrBook"));
    BitBtn_AddrBook->setIcon(addressBookIcon());
    BitBtn_AddrBook->setIconSize(QSize(24, 24));
    BitBtn_AddrBook->setGeometry(610, 118, 39, 39);
    BitBtn_AddrBook->setFocusPolicy(Qt::ClickFocus);  // like the clear button beside it
    BitBtn_AddrBook->setToolTip(QStringLiteral("お届け先をアドレス帳に登録します"));
    auto* caption = new QLabel(QStringLiteral("お届け先登録"), Panel1);
    caption->setFont(gothicFont(12));
    caption->move(596, 158);
    caption->adjustSize();
    connect(BitBtn_AddrBook, &QPushButton::clicked, this, [this] { guarded(this, [this] { BitBtn_AddrBookClick(); }); });

    connect(SpeedButton_F8, &QPushButton::clicked, this, [this] { guarded(this, [this] { SpeedButton_F8Click(); }); });
    auto* f8 = new QShortcut(QKeySequence(Qt::Key_F8), this);
    connect(f8, &QShortcut::activated, this, [this] {
        if (SpeedButton_F8->isEnabled()) SpeedButton_F8->click();
    });

    auto lookup = [this](store::CompleteBy by) {
        return [this, by](const QString& text, const ConsigneeCompletion::Answer& answer) {
            const std::string sjisText = sjis::fromQString(text);
            if (by == store::CompleteBy::Telephone && store::telKey(sjisText).size() < kTelDigitsToComplete)
                return answer({});
            // No store, no list: completion never stands in the way of typing.
            historyBook_->readLater(
                HistoryBook::Lane::Complete, this,
                [by, sjisText](store::HistoryBackend& s, HistoryBook::Found& found) {
                    found.consignees = s.complete(by, sjisText);
                },
                [answer](const HistoryBook::Found& found) {
                    answer(found.ok ? found.consignees : std::vector<store::Consignee>());
                });
        };
    };
    auto fill = [this](const store::Consignee& c) { fillConsignee(c); };
    // Both lists hang under the consignee's last row, over the sender's part
    // down to the shipment: no consignee field, date or goods line that the
    // user may click next lies under them.
    auto area = [this] {
        const QPoint topLeft(Edit_Custo1->mapToGlobal(QPoint(0, 0)).x(),
                             Edit_tel->mapToGlobal(QPoint(0, Edit_tel->height())).y() + 1);
        const QPoint bottomRight = mapToGlobal(QPoint(width() - 1, Panel4->y() - 1));
        return QRect(topLeft, bottomRight);
    };
    new ConsigneeCompletion(Edit_tel, lookup(store::CompleteBy::Telephone), fill, area);
    new ConsigneeCompletion(Edit_Custo1, lookup(store::CompleteBy::Name), fill, area);
}

void TForm_Main::setUpHistoryKey() {
    SpeedButton_F8->setText(QStringLiteral("履歴"));
    SpeedButton_F8->setEnabled(true);
    historyBook_->setFolder(Label_CurrentDir->text());
    // An existing store opens once the window is up: a notice about its
    // file then shows over the window, and the start does not wait for it.
    QTimer::singleShot(0, historyBook_, [book = historyBook_] { book->read([](store::HistoryBackend&) {}); });
}

void TForm_Main::fillConsignee(const store::Consignee& c) {
    Edit_Zip->setText(sjis::toQString(c.zip));
    Edit_Add1->setText(sjis::toQString(c.add1));
    Edit_Add2->setText(sjis::toQString(c.add2));
    Edit_Custo1->setText(sjis::toQString(c.name));
    Edit_tel->setText(sjis::toQString(c.tel));
    Edit_Warning();
}

void TForm_Main::SpeedButton_F8Click() {
    if (!historyWindow_) {
        historyWindow_ = new HistoryWindow(*historyBook_, this);
        historyWindow_->carriers = [this] { return shippingCarriers(); };
        historyWindow_->trackingScheme = [this](const std::string& formId) {
            // A row of a form no longer known takes the built-in rule.
            const print::Form* form = formLibrary().find(formId);
            return batch::trackingSchemeOf(form ? *form : formLibrary().builtin());
        };
        keepWindowPlacement(*historyWindow_, Label_CurrentDir->text());
        connect(historyWindow_, &HistoryWindow::chosen, this, [this](const store::WaybillRecord& r) {
            guarded(this, [&] {
                fillConsignee(r.consignee);
                Edit_G1->setText(sjis::toQString(r.g1));
                Edit_G2->setText(sjis::toQString(r.g2));
                Edit_G3->setText(sjis::toQString(r.g3));
                activateWindow();
                Edit_G1->setFocus(Qt::OtherFocusReason);
            });
        });
    }
    historyWindow_->reload();
    historyWindow_->show();
    historyWindow_->raise();
    historyWindow_->activateWindow();
    historyWindow_->Edit_Search->setFocus(Qt::OtherFocusReason);
}

void TForm_Main::BitBtn_AddrBookClick() {
    const store::Consignee c{sjis::fromQString(Edit_Zip->text()), sjis::fromQString(Edit_Add1->text()),
                             sjis::fromQString(Edit_Add2->text()), sjis::fromQString(Edit_Custo1->text()),
                             sjis::fromQString(Edit_tel->text())};
    if (Edit_Custo1->text().trimmed().isEmpty()) {
        messageBoxes().notice(this, QStringLiteral("おなまえを入力して下さい"));
        Edit_Custo1->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (!messageBoxes().question(this, QStringLiteral("お届け先を登録しますか?"))) return;
    // With a shared database the server's answer comes later; the station
    // has the consignee in its own file by then.
    historyBook_->keepConsignee(this, c, [this](const HistoryBook::Written& written) {
        guarded(this, [&] {
            if (!written.ok) throw std::runtime_error("お届け先を登録できません: " + written.error.toStdString());
            messageBoxes().notice(this, QStringLiteral("お届け先を登録しました"));
        });
    });
}

QString TForm_Main::proposedFirstNumber() {
    std::string last;
    const std::string feedMode = sjis::fromQString(ComboBox_SEL->currentText());
    historyBook_->read([&](store::HistoryBackend& s) { last = s.lastTracking(feedMode); });
    const std::uint64_t steps = 1 + static_cast<std::uint64_t>(std::max(formsAfterLastWaybill(), 0));
    // Counted on by the rule of the feed mode's form; nothing for a form
    // without numbers, or when the last number is another form's.
    return QString::fromStdString(batch::nextTracking(last, steps, batch::trackingSchemeOf(feedModeForm())));
}

int TForm_Main::formsAfterLastWaybill() {
    const auto sent = formsAfterLast_.find(ComboBox_SEL->currentText());
    if (sent != formsAfterLast_.end()) return sent->second;
    return feedAfterJob_ ? 1 : 0;
}

void TForm_Main::noteFormsSent(std::size_t waybills) {
    const int blank = WbPrinter().LastDocumentPages() - static_cast<int>(waybills);
    formsAfterLast_[ComboBox_SEL->currentText()] = std::max(blank, 0);
}

std::optional<store::WaybillRecord> TForm_Main::trackingHolder(const std::string& tracking) {
    const std::vector<store::WaybillRecord> held = historyBook_->ownHoldersOf(std::span(&tracking, 1));
    if (held.empty()) return std::nullopt;
    return held.front();
}

std::string TForm_Main::recordPrinting(const std::string& tracking) noexcept {
    // The job is not yet with the print service: the row goes in first, so
    // that a print is never left unrecorded. A row that cannot be written
    // costs the history, never the print.
    printRecordError_.clear();
    try {
        store::WaybillRecord row =
            print::historyRecordOf(gatherWaybillFields(*this), sjis::fromQString(ComboBox_SEL->currentText()),
                                   sjis::fromQString(WbPrinter().System().currentDeviceName()), 0);
        row.tracking = tracking;
        const std::vector<std::string> uids = historyBook_->recordPrinting({row});
        if (!uids.empty()) return uids.front();
        printRecordError_ = historyBook_->lastError();
    } catch (const std::exception& e) {
        printRecordError_ = QString::fromUtf8(e.what());
    } catch (...) {
        printRecordError_ = QStringLiteral("?");
    }
    return {};
}

void TForm_Main::recordPrinted(const std::string& uid, std::optional<int> job) noexcept {
    const std::span<const std::string> uids(&uid, uid.empty() ? 0 : 1);
    if (!historyBook_->recordPrinted(uids, job) && job) printRecordError_ = historyBook_->lastError();
    if (!job) return;
    if (!printRecordError_.isEmpty()) {
        Panel_HelpMess->setText(QStringLiteral("印刷しましたが、履歴は保存できませんでした（%1）").arg(printRecordError_));
        return;
    }
    // An open history window shows the new row at once.
    if (historyWindow_ && historyWindow_->isVisible()) guarded(this, [this] { historyWindow_->reload(); });
}
