#include "app/batch/batch_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

#include "app/batch/batch_shared_values.h"
#include "app/batch/batch_window_columns.h"
#include "widgets/code_text.h"
#include "widgets/history_book.h"
#include "widgets/input_mode_delegate.h"
#include "widgets/list_combo_box.h"
#include "widgets/window_memory.h"
#include "batch/platform_layouts.h"
#include "print/Wbprn/waybill_fit.h"
#include "services/guard.h"
#include "services/message_boxes.h"

namespace {

using batch_table::kFieldColumns;
using batch_table::kProblemColumn;
using batch_table::qs;
using batch_table::grouped;

// The mapping panel's header and example columns are kept to this width
// (the full text is in the cell's tooltip); the choice column is never cut.
constexpr int kMappingTextWidth = 150;

// Codes, numbers and dates are typed with the input method off, the
// consignee's and the goods' words in Japanese.
InputModeDelegate* orderCellModes(QObject* parent) {
    auto* modes = new InputModeDelegate(parent);
    const auto column = [](batch::Col c) { return TBatchWindow::kFirstFieldColumn + static_cast<int>(c); };
    for (batch::Col c : {batch::Col::Add1, batch::Col::Add2, batch::Col::Name, batch::Col::G1, batch::Col::G2,
                         batch::Col::G3})
        modes->setColumnMode(column(c), InputMode::Japanese);
    modes->setColumnMode(column(batch::Col::Zip), InputMode::Code);
    modes->setColumnMode(column(batch::Col::Tel), InputMode::Telephone);
    // Typed or pasted full-width digits and hyphens go in half-width, as in
    // the entry form's fields.
    for (batch::Col c : {batch::Col::Zip, batch::Col::Tel}) modes->setColumnConversion(column(c), &codetext::halfWidth);
    for (batch::Col c : {batch::Col::DeliveryDate, batch::Col::ShipDate})
        modes->setColumnMode(column(c), InputMode::Code);
    return modes;
}

}  // namespace

TBatchWindow::TBatchWindow(BatchContext context, QWidget* parent)
    : QWidget(parent, Qt::Window), context_(std::move(context)) {
    setObjectName(QStringLiteral("Form_Batch"));
    setWindowTitle(QStringLiteral("一括印刷"));
    setAcceptDrops(true);
    resize(1100, 640);
    askOpenPath = [](QWidget* owner, const QString& folder) {
        return QFileDialog::getOpenFileName(owner, QStringLiteral("注文ファイルを開く"), folder,
                                            QStringLiteral("CSV・タブ区切り (*.csv *.txt *.tsv);;すべて (*)"));
    };
    askSavePath = [](QWidget* owner, const QString& suggested) {
        return QFileDialog::getSaveFileName(owner, QStringLiteral("印刷しなかった行を保存"), suggested,
                                            QStringLiteral("CSV (*.csv)"));
    };
    build();
}

TBatchWindow::~TBatchWindow() = default;

QString TBatchWindow::baseFolder() const {
    return context_.baseFolder.isEmpty() ? QStringLiteral(".") : context_.baseFolder;
}

void TBatchWindow::build() {
    auto* top = new QHBoxLayout;
    Button_Open = new QPushButton(QStringLiteral("ファイルを開く..."), this);
    Button_Open->setObjectName(QStringLiteral("Button_Open"));
    Button_Open->setToolTip(QStringLiteral("注文ファイルを開きます (Ctrl+O)"));
    Label_File = new QLabel(QStringLiteral("注文のCSVファイルを開くか、ここへドロップしてください"), this);
    Label_File->setObjectName(QStringLiteral("Label_File"));
    // Wrapped rather than widening the window past the screen.
    Label_File->setWordWrap(true);
    CheckBox_FileSender = new QCheckBox(QStringLiteral("ファイルのご依頼主を印字する"), this);
    CheckBox_FileSender->setObjectName(QStringLiteral("CheckBox_FileSender"));
    ComboBox_Mapping = new QComboBox(this);
    ComboBox_Mapping->setObjectName(QStringLiteral("ComboBox_Mapping"));
    // Grows with a mapping saved while the window is open.
    ComboBox_Mapping->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    top->addWidget(Button_Open);
    top->addWidget(Label_File, 1);
    top->addWidget(CheckBox_FileSender);
    top->addWidget(new QLabel(QStringLiteral("列の対応:"), this));
    top->addWidget(ComboBox_Mapping);
    // Bytes that both encodings read are a guess the user may overrule.
    ComboBox_Encoding = new QComboBox(this);
    ComboBox_Encoding->setObjectName(QStringLiteral("ComboBox_Encoding"));
    // In the order of batch::EncodingChoice.
    ComboBox_Encoding->addItems({QStringLiteral("文字コード自動"), QStringLiteral("UTF-8"), QStringLiteral("Shift-JIS")});
    top->addWidget(ComboBox_Encoding);
    connect(ComboBox_Encoding, &QComboBox::activated, this, [this](int) {
        guarded(this, [this] {
            if (!filePath_.isEmpty()) openFile(filePath_);
        });
    });

    mappingBox_ = new QWidget(this);
    auto* mappingLayout = new QVBoxLayout(mappingBox_);
    mappingLayout->setContentsMargins(0, 0, 0, 0);
    Table_Mapping = new QTableWidget(0, 3, mappingBox_);
    Table_Mapping->setObjectName(QStringLiteral("Table_Mapping"));
    Table_Mapping->setHorizontalHeaderLabels({QStringLiteral("列"), QStringLiteral("例"), QStringLiteral("項目")});
    Table_Mapping->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table_Mapping->verticalHeader()->hide();
    Table_Mapping->setWordWrap(false);
    // The column choices take the keyboard; the table only holds them.
    Table_Mapping->setFocusPolicy(Qt::NoFocus);
    Table_Mapping->setTabKeyNavigation(false);
    auto* saveRow = new QHBoxLayout;
    Edit_MappingName = new QLineEdit(mappingBox_);
    Edit_MappingName->setObjectName(QStringLiteral("Edit_MappingName"));
    Edit_MappingName->setPlaceholderText(QStringLiteral("対応表の名前"));
    Button_SaveMapping = new QPushButton(QStringLiteral("対応表を保存"), mappingBox_);
    Button_SaveMapping->setObjectName(QStringLiteral("Button_SaveMapping"));
    saveRow->addWidget(Edit_MappingName, 1);
    saveRow->addWidget(Button_SaveMapping);
    mappingLayout->addWidget(Table_Mapping, 1);
    mappingLayout->addLayout(saveRow);

    // The shared values scroll sideways rather than widen the window.
    Panel_Shared = new BatchSharedValues;
    auto* sharedArea = new QScrollArea(this);
    sharedArea->setObjectName(QStringLiteral("ScrollArea_Shared"));
    sharedArea->setWidget(Panel_Shared);
    sharedArea->setWidgetResizable(true);
    sharedArea->setFrameShape(QFrame::NoFrame);
    sharedArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sharedArea->setFocusPolicy(Qt::NoFocus);
    sharedArea->setFixedHeight(Panel_Shared->sizeHint().height() + sharedArea->horizontalScrollBar()->sizeHint().height());

    Table_Orders = new QTableWidget(0, kProblemColumn + 1, this);
    Table_Orders->setObjectName(QStringLiteral("Table_Orders"));
    QStringList heads{QStringLiteral("印刷"), QStringLiteral("注文番号"), QStringLiteral("点数"), QStringLiteral("行")};
    for (int c = 0; c < kFieldColumns; ++c) heads << qs(batch::colCaption(static_cast<batch::Col>(c)));
    heads << QStringLiteral("問題");
    Table_Orders->setHorizontalHeaderLabels(heads);
    Table_Orders->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table_Orders->setItemDelegate(orderCellModes(Table_Orders));
    // Tab leaves the table for the buttons; the arrow keys move in it.
    Table_Orders->setTabKeyNavigation(false);

    split_ = new QSplitter(Qt::Horizontal, this);
    split_->setChildrenCollapsible(false);
    split_->addWidget(mappingBox_);
    split_->addWidget(Table_Orders);
    split_->setStretchFactor(1, 4);

    auto* bottom = new QHBoxLayout;
    Button_Repair = new QPushButton(QStringLiteral("選んだ行を修正"), this);
    Button_Repair->setObjectName(QStringLiteral("Button_Repair"));
    Button_Repair->setToolTip(QStringLiteral("選んだ行の修正できる値を取り込み、注意を了承します"));
    Button_RepairAll = new QPushButton(QStringLiteral("すべて修正"), this);
    Button_RepairAll->setObjectName(QStringLiteral("Button_RepairAll"));
    Label_Status = new QLabel(this);
    Label_Status->setObjectName(QStringLiteral("Label_Status"));
    Label_Status->setWordWrap(true);
    ProgressBar_Print = new QProgressBar(this);
    ProgressBar_Print->setObjectName(QStringLiteral("ProgressBar_Print"));
    ProgressBar_Print->hide();
    Button_Cancel = new QPushButton(QStringLiteral("中止"), this);
    Button_Cancel->setObjectName(QStringLiteral("Button_Cancel"));
    Button_Cancel->hide();
    Edit_FirstNumber = new QLineEdit(this);
    Edit_FirstNumber->setObjectName(QStringLiteral("Edit_FirstNumber"));
    Edit_FirstNumber->setPlaceholderText(QStringLiteral("空欄: 記録しない"));
    Edit_FirstNumber->setMaximumWidth(160);
    setInputMode(Edit_FirstNumber, InputMode::Code);  // a scanned number goes in as typed
    Button_Print = new QPushButton(QStringLiteral("印刷"), this);
    Button_Print->setObjectName(QStringLiteral("Button_Print"));
    Button_Close = new QPushButton(QStringLiteral("閉じる"), this);
    Button_Close->setObjectName(QStringLiteral("Button_Close"));
    bottom->addWidget(Button_Repair);
    bottom->addWidget(Button_RepairAll);
    bottom->addWidget(Label_Status, 1);
    bottom->addWidget(ProgressBar_Print);
    bottom->addWidget(Button_Cancel);
    bottom->addWidget(new QLabel(QStringLiteral("1枚目の伝票番号"), this));
    bottom->addWidget(Edit_FirstNumber);
    bottom->addWidget(Button_Print);
    bottom->addWidget(Button_Close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(sharedArea);
    layout->addWidget(split_, 1);
    layout->addLayout(bottom);

    connectControls();
    reloadMappingNames();
    fitMappingPanel();
    orderTabs();
    updateStatus();
    proposeFirstNumber();
}

void TBatchWindow::connectControls() {
    auto on = [this](auto* sender, auto signal, auto handler) {
        connect(sender, signal, this, [this, handler](auto&&...) { guarded(this, [&] { handler(); }); });
    };
    on(Button_Open, &QPushButton::clicked, [this] { chooseFile(); });
    on(Button_SaveMapping, &QPushButton::clicked, [this] { saveMapping(); });
    on(Button_Repair, &QPushButton::clicked, [this] { repairSelected(); });
    on(Button_RepairAll, &QPushButton::clicked, [this] { repairAll(); });
    on(Button_Print, &QPushButton::clicked, [this] { printChecked(); });
    on(Button_Cancel, &QPushButton::clicked, [this] { cancel_ = true; });
    on(Button_Close, &QPushButton::clicked, [this] { close(); });
    on(ComboBox_Mapping, &QComboBox::activated, [this] {
        if (mayRemap()) mappingChosen();
    });
    on(CheckBox_FileSender, &QCheckBox::clicked, [this] {
        if (mayRemap()) mappingChosen();
    });
    on(Panel_Shared, &BatchSharedValues::changed, [this] { recheckAll(); });
    connect(Table_Orders, &QTableWidget::itemChanged, this,
            [this](QTableWidgetItem* item) { guarded(this, [&] { cellEdited(item); }); });

    auto* open = new QShortcut(QKeySequence::Open, this);
    connect(open, &QShortcut::activated, Button_Open, [this] {
        if (Button_Open->isEnabled()) Button_Open->click();
    });
    // Escape closes the window, as it does a dialog; while a job is being
    // built it stops the job, as 中止 does.
    // An open drop-down list is closed alone, as Escape does anywhere else.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] {
        if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
        else if (printing_) cancel_ = true;
        else close();
    });
}

void TBatchWindow::orderTabs() {
    QList<QWidget*> chain{Button_Open, CheckBox_FileSender, ComboBox_Mapping};
    chain << Panel_Shared->boxes();
    for (int i = 0; i < Table_Mapping->rowCount(); ++i)
        if (QWidget* combo = Table_Mapping->cellWidget(i, 2)) chain << combo;
    chain << Edit_MappingName << Button_SaveMapping;
    chain << Table_Orders << Button_Repair << Button_RepairAll << Button_Cancel << Button_Print << Button_Close;
    for (qsizetype i = 1; i < chain.size(); ++i) setTabOrder(chain[i - 1], chain[i]);
}

void TBatchWindow::fitMappingPanel() {
    QHeaderView* head = Table_Mapping->horizontalHeader();
    Table_Mapping->resizeColumnsToContents();
    for (int c : {0, 1}) head->resizeSection(c, std::min(head->sectionSize(c), kMappingTextWidth));
    // Every choice has the same list, so any one box tells the width.
    int choice = head->sectionSize(2);
    ListComboBox sample;
    for (int t = 0; t < static_cast<int>(batch::Target::Count); ++t)
        sample.addItem(qs(batch::targetCaption(static_cast<batch::Target>(t))));
    choice = std::max(choice, sample.sizeHint().width());
    head->resizeSection(2, choice);
    const int frame = 2 * Table_Mapping->frameWidth();
    const int bar = Table_Mapping->verticalScrollBar()->sizeHint().width();
    const int needed = head->length() + frame + bar;
    mappingBox_->setMinimumWidth(needed);
    // The splitter keeps the panel's share as it was; the orders give way.
    const QList<int> sizes = split_->sizes();
    if (sizes.value(0) < needed) split_->setSizes({needed, std::max(0, sizes.value(0) + sizes.value(1) - needed)});
}

bool TBatchWindow::eventFilter(QObject* watched, QEvent* event) {
    // A column's choice reached by Tab is scrolled into sight.
    if (event->type() == QEvent::FocusIn) {
        for (int i = 0; i < Table_Mapping->rowCount(); ++i)
            if (Table_Mapping->cellWidget(i, 2) == watched) Table_Mapping->scrollTo(Table_Mapping->model()->index(i, 2));
    }
    return QWidget::eventFilter(watched, event);
}

void TBatchWindow::closeEvent(QCloseEvent* event) {
    // The job being built needs its orders; 中止 or Escape stops it first.
    if (printing_) {
        event->ignore();
        return;
    }
    // Closed, the window keeps its file and edits: F9 shows them again.
    QWidget::closeEvent(event);
}

void TBatchWindow::reloadMappingNames() {
    const QString current = ComboBox_Mapping->currentText();
    ComboBox_Mapping->clear();
    ComboBox_Mapping->addItem(QStringLiteral("(自動)"));
    for (const std::string& name : batch::savedMappingNames(baseFolder().toStdString())) ComboBox_Mapping->addItem(qs(name));
    const int at = ComboBox_Mapping->findText(current);
    ComboBox_Mapping->setCurrentIndex(at < 0 ? 0 : at);
}

// ---- Reading the file --------------------------------------------------------

void TBatchWindow::chooseFile() {
    if (printing_) return;
    const QString path = askOpenPath(this, fileDialogFolder(context_.baseFolder));
    if (path.isEmpty()) return;
    rememberFileDialogFolder(context_.baseFolder, path);
    openFile(path);
}

bool TBatchWindow::editedUnprinted() const {
    for (std::size_t r = 0; r < edited_.size(); ++r)
        if (edited_[r] && !printed_[r]) return true;
    return false;
}

bool TBatchWindow::mayRemap() {
    if (!editedUnprinted() ||
        messageBoxes().question(this, QStringLiteral("修正した行はまだ印刷していません。対応表を変えると修正は失われます。変えますか?")))
        return true;
    // No: the controls show the mapping the table was made with again.
    ComboBox_Mapping->setCurrentIndex(applied_.savedIndex);
    CheckBox_FileSender->setChecked(applied_.fileSender);
    for (int i = 0; i < Table_Mapping->rowCount(); ++i) {
        const auto at = static_cast<std::size_t>(i);
        if (auto* combo = qobject_cast<QComboBox*>(Table_Mapping->cellWidget(i, 2)))
            combo->setCurrentIndex(static_cast<int>(at < applied_.mapping.size() ? applied_.mapping[at] : batch::Target::None));
    }
    return false;
}

void TBatchWindow::openFile(const QString& path) {
    if (printing_) return;
    if (editedUnprinted() &&
        !messageBoxes().question(this, QStringLiteral("修正した行はまだ印刷していません。別のファイルを開くと修正は失われます。開きますか?")))
        return;
    batch::OrderFile file;
    try {
        const auto choice = static_cast<batch::EncodingChoice>(std::max(0, ComboBox_Encoding->currentIndex()));
        file = withCompanionFile(path, batch::readOrderFile(batch::readFileBytes(QFile::encodeName(path).toStdString()), choice),
                                 choice);
    } catch (const batch::InputError& e) {
        // Nothing of the file is taken; the table keeps what it showed.
        throw std::runtime_error(QFileInfo(path).fileName().toStdString() + " " + e.what());
    }
    file_ = std::move(file);
    filePath_ = path;
    QString encoding = QString::fromLatin1(file_.encoding == batch::Encoding::Cp932 ? "Shift-JIS" : "UTF-8");
    if (file_.encodingAmbiguous)
        encoding += file_.encoding == batch::Encoding::Cp932 ? QStringLiteral("、UTF-8としても読めます")
                                                             : QStringLiteral("、Shift-JISとしても読めます");
    QString layout;
    if (!file_.layout.empty() && !file_.b2)
        layout = QStringLiteral("　") + qs(batch::layoutNotice(file_.layout, file_.otherLayout));
    for (const std::string& notice : file_.notices) layout += QStringLiteral("\n") + qs(notice);
    fileLabel_ = {QFileInfo(path).fileName(), encoding + (file_.b2 ? QStringLiteral(", B2形式") : QString()), layout};
    showFileLabel();
    pickMappingFor(file_.header);
    // A B2 file carries its sender; a saved mapping says for itself.
    if (file_.b2 && ComboBox_Mapping->currentIndex() == 0) CheckBox_FileSender->setChecked(true);
    mappingChosen();
}

void TBatchWindow::pickMappingFor(const std::vector<std::string>& header) {
    const std::string base = baseFolder().toStdString();
    const auto fits = [&](const QString& name) {
        const auto text = batch::loadMapping(base, name.toStdString());
        return text && batch::mappingFitsHeader(*text, header);
    };
    if (ComboBox_Mapping->currentIndex() > 0 && fits(ComboBox_Mapping->currentText())) return;
    for (int i = 1; i < ComboBox_Mapping->count(); ++i) {
        if (fits(ComboBox_Mapping->itemText(i))) {
            ComboBox_Mapping->setCurrentIndex(i);
            return;
        }
    }
    ComboBox_Mapping->setCurrentIndex(0);
}

void TBatchWindow::mappingChosen() {
    // While a job is built the orders it prints from must stay as they are.
    if (file_.header.empty() || printing_) return;
    batch::Mapping m;
    if (ComboBox_Mapping->currentIndex() <= 0) {
        m = batch::guessMapping(file_.header, CheckBox_FileSender->isChecked());
    } else {
        const std::string name = ComboBox_Mapping->currentText().toStdString();
        const auto text = batch::loadMapping(baseFolder().toStdString(), name);
        if (!text) throw std::runtime_error("対応表「" + name + "」が見つかりません");
        m = batch::mappingFromText(*text, file_.header);
    }
    fillMappingTable(m);
    applyMapping(m);
}

void TBatchWindow::fillMappingTable(const batch::Mapping& m) {
    Table_Mapping->setRowCount(static_cast<int>(file_.header.size()));
    for (int i = 0; i < Table_Mapping->rowCount(); ++i) {
        const auto at = static_cast<std::size_t>(i);
        const auto& first = file_.records.front().fields;
        for (const auto& [column, text] : {std::pair{0, qs(file_.header[at])},
                                           std::pair{1, at < first.size() ? qs(first[at]) : QString()}}) {
            auto* item = new QTableWidgetItem(text);
            item->setToolTip(text);
            Table_Mapping->setItem(i, column, item);
        }
        auto* combo = new ListComboBox(Table_Mapping);
        combo->installEventFilter(this);
        combo->setObjectName(QStringLiteral("ComboBox_Column%1").arg(i));
        for (int t = 0; t < static_cast<int>(batch::Target::Count); ++t)
            combo->addItem(qs(batch::targetCaption(static_cast<batch::Target>(t))));
        combo->setCurrentIndex(static_cast<int>(at < m.size() ? m[at] : batch::Target::None));
        connect(combo, &QComboBox::activated, this, [this](int) {
            guarded(this, [this] {
                if (mayRemap()) applyMapping(mappingFromTable());
            });
        });
        Table_Mapping->setCellWidget(i, 2, combo);
    }
    fitMappingPanel();
    orderTabs();
}

batch::Mapping TBatchWindow::mappingFromTable() const {
    batch::Mapping m(file_.header.size(), batch::Target::None);
    for (int i = 0; i < Table_Mapping->rowCount() && static_cast<std::size_t>(i) < m.size(); ++i)
        if (auto* combo = qobject_cast<QComboBox*>(Table_Mapping->cellWidget(i, 2)))
            m[static_cast<std::size_t>(i)] = static_cast<batch::Target>(combo->currentIndex());
    return m;
}

void TBatchWindow::applyMapping(const batch::Mapping& m) {
    if (printing_) return;
    // ordersOf refuses a mapping without a consignee column; the table is
    // then emptied so that nothing stale can print.
    orders_.clear();
    checked_.clear();
    printed_.clear();
    edited_.clear();
    unticked_.clear();
    Table_Orders->setRowCount(0);
    applied_ = {m, ComboBox_Mapping->currentIndex(), CheckBox_FileSender->isChecked()};
    // Addresses are broken where the form's address line ends.
    orders_ = batch::ordersOf(file_, m, batch::addressRoomBytes(printForm()));
    checked_.resize(orders_.size());
    printed_.assign(orders_.size(), false);
    edited_.assign(orders_.size(), false);
    unticked_.assign(orders_.size(), false);
    filling_ = true;
    Table_Orders->setRowCount(static_cast<int>(orders_.size()));
    filling_ = false;
    recheckAll();
    fitOrderColumn();
    showFileLabel();
}

void TBatchWindow::showFileLabel() {
    // Rows and orders apart: a platform writes a row per item.
    QString counts = QStringLiteral("%1行").arg(grouped(file_.records.size()));
    if (!orders_.empty()) counts += QStringLiteral("、%1件").arg(grouped(orders_.size()));
    Label_File->setText(
        QStringLiteral("%1 (%2, %3)%4").arg(fileLabel_.name, fileLabel_.encoding, counts, fileLabel_.layout));
}

void TBatchWindow::saveMapping() {
    const std::string name = Edit_MappingName->text().trimmed().toStdString();
    if (file_.header.empty()) return;
    if (!batch::isValidMappingName(name)) {
        messageBoxes().notice(this, QStringLiteral("対応表の名前を入れてください (「/」などは使えません)"));
        return;
    }
    batch::saveMapping(baseFolder().toStdString(), name, batch::mappingToText(file_.header, mappingFromTable()));
    reloadMappingNames();
    ComboBox_Mapping->setCurrentIndex(ComboBox_Mapping->findText(qs(name)));
    applied_.savedIndex = ComboBox_Mapping->currentIndex();  // the table's mapping, now by name
}

// ---- Dropping a file -------------------------------------------------------

void TBatchWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls() && !printing_) event->acceptProposedAction();
}

void TBatchWindow::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.front().isLocalFile()) return;
    event->acceptProposedAction();
    guarded(this, [&] { openFile(urls.front().toLocalFile()); });
}
