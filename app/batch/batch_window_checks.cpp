// The batch window's checks and its table: every row checked against the
// entry form's values and the printer, checked again whenever those
// change, its problems shown in the row, its repairs and warnings taken.
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <algorithm>
#include <cstdint>

#include "app/batch/batch_shared_values.h"
#include "app/batch/batch_window.h"
#include "app/batch/batch_window_columns.h"
#include "batch/overflow_problems.h"
#include "batch/postal_check.h"
#include "postal/table_locator.h"
#include "print/Wbprn/WbPrinters.h"
#include "print/Wbprn/waybill_fit.h"
#include "print/core/layout.h"
#include "services/guard.h"

using batch_table::kFieldColumns;
using batch_table::kProblemColumn;
using batch_table::grouped;
using batch_table::qs;

namespace {

const QColor kProblemRow(255, 228, 228);
const QColor kProblemCell(255, 176, 176);
const QColor kWarningRow(255, 248, 220);
const QColor kWarningCell(255, 226, 150);
const QColor kWarningText(150, 80, 0);
const QColor kPrintedRow(224, 224, 224);

// How long the entry form must be still before the rows are checked again.
constexpr int kRecheckDelayMs = 250;

// The space a cell's text leaves free around it (the item view's focus
// frame margins on both sides, with room to spare).
constexpr int kCellMargins = 16;

// A problem as the row shows it: a warning the user accepted says so.
QString shown(const batch::Problem& p) {
    return p.accepted ? qs(p.text) + QStringLiteral("（了承済み）") : qs(p.text);
}

}  // namespace

bool TBatchWindow::refreshDefaults() {
    if (!context_.formFields) throw std::logic_error("the batch window has no entry form to take its values from");
    const print::WaybillFields form = context_.formFields();
    Panel_Shared->showValues(form);
    print::WaybillFields defaults = Panel_Shared->applied(form);
    // Every order brings its own consignee: the form's is never printed.
    defaults.zip.clear(), defaults.add1.clear(), defaults.add2.clear(), defaults.custo1.clear(), defaults.tel.clear();
    std::optional<QSizeF> printable;
    try {
        const std::uint16_t scale = WbPrinter().Scale();
        const TPoint dpi = WbPrinter().Dpi();
        defaults.dpix = std::to_string(print::effectiveResolution(dpi.x, scale));
        defaults.dpiy = std::to_string(print::effectiveResolution(dpi.y, scale));
        printable = WbPrinter().PaperLayout().printable.size();
    } catch (const std::exception&) {
        // No usable printer yet: the texts are measured against their
        // places at a common resolution; printing will say what is wrong.
        defaults.dpix = defaults.dpiy = "360";
    }
    if (fit_ && defaults == defaults_ && printable == printable_) return false;
    defaults_ = std::move(defaults);
    printable_ = printable;
    fit_ = std::make_unique<wbprn::WaybillFit>(printable);
    return true;
}

const postal::Table* TBatchWindow::postalTable() const {
    return context_.postal ? context_.postal->get() : nullptr;
}

void TBatchWindow::checkRow(int row) {
    const auto r = static_cast<std::size_t>(row);
    batch::Checks checks;
    if (const postal::Table* t = postalTable()) checks.postal = batch::postalCheckOf(*t);
    checks.waybill = batch::overflowCheckOf([this](const print::WaybillFields& f) { return fit_->overflows(f); });
    checked_[r] = batch::checkOrder(orders_[r], defaults_, checks);
    fillRow(row);
}

void TBatchWindow::recheckAll() {
    // The rows of a job being built stay as they were asked about; they
    // are checked again once it is done.
    if (printing_) {
        stale_ = true;
        return;
    }
    stale_ = false;
    refreshDefaults();
    for (int r = 0; r < Table_Orders->rowCount(); ++r) checkRow(r);
    updateStatus();
}

void TBatchWindow::recheckIfChanged() {
    if (printing_) {
        stale_ = true;
        return;
    }
    if (!refreshDefaults() && !stale_) return;
    stale_ = false;
    for (int r = 0; r < Table_Orders->rowCount(); ++r) checkRow(r);
    updateStatus();
}

void TBatchWindow::scheduleRecheck() {
    // Many changes at once (a sender record loaded, a printer chosen, a
    // word typed on the entry form) are checked once, when they are all
    // in; a hidden window waits for F9, which checks it again.
    if (!recheckTimer_) {
        recheckTimer_ = new QTimer(this);
        recheckTimer_->setSingleShot(true);
        recheckTimer_->setInterval(kRecheckDelayMs);
        connect(recheckTimer_, &QTimer::timeout, this, [this] {
            if (isVisible()) guarded(this, [this] { recheckIfChanged(); });
        });
    }
    recheckTimer_->start();
}

void TBatchWindow::fillRow(int row) {
    const auto r = static_cast<std::size_t>(row);
    const batch::Order& o = orders_[r];
    const batch::CheckedOrder& c = checked_[r];
    filling_ = true;
    // A row with a problem cannot be ticked until it is mended or its
    // warning accepted; a printed row is done. A printable row is ticked
    // unless the user took its tick off, whatever the checks found between.
    const bool can = c.printable() && !printed_[r];
    auto* check = new QTableWidgetItem;
    check->setFlags(can ? Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable : Qt::ItemIsSelectable);
    check->setCheckState(can && !unticked_[r] ? Qt::Checked : Qt::Unchecked);
    Table_Orders->setItem(row, 0, check);
    const QString fixed[] = {qs(o.orderNo), o.items.empty() ? QString() : QString::number(o.items.size()),
                             QString::number(o.line)};
    for (int i = 0; i < 3; ++i) {
        auto* item = new QTableWidgetItem(fixed[i]);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        Table_Orders->setItem(row, kOrderColumn + i, item);
    }
    const bool errors = c.hasErrors();
    QStringList texts;
    for (const batch::Problem& p : c.problems) texts << shown(p);
    for (int col = 0; col < kFieldColumns; ++col) {
        auto* item = new QTableWidgetItem(qs(o.text[static_cast<std::size_t>(col)]));
        if (printed_[r]) item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        QStringList mine;
        bool mineErrors = false, mineOpen = false;
        for (const batch::Problem& p : c.problems) {
            if (static_cast<int>(p.col) != col) continue;
            mine << shown(p);
            mineErrors = mineErrors || !p.warning;
            mineOpen = mineOpen || !p.accepted;
        }
        if (printed_[r]) item->setBackground(kPrintedRow);
        else if (mineErrors) item->setBackground(kProblemCell);
        else if (mineOpen) item->setBackground(kWarningCell);
        else if (errors) item->setBackground(kProblemRow);
        else if (!c.printable()) item->setBackground(kWarningRow);
        item->setToolTip(mine.join(QLatin1Char('\n')));
        Table_Orders->setItem(row, kFirstFieldColumn + col, item);
    }
    auto* problems = new QTableWidgetItem(printed_[r] ? QStringLiteral("印刷済") : texts.join(QStringLiteral(" / ")));
    problems->setToolTip(texts.join(QLatin1Char('\n')));
    problems->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (!printed_[r] && errors) problems->setForeground(Qt::red);
    else if (!printed_[r] && !c.printable()) problems->setForeground(kWarningText);
    Table_Orders->setItem(row, kProblemColumn, problems);
    filling_ = false;
}

void TBatchWindow::fitOrderColumn() {
    // Platforms' order numbers differ only at their ends: shown whole.
    const QFontMetrics metrics(Table_Orders->font());
    int width = Table_Orders->horizontalHeader()->sectionSizeHint(kOrderColumn);
    for (const batch::Order& o : orders_) width = std::max(width, metrics.horizontalAdvance(qs(o.orderNo)) + kCellMargins);
    Table_Orders->setColumnWidth(kOrderColumn, width);
}

void TBatchWindow::cellEdited(QTableWidgetItem* item) {
    if (filling_ || !item || printing_) return;
    const int col = item->column() - kFirstFieldColumn;
    if (item->column() == 0) {
        unticked_[static_cast<std::size_t>(item->row())] = item->checkState() != Qt::Checked;
        updateStatus();
        return;
    }
    if (col < 0 || col >= kFieldColumns) return;
    const auto r = static_cast<std::size_t>(item->row());
    orders_[r].text[static_cast<std::size_t>(col)] = item->text().toStdString();
    edited_[r] = true;
    checkRow(item->row());
    updateStatus();
}

void TBatchWindow::repairSelected() {
    if (printing_) return;
    // The rows the user picked: their mended values are taken and their
    // warnings accepted, each for its own row.
    for (const QModelIndex& i : Table_Orders->selectionModel()->selectedRows()) {
        const auto r = static_cast<std::size_t>(i.row());
        const std::vector<batch::Problem>& problems = checked_[r].problems;
        orders_[r] = batch::withWarningsAccepted(batch::withRepairs(orders_[r], problems), problems);
        edited_[r] = true;
        checkRow(i.row());
    }
    updateStatus();
}

void TBatchWindow::repairAll() {
    if (printing_) return;
    // Only mended values: a warning is accepted row by row, once looked at.
    for (std::size_t r = 0; r < orders_.size(); ++r) {
        if (printed_[r]) continue;
        orders_[r] = batch::withRepairs(orders_[r], checked_[r].problems);
        edited_[r] = true;
        checkRow(static_cast<int>(r));
    }
    updateStatus();
}

void TBatchWindow::updateStatus() {
    int ok = 0, chosen = 0, repairs = 0, warnings = 0, done = 0;
    for (std::size_t r = 0; r < orders_.size(); ++r) {
        if (printed_[r]) {
            ++done;
            continue;
        }
        if (checked_[r].printable()) ++ok;
        for (const batch::Problem& p : checked_[r].problems) {
            if (!p.repair.empty()) ++repairs;
            if (p.warning && !p.accepted) ++warnings;
        }
        const QTableWidgetItem* box = Table_Orders->item(static_cast<int>(r), 0);
        if (box && box->checkState() == Qt::Checked) ++chosen;
    }
    QString text = QStringLiteral("%1件中 %2件は問題なし、%3件を印刷します")
                       .arg(grouped(orders_.size()), grouped(static_cast<std::size_t>(ok)), grouped(static_cast<std::size_t>(chosen)));
    if (done > 0) text += QStringLiteral("、%1件は印刷済").arg(done);
    if (repairs > 0) text += QStringLiteral("、修正できる値が%1件あります").arg(repairs);
    if (warnings > 0) text += QStringLiteral("、確かめて了承する注意が%1件あります").arg(warnings);
    if (!orders_.empty() && !postalTable()) text += QStringLiteral(" (郵便番号データを読めません)");
    Label_Status->setText(text);
    Button_Print->setEnabled(chosen > 0 && !printing_);
    Button_RepairAll->setEnabled(repairs > 0 && !printing_);
    Button_Repair->setEnabled((repairs > 0 || warnings > 0) && !printing_);
    // The problems read whole: the table scrolls sideways instead.
    Table_Orders->resizeColumnToContents(kProblemColumn);
}
