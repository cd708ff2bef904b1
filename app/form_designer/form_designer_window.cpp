#include "app/form_designer/form_designer_window.h"

#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/form_designer/form_canvas.h"
#include "app/form_designer/form_scan.h"
#include "print/Wbprn/WbPrinters.h"
#include "print/calibration_print.h"
#include "print/core/form_check.h"
#include "print/core/form_file.h"
#include "print/core/form_library.h"
#include "services/guard.h"
#include "services/message_boxes.h"
#include "store/atomic_file.h"
#include "store/file_read.h"
#include "text/sjis_qt.h"
#include "widgets/window_memory.h"

using form_design::FormCanvas;
using form_design::FormDesign;

namespace {

// A form's ID names its file: letters, digits, '-' and '_'.
const QRegularExpression kIdPattern(QStringLiteral("^[A-Za-z0-9_-]{1,40}$"));
constexpr double kLargestPageMm = 1000.0;
constexpr int kPanelWidth = 400;

QPushButton* button(QWidget* parent, const char* name, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QDoubleSpinBox* millimetreBox(QWidget* parent, const char* name) {
    auto* s = new QDoubleSpinBox(parent);
    s->setObjectName(QString::fromLatin1(name));
    s->setRange(form_design::kMinBoxMm, kLargestPageMm);
    s->setDecimals(1);
    s->setSuffix(QStringLiteral(" mm"));
    return s;
}

QLineEdit* lineEdit(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    return e;
}

QString itemCaption(const print::FormItemPlace& p) {
    return QStringLiteral("%1  %2").arg(QString::fromLatin1(p.key), sjis::toQString(p.label));
}

}  // namespace

TForm_FormDesigner::TForm_FormDesigner(QString baseFolder, QWidget* parent)
    : QDialog(parent), baseFolder_(std::move(baseFolder)) {
    setObjectName(QStringLiteral("Form_FormDesigner"));
    setWindowTitle(QStringLiteral("用紙デザイン"));
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint);
    buildControls();
    loadBases();
    startFrom(0);
    keepWindowPlacement(*this, baseFolder_);
}

TForm_FormDesigner::~TForm_FormDesigner() = default;

void TForm_FormDesigner::buildControls() {
    Canvas = new FormCanvas(design_, this);
    ComboBox_Base = new QComboBox(this);
    ComboBox_Base->setObjectName(QStringLiteral("ComboBox_Base"));
    Button_OpenScan = button(this, "Button_OpenScan", QStringLiteral("用紙の画像を開く…"));
    Label_Scan = new QLabel(QStringLiteral("画像なし"), this);
    Label_Scan->setObjectName(QStringLiteral("Label_Scan"));
    Label_Scan->setWordWrap(true);
    Spin_WidthMm = millimetreBox(this, "Spin_WidthMm");
    Spin_HeightMm = millimetreBox(this, "Spin_HeightMm");
    List_Items = new QListWidget(this);
    List_Items->setObjectName(QStringLiteral("List_Items"));
    Label_Place = new QLabel(this);
    Label_Place->setObjectName(QStringLiteral("Label_Place"));
    Label_Place->setWordWrap(true);
    Spin_FontSize = new QSpinBox(this);
    Spin_FontSize->setObjectName(QStringLiteral("Spin_FontSize"));
    Spin_FontSize->setRange(print::kMinFontPoints, print::kMaxFontPoints);
    Spin_FontSize->setSuffix(QStringLiteral(" pt"));
    List_Problems = new QListWidget(this);
    List_Problems->setObjectName(QStringLiteral("List_Problems"));
    Edit_Name = new QLineEdit(this);
    Edit_Name->setObjectName(QStringLiteral("Edit_Name"));
    Edit_Id = new QLineEdit(this);
    Edit_Id->setObjectName(QStringLiteral("Edit_Id"));
    Edit_Id->setPlaceholderText(QStringLiteral("半角英数字（ファイル名）"));
    Edit_Carrier = lineEdit(this, "Edit_Carrier");
    Edit_Method = lineEdit(this, "Edit_Method");
    Edit_AmazonCode = lineEdit(this, "Edit_AmazonCode");
    Edit_RakutenCode = lineEdit(this, "Edit_RakutenCode");
    ComboBox_Tracking = new QComboBox(this);
    ComboBox_Tracking->setObjectName(QStringLiteral("ComboBox_Tracking"));
    // In TrackingRule order.
    ComboBox_Tracking->addItems({QStringLiteral("なし"), QStringLiteral("末尾が7で割った余り"), QStringLiteral("桁数だけ")});
    Spin_TrackingDigits = new QSpinBox(this);
    Spin_TrackingDigits->setObjectName(QStringLiteral("Spin_TrackingDigits"));
    Spin_TrackingDigits->setRange(print::kMinTrackingDigits, print::kMaxTrackingDigits);
    Spin_TrackingDigits->setSuffix(QStringLiteral(" 桁"));
    Button_Save = button(this, "Button_Save", QStringLiteral("保存"));
    Button_Calibration = button(this, "Button_Calibration", QStringLiteral("校正ページを印刷"));
    Button_Calibration->setToolTip(
        QStringLiteral("普通紙にこの用紙の印字位置・枠・目盛りを印刷します。実物の用紙に重ねて透かし、ずれを確かめます"));
    Button_Close = button(this, "Button_Close", QStringLiteral("閉じる"));
    Label_Status = new QLabel(this);
    Label_Status->setObjectName(QStringLiteral("Label_Status"));
    Label_Status->setWordWrap(true);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("元にする用紙"), ComboBox_Base);
    fields->addRow(Button_OpenScan);
    fields->addRow(Label_Scan);
    fields->addRow(QStringLiteral("用紙の幅"), Spin_WidthMm);
    fields->addRow(QStringLiteral("用紙の高さ"), Spin_HeightMm);
    fields->addRow(QStringLiteral("項目"), List_Items);
    fields->addRow(Label_Place);
    fields->addRow(QStringLiteral("文字の大きさ"), Spin_FontSize);
    fields->addRow(QStringLiteral("確認"), List_Problems);
    fields->addRow(QStringLiteral("用紙の名前"), Edit_Name);
    fields->addRow(QStringLiteral("ID"), Edit_Id);
    fields->addRow(QStringLiteral("運送会社"), Edit_Carrier);
    fields->addRow(QStringLiteral("サービス"), Edit_Method);
    auto* codes = new QHBoxLayout;
    codes->addWidget(new QLabel(QStringLiteral("Amazon"), this));
    codes->addWidget(Edit_AmazonCode);
    codes->addWidget(new QLabel(QStringLiteral("楽天"), this));
    codes->addWidget(Edit_RakutenCode);
    fields->addRow(QStringLiteral("出荷通知のコード"), codes);
    auto* tracking = new QHBoxLayout;
    tracking->addWidget(ComboBox_Tracking, 1);
    tracking->addWidget(Spin_TrackingDigits);
    fields->addRow(QStringLiteral("伝票番号"), tracking);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button_Save);
    buttons->addWidget(Button_Calibration);
    buttons->addStretch();
    buttons->addWidget(Button_Close);
    // The page takes what the window has beyond a panel of fixed width.
    auto* panel = new QWidget(this);
    panel->setFixedWidth(kPanelWidth);
    auto* side = new QVBoxLayout(panel);
    side->setContentsMargins(0, 0, 0, 0);
    side->addLayout(fields);
    side->addWidget(Label_Status);
    side->addLayout(buttons);
    auto* top = new QHBoxLayout(this);
    top->addWidget(Canvas, 1);
    top->addWidget(panel);
    List_Problems->setMaximumHeight(110);

    const auto on = [this](auto handler) { return [this, handler] { guarded(this, [&] { (this->*handler)(); }); }; };
    connect(ComboBox_Base, &QComboBox::activated, this, [this](int i) { guarded(this, [&] { startFrom(i); }); });
    connect(Button_OpenScan, &QPushButton::clicked, this, on(&TForm_FormDesigner::chooseScan));
    connect(Spin_WidthMm, &QDoubleSpinBox::valueChanged, this, on(&TForm_FormDesigner::pageSizeEdited));
    connect(Spin_HeightMm, &QDoubleSpinBox::valueChanged, this, on(&TForm_FormDesigner::pageSizeEdited));
    connect(List_Items, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!updating_) Canvas->select(row < 0 ? std::nullopt : std::optional<std::size_t>(row));
    });
    connect(Canvas, &FormCanvas::selectionChanged, this, on(&TForm_FormDesigner::selectionChanged));
    connect(Canvas, &FormCanvas::boxChanged, this, on(&TForm_FormDesigner::boxChanged));
    connect(Spin_FontSize, &QSpinBox::valueChanged, this,
            [this](int v) { guarded(this, [&] { fontSizeEdited(v); }); });
    connect(Button_Save, &QPushButton::clicked, this, [this] { guarded(this, [this] { save(); }); });
    connect(Button_Calibration, &QPushButton::clicked, this, on(&TForm_FormDesigner::printCalibration));
    connect(Button_Close, &QPushButton::clicked, this, &QDialog::reject);
}

void TForm_FormDesigner::setMargins(const QString& top, const QString& left) {
    top_ = top;
    left_ = left;
}

QString TForm_FormDesigner::formFolder() const {
    return QString::fromStdString(print::userFormFolder(QFile::encodeName(baseFolder_).toStdString()));
}

void TForm_FormDesigner::loadBases() {
    // The built-in form first, then the user's forms that can be read; a
    // form with problems is still a fine place to start from.
    bases_.assign(1, print::builtinForm());
    ComboBox_Base->clear();
    ComboBox_Base->addItem(QStringLiteral("%1（組み込み）").arg(QString::fromStdString(print::builtinForm().name)));
    const QDir dir(formFolder());
    for (const QFileInfo& file : dir.entryInfoList({QStringLiteral("*") + QString::fromLatin1(print::kFormFileSuffix)}, QDir::Files, QDir::Name)) {
        std::string text;
        if (readFileCapped(QFile::encodeName(file.filePath()).toStdString(), print::kMaxFormFileBytes, text) != 0)
            continue;
        auto read = print::parseForm(text, file.completeBaseName().toStdString());
        if (!read.form || read.form->builtIn()) continue;
        ComboBox_Base->addItem(QStringLiteral("%1（%2）").arg(QString::fromStdString(read.form->name),
                                                            QString::fromStdString(read.form->id)));
        bases_.push_back(std::move(*read.form));
    }
}

void TForm_FormDesigner::startFrom(int baseIndex) {
    if (baseIndex < 0 || static_cast<std::size_t>(baseIndex) >= bases_.size()) return;
    const print::Form& base = bases_[static_cast<std::size_t>(baseIndex)];
    design_ = FormDesign(base);
    ComboBox_Base->setCurrentIndex(baseIndex);
    {
        const QSignalBlocker w(Spin_WidthMm), h(Spin_HeightMm);
        Spin_WidthMm->setValue(design_.widthMm());
        Spin_HeightMm->setValue(design_.heightMm());
    }
    showIdentity(base);
    updating_ = true;
    List_Items->clear();
    for (std::size_t i = 0; i < design_.count(); ++i) List_Items->addItem(itemCaption(design_.place(i)));
    updating_ = false;
    Canvas->designReset();
    Canvas->select(std::nullopt);
    selectionChanged();
    refreshCheck();
}

void TForm_FormDesigner::showIdentity(const print::Form& base) {
    // A saved form is saved again under its own name; the built-in one
    // only ever as a new form.
    Edit_Name->setText(base.builtIn() ? QString() : QString::fromStdString(base.name));
    Edit_Id->setText(base.builtIn() ? QString() : QString::fromStdString(base.id));
    Edit_Carrier->setText(QString::fromStdString(base.carrier.name));
    Edit_Method->setText(QString::fromStdString(base.carrier.method));
    Edit_AmazonCode->setText(QString::fromStdString(base.carrier.amazonCode));
    Edit_RakutenCode->setText(QString::fromStdString(base.carrier.rakutenCode));
    ComboBox_Tracking->setCurrentIndex(static_cast<int>(base.tracking));
    Spin_TrackingDigits->setValue(base.trackingDigits);
}

void TForm_FormDesigner::takeIdentity(const QString& id, const QString& name) {
    design_.setIdentity(id.toStdString(), name.toStdString());
    print::FormCarrier carrier;
    carrier.name = Edit_Carrier->text().trimmed().toStdString();
    carrier.method = Edit_Method->text().trimmed().toStdString();
    carrier.amazonCode = Edit_AmazonCode->text().trimmed().toStdString();
    carrier.rakutenCode = Edit_RakutenCode->text().trimmed().toStdString();
    design_.setCarrier(carrier, static_cast<print::TrackingRule>(ComboBox_Tracking->currentIndex()),
                       Spin_TrackingDigits->value());
}

void TForm_FormDesigner::chooseScan() {
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("用紙の画像を開く"), fileDialogFolder(baseFolder_),
        QStringLiteral("用紙の画像 (*.png *.jpg *.jpeg *.pdf);;すべてのファイル (*)"));
    if (path.isEmpty()) return;
    rememberFileDialogFolder(baseFolder_, path);
    openScan(path);
}

bool TForm_FormDesigner::openScan(const QString& path) {
    const form_design::Scan scan = form_design::loadScan(path);
    if (scan.image.isNull()) {
        messageBoxes().error(this, scan.error);
        return false;
    }
    Canvas->setScan(scan.image);
    QString info = QStringLiteral("%1: %2 × %3 ピクセル")
                       .arg(QFileInfo(path).fileName())
                       .arg(scan.image.width())
                       .arg(scan.image.height());
    if (scan.sizeMm) {
        info += QStringLiteral("、%1 dpi、%2 × %3 mm")
                    .arg(scan.dpi)
                    .arg(scan.sizeMm->width(), 0, 'f', 1)
                    .arg(scan.sizeMm->height(), 0, 'f', 1);
        // The picture is the whole form: its size is the form's.
        const QSignalBlocker w(Spin_WidthMm), h(Spin_HeightMm);
        Spin_WidthMm->setValue(scan.sizeMm->width());
        Spin_HeightMm->setValue(scan.sizeMm->height());
        pageSizeEdited();
    } else {
        info += QStringLiteral("。解像度が分からないため、用紙の幅と高さを mm で入れてください");
    }
    Label_Scan->setText(info);
    return true;
}

void TForm_FormDesigner::pageSizeEdited() {
    design_.setPageMm(Spin_WidthMm->value(), Spin_HeightMm->value());
    Canvas->designReset();
    refreshCheck();
}

void TForm_FormDesigner::selectionChanged() {
    const auto sel = Canvas->selected();
    updating_ = true;
    List_Items->setCurrentRow(sel ? static_cast<int>(*sel) : -1);
    updating_ = false;
    Spin_FontSize->setEnabled(sel.has_value());
    if (sel) {
        const QSignalBlocker block(Spin_FontSize);
        Spin_FontSize->setValue(design_.place(*sel).size);
    }
    boxChanged();
}

void TForm_FormDesigner::boxChanged() {
    const auto sel = Canvas->selected();
    if (!sel) {
        Label_Place->setText(QStringLiteral("項目を選んでください。矢印キーで 0.1 mm、Shift+矢印で 1 mm 動きます"));
    } else {
        const auto& b = design_.box(*sel);
        const auto& p = design_.place(*sel);
        Label_Place->setText(QStringLiteral("左 %1 mm、上 %2 mm、幅 %3 mm、高さ %4 mm（1/160 インチ: %5, %6 – %7, %8）")
                                 .arg(b.left, 0, 'f', 1)
                                 .arg(b.top, 0, 'f', 1)
                                 .arg(b.width(), 0, 'f', 1)
                                 .arg(b.height(), 0, 'f', 1)
                                 .arg(p.u)
                                 .arg(p.v)
                                 .arg(p.right)
                                 .arg(p.bottom));
    }
    refreshCheck();
}

void TForm_FormDesigner::fontSizeEdited(int points) {
    const auto sel = Canvas->selected();
    if (!sel) return;
    design_.setFontSize(*sel, points);
    Canvas->update();
    refreshCheck();
}

QStringList TForm_FormDesigner::problems() const {
    QStringList out;
    for (const auto& p : print::checkForm(design_.form()))
        out << (p.item.empty() ? QString::fromStdString(p.message)
                               : QStringLiteral("%1: %2").arg(QString::fromStdString(p.item),
                                                              QString::fromStdString(p.message)));
    return out;
}

void TForm_FormDesigner::refreshCheck() {
    const auto spills = spills_.spills(design_.form());
    std::vector<bool> spilled(design_.count(), false);
    for (const auto& s : spills) spilled[s.index] = true;
    Canvas->setSpilled(std::move(spilled));
    // The list is rebuilt only when it changes: a drag checks at every step.
    QStringList now;
    for (const auto& s : spills) now << form_design::spillText(design_.place(s.index), s);
    now << problems();
    QStringList shown;
    for (int i = 0; i < List_Problems->count(); ++i) shown << List_Problems->item(i)->text();
    if (now == shown) return;
    List_Problems->clear();
    List_Problems->addItems(now);
}

bool TForm_FormDesigner::save() {
    const QString id = Edit_Id->text().trimmed();
    const QString name = Edit_Name->text().trimmed();
    if (name.isEmpty()) {
        messageBoxes().error(this, QStringLiteral("用紙の名前を入れてください"));
        return false;
    }
    if (!kIdPattern.match(id).hasMatch()) {
        messageBoxes().error(this, QStringLiteral("ID は半角の英数字と - _ で付けてください（ファイル名になります）"));
        return false;
    }
    if (id.compare(QString::fromStdString(print::builtinForm().id), Qt::CaseInsensitive) == 0) {
        messageBoxes().error(this, QStringLiteral("組み込みの用紙（%1）は上書きできません。別の ID を付けてください").arg(id));
        return false;
    }
    takeIdentity(id, name);
    refreshCheck();
    const QString folder = formFolder();
    const QString path = QDir(folder).filePath(id + QString::fromLatin1(print::kFormFileSuffix));
    if (!print::checkForm(design_.form()).empty() &&
        !messageBoxes().question(this, QStringLiteral("この用紙には問題があり、直すまで印刷には使えません。保存しますか?")))
        return false;
    if (QFileInfo::exists(path) && path != savedPath_ &&
        !messageBoxes().question(this, QStringLiteral("用紙 %1 はもうあります。上書きしますか?").arg(id)))
        return false;
    if (!QDir().mkpath(folder)) {
        messageBoxes().error(this, QStringLiteral("フォルダ %1 を作れません").arg(folder));
        return false;
    }
    writeFileAtomically(QFile::encodeName(path).toStdString(), print::formText(design_.form()));
    savedPath_ = path;
    Label_Status->setText(QStringLiteral("%1 に保存しました").arg(QDir::toNativeSeparators(path)));
    return true;
}

void TForm_FormDesigner::printCalibration() {
    const auto found = print::checkForm(design_.form());
    if (!found.empty()) {
        messageBoxes().error(this, QStringLiteral("この用紙には問題があるため印刷できません: %1")
                                       .arg(QString::fromStdString(found.front().item + " " + found.front().message)));
        return;
    }
    WbPrinter().CheckDocumentsAllowed();
    if (!messageBoxes().question(this, QStringLiteral("普通紙をセットしてください。テスト印刷しますか?"))) return;
    printCalibrationPage(calibrationFields(&design_.form(), top_, left_));
}

void runFormDesigner(QWidget* parent, const QString& baseFolder, const QString& top, const QString& left) {
    TForm_FormDesigner designer(baseFolder, parent);
    designer.setMargins(top, left);
    designer.exec();
}
