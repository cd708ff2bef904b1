#include "app/history/history_window.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <set>
#include <stdexcept>
#include <utility>

#include "widgets/elided_label.h"
#include "widgets/history_book.h"
#include "app/history/history_table_model.h"
#include "app/history/shared_db_dialog.h"
#include "widgets/ui_fonts.h"
#include "widgets/window_memory.h"
#include "services/guard.h"
#include "services/message_boxes.h"
#include "store/atomic_file.h"
#include "history/history_csv.h"
#include "store/output_file.h"
#include "text/sjis_qt.h"

namespace {

QString q(const std::string& sjisText) { return sjis::toQString(sjisText); }

// The space a cell's text leaves free around it (the item view's focus
// frame margins on both sides, with room to spare).
constexpr int kCellMargins = 16;

// One history entry as the user knows it: "山田 太郎 様（2026/12/07 14:03）".
QString entryName(const store::WaybillRecord& r) {
    QString when = QString::fromStdString(r.time.substr(0, 16));
    when.replace(QLatin1Char('-'), QLatin1Char('/'));
    return QStringLiteral("%1 様（%2）").arg(q(r.consignee.name).trimmed(), when);
}

}  // namespace

HistoryWindow::HistoryWindow(HistoryBook& book, QWidget* parent) : QDialog(parent), book_(book) {
    setObjectName(QStringLiteral("Form_History"));
    setWindowTitle(QStringLiteral("履歴"));
    setFont(gothicFont(13));
    resize(860, 480);

    Edit_Search = new QLineEdit(this);
    Edit_Search->setObjectName(QStringLiteral("Edit_Search"));
    Edit_Search->setPlaceholderText(QStringLiteral("おなまえ・でんわ・郵便番号・おところ・品名・注文番号・伝票番号で検索"));
    Edit_Search->setClearButtonEnabled(true);
    CheckBox_Range = new QCheckBox(QStringLiteral("印刷日"), this);
    CheckBox_Range->setObjectName(QStringLiteral("CheckBox_Range"));
    const QDate today = QDate::currentDate();
    DateEdit_From = new QDateEdit(today.addMonths(-1), this);
    DateEdit_From->setObjectName(QStringLiteral("DateEdit_From"));
    DateEdit_To = new QDateEdit(today, this);
    DateEdit_To->setObjectName(QStringLiteral("DateEdit_To"));
    for (QDateEdit* d : {DateEdit_From, DateEdit_To}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
        d->setEnabled(false);
    }

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("検索"), this));
    top->addWidget(Edit_Search, 1);
    top->addWidget(CheckBox_Range);
    top->addWidget(DateEdit_From);
    top->addWidget(new QLabel(QStringLiteral("～"), this));
    top->addWidget(DateEdit_To);

    model_ = new HistoryTableModel(this);
    Grid_History = new QTableView(this);
    Grid_History->setObjectName(QStringLiteral("Grid_History"));
    Grid_History->setModel(model_);
    Grid_History->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid_History->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Grid_History->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid_History->verticalHeader()->hide();
    Grid_History->setWordWrap(false);
    const int widths[] = {140, 120, 110, 76, 250, 120, 90};
    for (int c = 0; c < 7; ++c) Grid_History->setColumnWidth(c, widths[c]);
    // The print time, the order number and the tracking number are read
    // whole: each column as wide as its widest text in this font (楽天's
    // order numbers are the longest), with the cell's margins. The table
    // scrolls sideways rather than cut the last column short.
    const std::pair<int, const char16_t*> whole[] = {
        {0, u"8888-88-88 88:88:88"}, {7, u"888888-88888888-8888888888"}, {8, u"888888888888"}};
    for (const auto& [column, widest] : whole) {
        const int text = Grid_History->fontMetrics().horizontalAdvance(QString::fromUtf16(widest));
        Grid_History->setColumnWidth(
            column, std::max(Grid_History->horizontalHeader()->sectionSizeHint(column), text + kCellMargins));
    }

    // A long message (an export's path) is shortened, never widening the window.
    Label_Count = new ElidedLabel(this);
    Label_Count->setObjectName(QStringLiteral("Label_Count"));
    BitBtn_Delete = new QPushButton(QStringLiteral("削除"), this);
    BitBtn_Delete->setObjectName(QStringLiteral("BitBtn_Delete"));
    BitBtn_Csv = new QPushButton(QStringLiteral("CSV出力"), this);
    BitBtn_Csv->setObjectName(QStringLiteral("BitBtn_Csv"));
    BitBtn_Close = new QPushButton(QStringLiteral("閉じる"), this);
    BitBtn_Close->setObjectName(QStringLiteral("BitBtn_Close"));
    Label_Shared = new QLabel(this);
    Label_Shared->setObjectName(QStringLiteral("Label_Shared"));
    Label_Shared->setStyleSheet(QStringLiteral("color: #b00000"));
    BitBtn_SharedDb = new QPushButton(QStringLiteral("共有データベース…"), this);
    BitBtn_SharedDb->setObjectName(QStringLiteral("BitBtn_SharedDb"));
    for (QPushButton* b : {BitBtn_Delete, BitBtn_Csv, BitBtn_Close, BitBtn_SharedDb}) b->setAutoDefault(false);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(BitBtn_SharedDb);
    bottom->addWidget(Label_Shared);
    bottom->addWidget(Label_Count, 1);
    bottom->addWidget(BitBtn_Delete);
    bottom->addWidget(BitBtn_Csv);
    bottom->addWidget(BitBtn_Close);

    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addWidget(Grid_History, 1);
    auto* shipping = new QHBoxLayout;
    buildShipping(shipping);
    all->addLayout(shipping);
    all->addLayout(bottom);

    auto on = [this](auto* sender, auto signal, void (HistoryWindow::*handler)()) {
        connect(sender, signal, this, [this, handler] { guarded(this, [&] { (this->*handler)(); }); });
    };
    const auto reloadNow = [this] { guarded(this, [this] { reload(); }); };
    connect(Edit_Search, &QLineEdit::textChanged, this, reloadNow);
    connect(CheckBox_Range, &QCheckBox::toggled, this, reloadNow);
    connect(DateEdit_From, &QDateEdit::dateChanged, this, reloadNow);
    connect(DateEdit_To, &QDateEdit::dateChanged, this, reloadNow);
    connect(CheckBox_Range, &QCheckBox::toggled, this, [this](bool on) {
        DateEdit_From->setEnabled(on);
        DateEdit_To->setEnabled(on);
    });
    on(Grid_History, &QTableView::doubleClicked, &HistoryWindow::takeCurrent);
    on(BitBtn_Delete, &QPushButton::clicked, &HistoryWindow::deleteSelected);
    on(BitBtn_Csv, &QPushButton::clicked, &HistoryWindow::exportCsv);
    connect(BitBtn_Close, &QPushButton::clicked, this, &QDialog::close);
    on(BitBtn_SharedDb, &QPushButton::clicked, &HistoryWindow::openSharedDb);
    // Another station's print, or rows of this one that reached the server.
    connect(&book_, &HistoryBook::changed, this, [this] {
        if (isVisible()) guarded(this, [this] { reload(); });
    });
    Grid_History->installEventFilter(this);
    Edit_Search->installEventFilter(this);

    askCsvPath = [](QWidget* owner, const QString& suggested) {
        return QFileDialog::getSaveFileName(owner, QStringLiteral("CSV出力"), suggested,
                                            QStringLiteral("CSV (*.csv)"));
    };
}

store::HistoryQuery HistoryWindow::currentQuery() const {
    store::HistoryQuery query;
    query.search = sjis::fromQString(Edit_Search->text());
    if (CheckBox_Range->isChecked()) {
        query.fromDate = DateEdit_From->date().toString(QStringLiteral("yyyy-MM-dd")).toStdString();
        query.toDate = DateEdit_To->date().toString(QStringLiteral("yyyy-MM-dd")).toStdString();
    }
    return query;
}

void HistoryWindow::reload(std::function<void()> then) {
    // Another station's print may reload while the rows after a change
    // are on their way: what the change had to do once they show (its
    // confirmation) is done all the same.
    if (then) thens_.push_back(std::move(then));
    store::HistoryQuery query = currentQuery();
    query.limit = kShownRows;
    // Shown until the answer comes: the rows above are the last search's.
    Label_Count->setText(QStringLiteral("検索しています…"));
    book_.readLater(
        HistoryBook::Lane::Search, this,
        [query](store::HistoryBackend& s, HistoryBook::Found& found) { found.rows = s.list(query); },
        [this](HistoryBook::Found& found) {
            guarded(this, [&] {
                const std::vector<std::function<void()>> thens = std::exchange(thens_, {});
                showRows(found);
                for (const std::function<void()>& then : thens) then();
            });
        });
    book_.listen();
}

void HistoryWindow::showRows(HistoryBook::Found& found) {
    if (found.slow) {
        // The server is there but busy: the rows shown stay, with word of it.
        Label_Count->setText(countText());
        Label_Shared->setText(QStringLiteral("検索に時間がかかっています…"));
        Label_Shared->setToolTip(found.error);
        return;
    }
    if (!found.ok) {
        Label_Count->setText(countText());
        throw std::runtime_error("履歴を読めません: " + found.error.toStdString());
    }
    model_->setRows(std::move(found.rows));
    if (!rows().empty()) setCurrentRow(0);
    Label_Count->setText(countText());
    const store::SharedHistory::Status& shared = found.shared;
    Label_Shared->setText(shared.connected
                              ? QString()
                              : QStringLiteral("共有データベースに接続できません（未送信 %1 件）").arg(shared.unsent));
    Label_Shared->setToolTip(QString::fromStdString(shared.error));
}

const std::vector<store::WaybillRecord>& HistoryWindow::rows() const { return model_->rows(); }

int HistoryWindow::currentRow() const {
    const QModelIndex current = Grid_History->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void HistoryWindow::setCurrentRow(int row) { Grid_History->setCurrentIndex(model_->index(row, 0)); }

QString HistoryWindow::countText() const {
    return rows().size() >= static_cast<std::size_t>(kShownRows) ? QStringLiteral("新しい順に %1 件を表示").arg(kShownRows)
                                                                 : QStringLiteral("%1 件").arg(rows().size());
}

void HistoryWindow::openSharedDb() {
    SharedDbDialog dialog(book_, this);
    if (dialog.exec() == QDialog::Accepted) reload();
}

void HistoryWindow::takeCurrent() {
    const int row = currentRow();
    if (row < 0 || row >= static_cast<int>(rows().size())) return;
    const store::WaybillRecord chosenRow = rows()[static_cast<std::size_t>(row)];
    close();
    emit chosen(chosenRow);
}

void HistoryWindow::deleteSelected() {
    std::set<int> picked;
    for (const QModelIndex& i : Grid_History->selectionModel()->selectedRows()) picked.insert(i.row());
    if (picked.empty() || *picked.rbegin() >= static_cast<int>(rows().size())) return;
    std::vector<std::int64_t> ids;
    ids.reserve(picked.size());
    for (const int row : picked) ids.push_back(rows()[static_cast<std::size_t>(row)].id);
    // One entry is named, so the user sees which one goes.
    const QString question =
        picked.size() == 1
            ? QStringLiteral("%1を削除しますか?").arg(entryName(rows()[static_cast<std::size_t>(*picked.begin())]))
            : QStringLiteral("選択した履歴 %1 件を削除しますか?").arg(picked.size());
    if (!messageBoxes().question(this, question)) return;
    book_.writeLater(
        this, [ids](store::HistoryBackend& s) { s.remove(ids); },
        [this](const HistoryBook::Written& written) {
            guarded(this, [&] {
                if (!written.ok) throw std::runtime_error("履歴を削除できません: " + written.error.toStdString());
                reload();
            });
        });
}

void HistoryWindow::exportCsv() {
    // The history lives in the base folder, which keeps the dialog's memory.
    const QString base = QFileInfo(book_.filePath()).absolutePath();
    const QString suggested = QDir(fileDialogFolder(base)).filePath(QStringLiteral("vamu_Pelican_履歴.csv"));
    const QString path = askCsvPath(this, suggested);
    if (path.isEmpty()) return;
    // Never over the database itself or another file that is not text.
    store::checkOutputFile(QFile::encodeName(path).toStdString(), store::OutputKind::Text,
                           {QFile::encodeName(book_.filePath()).toStdString()});
    rememberFileDialogFolder(base, path);
    const std::string csv = store::historyCsv(rows());
    // Replaced as a whole: a failed export leaves an earlier file intact.
    try {
        writeFileAtomically(QFile::encodeName(path).toStdString(), csv);
    } catch (const FileError& e) {
        throw std::runtime_error(path.toStdString() + " に書き込めません: " + e.what());
    }
    Label_Count->setText(QStringLiteral("%1 件を %2 に書き出しました").arg(rows().size()).arg(path));
}

bool HistoryWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        if (enter && (watched == Grid_History || watched == Edit_Search)) {
            guarded(this, [this] { takeCurrent(); });
            return true;
        }
        // Down from the search text goes on into the rows.
        if (key == Qt::Key_Down && watched == Edit_Search && model_->rowCount() > 0) {
            Grid_History->setFocus();
            return true;
        }
        if (key == Qt::Key_Delete && watched == Grid_History) {
            guarded(this, [this] { deleteSelected(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
