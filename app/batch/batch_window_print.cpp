// The batch window's printing: the ticked rows, checked once more, go out
// as one job after a question that names the printer, the feed mode and the
// forms' numbers; the rows left over can be saved as a file of their own.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>

#include "app/batch/batch_window.h"
#include "batch/order_record.h"
#include "print/Wbprn/WbPrinters.h"
#include "print/Wbprn/waybill_job.h"
#include "services/message_boxes.h"
#include "store/atomic_file.h"
#include "widgets/window_memory.h"

namespace {

// The job's title, as for a single waybill.
const QString kTitle = QStringLiteral("vamu_Pelican  ");

}  // namespace

QString TBatchWindow::printQuestion(std::size_t count, const std::vector<std::string>& numbers) {
    QString text = QStringLiteral("%1件を印刷しますか?").arg(count);
    // The user sees which printer and which forms before any is spent.
    const QString printer = WbPrinter().System().currentDeviceName();
    if (!printer.isEmpty()) text += QStringLiteral("\nプリンタ: ") + printer;
    const QString feed = context_.feedMode ? context_.feedMode() : QString();
    if (!feed.isEmpty()) text += QStringLiteral("\n用紙選択: ") + feed;
    if (!numbers.empty() && !numbers.front().empty()) {
        text += QStringLiteral("\n伝票番号: ") + QString::fromStdString(numbers.front());
        if (numbers.size() > 1) text += QStringLiteral(" ～ ") + QString::fromStdString(numbers.back());
    }
    return text;
}

void TBatchWindow::printChecked() {
    if (printing_) return;
    // With the feed mode's printer gone nothing is asked: the waybills
    // would go nowhere, or to another printer.
    WbPrinter().CheckDocumentsAllowed();
    // What the rows were checked against may have changed since (the
    // margins, the printer): the question is asked about rows that are
    // good now, and the table and its footer say the same.
    recheckAll();
    std::vector<std::size_t> rows;
    int held = 0;
    for (std::size_t r = 0; r < orders_.size(); ++r) {
        if (printed_[r]) continue;
        if (!checked_[r].printable()) ++held;
        const QTableWidgetItem* box = Table_Orders->item(static_cast<int>(r), 0);
        if (box && box->checkState() == Qt::Checked && checked_[r].printable()) rows.push_back(r);
    }
    if (rows.empty()) {
        messageBoxes().notice(this, held > 0 ? QStringLiteral("印刷する行がありません（問題のある行が%1件あります。問題の列を確かめてください）").arg(held)
                                             : QStringLiteral("印刷する行がありません"));
        return;
    }
    // A first number that fails its check stops the print before anything is asked.
    const std::optional<std::vector<std::string>> numbers = trackingNumbers(rows.size());
    if (!numbers || !numbersFree(*numbers)) return;
    if (context_.confirmFeed && !context_.confirmFeed(this)) return;
    if (!messageBoxes().question(this, printQuestion(rows.size(), *numbers))) return;

    // A printer that cannot tell its resolution stops the job here: pages
    // laid out at a guessed one would print off their places.
    (void)WbPrinter().Scale();
    (void)WbPrinter().Dpi();
    // With the printer's resolution and paper now in force (the feed
    // question may have changed the paper).
    recheckIfChanged();
    std::vector<print::WaybillFields> pages;
    for (std::size_t r : rows) {
        if (checked_[r].printable()) pages.push_back(checked_[r].fields);
    }
    if (pages.size() != rows.size()) {
        // Fewer waybills than the user said yes to would leave the forms'
        // numbers and the stack out of step: nothing is printed.
        messageBoxes().notice(this, QStringLiteral("印刷の直前の確認で%1件に問題が見つかりました。何も印刷していません。問題の列を確かめてください")
                                        .arg(rows.size() - pages.size()));
        return;
    }
    const std::vector<std::size_t>& printedRows = rows;
    const std::optional<std::vector<std::string>> tracking = trackingNumbers(pages.size());
    if (!tracking) return;

    printing_ = true;
    cancel_ = false;
    // The window keeps answering while the document is built; what would
    // change the orders waits until the job is done.
    for (QWidget* w : std::initializer_list<QWidget*>{Table_Orders, Table_Mapping, ComboBox_Mapping, CheckBox_FileSender,
                                                      Button_Open, Button_SaveMapping})
        w->setEnabled(false);
    ProgressBar_Print->setRange(0, static_cast<int>(pages.size()));
    ProgressBar_Print->setValue(0);
    ProgressBar_Print->show();
    Button_Cancel->show();
    updateStatus();
    std::optional<int> job;
    // Recorded as printing once the document is whole, before it is handed
    // over; marked printed after (a crash in between leaves prints of
    // unknown outcome, never unrecorded ones).
    std::vector<std::string> uids;
    try {
        job = wbprn::printWaybillJob(
            kTitle, pages,
            [this](std::size_t done) {
                ProgressBar_Print->setValue(static_cast<int>(done));
                // Keeps the window answering (and the Cancel button working)
                // while the document is built.
                QApplication::processEvents();
                return !cancel_;
            },
            [&] { uids = recordPrinting(printedRows, *tracking); });
    } catch (...) {
        endPrinting();
        recordPrinted(uids, std::nullopt);
        throw;
    }
    endPrinting();
    if (!job) {
        if (stale_) recheckAll();
        updateStatus();
        Label_Status->setText(QStringLiteral("印刷を中止しました。何も印刷していません"));
        return;
    }
    if (context_.jobSent) context_.jobSent(pages.size());
    for (std::size_t r : printedRows) {
        printed_[r] = true;
        fillRow(static_cast<int>(r));
    }
    if (stale_) recheckAll();
    updateStatus();
    recordPrinted(uids, *job);
    proposeFirstNumber();
    offerToSaveUnprinted();
}

void TBatchWindow::endPrinting() {
    printing_ = false;
    ProgressBar_Print->hide();
    Button_Cancel->hide();
    for (QWidget* w : std::initializer_list<QWidget*>{Table_Orders, Table_Mapping, ComboBox_Mapping, CheckBox_FileSender,
                                                      Button_Open, Button_SaveMapping})
        w->setEnabled(true);
    updateStatus();
}

void TBatchWindow::offerToSaveUnprinted() {
    std::vector<batch::Order> rest;
    for (std::size_t r = 0; r < orders_.size(); ++r)
        if (!printed_[r]) rest.push_back(orders_[r]);
    if (rest.empty()) return;
    if (!messageBoxes().question(
            this, QStringLiteral("印刷しなかった%1件を新しいCSVファイルに保存しますか?").arg(rest.size())))
        return;
    const QString path =
        askSavePath(this, QDir(fileDialogFolder(context_.baseFolder)).filePath(QStringLiteral("未印刷.csv")));
    if (path.isEmpty()) return;
    rememberFileDialogFolder(context_.baseFolder, path);
    writeFileAtomically(QFile::encodeName(path).toStdString(), batch::ordersToCsv(rest));
}
