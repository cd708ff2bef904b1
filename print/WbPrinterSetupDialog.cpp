#include "print/WbPrinterSetupDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "print/Wbprn/WbPrinters.h"
#include "services/guard.h"

namespace {

// The codes behind one printer's capability list, in list order.
std::vector<std::uint16_t> codesOf(const wbprn::CapabilityList& list) {
    if (list.count <= 0) return {};
    const auto n = std::min<std::size_t>(list.codes.size(), static_cast<std::size_t>(list.count));
    return {list.codes.begin(), list.codes.begin() + static_cast<std::ptrdiff_t>(n)};
}

void fill(QComboBox* box, const wbprn::CapabilityList& list) {
    box->clear();
    const auto codes = codesOf(list);
    for (std::size_t i = 0; i < codes.size(); ++i) {
        const std::string raw = i < list.names.size() ? list.names[i] : std::string();
        box->addItem(QString::fromUtf8(raw.substr(0, raw.find('\0'))), QVariant(static_cast<int>(codes[i])));
    }
    box->setEnabled(box->count() > 0);
}

void selectCode(QComboBox* box, int code) {
    const int i = box->findData(QVariant(code));
    box->setCurrentIndex(i);
}

}  // namespace

WbPrinterSetupWindow::WbPrinterSetupWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("WbPrinterSetupWindow"));
    setWindowTitle(QStringLiteral("プリンタの設定"));
    auto* form = new QFormLayout;
    rows_ = form;
    ComboBox_Printer = new QComboBox(this);
    ComboBox_Printer->setObjectName(QStringLiteral("ComboBox_Printer"));
    ComboBox_Paper = new QComboBox(this);
    ComboBox_Paper->setObjectName(QStringLiteral("ComboBox_Paper"));
    ComboBox_Bin = new QComboBox(this);
    ComboBox_Bin->setObjectName(QStringLiteral("ComboBox_Bin"));
    form->addRow(QStringLiteral("プリンタ名"), ComboBox_Printer);
    form->addRow(QStringLiteral("用紙サイズ"), ComboBox_Paper);
    form->addRow(QStringLiteral("給紙方法"), ComboBox_Bin);
    RadioButton_Portrait = new QRadioButton(QStringLiteral("縦"), this);
    RadioButton_Portrait->setObjectName(QStringLiteral("RadioButton_Portrait"));
    RadioButton_Landscape = new QRadioButton(QStringLiteral("横"), this);
    RadioButton_Landscape->setObjectName(QStringLiteral("RadioButton_Landscape"));
    auto* orientation = new QHBoxLayout;
    orientation->addWidget(RadioButton_Portrait);
    orientation->addWidget(RadioButton_Landscape);
    form->addRow(QStringLiteral("印刷の向き"), orientation);
    CheckBox_FeedAfterJob = new QCheckBox(QStringLiteral("印刷後に用紙を1枚送る"), this);
    CheckBox_FeedAfterJob->setObjectName(QStringLiteral("CheckBox_FeedAfterJob"));
    form->addRow(QString(), CheckBox_FeedAfterJob);
    ComboBox_Form = new QComboBox(this);
    ComboBox_Form->setObjectName(QStringLiteral("ComboBox_Form"));
    form->addRow(QStringLiteral("送り状の用紙"), ComboBox_Form);
    form->setRowVisible(ComboBox_Form, false);  // until forms are offered
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    Button_FormDesigner = buttons->addButton(QStringLiteral("用紙デザイン…"), QDialogButtonBox::ActionRole);
    Button_FormDesigner->setObjectName(QStringLiteral("Button_FormDesigner"));
    Button_FormDesigner->setVisible(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addWidget(buttons);

    TWbPrinter& wb = WbPrinter();
    ComboBox_Printer->addItems(wb.PrinterNames());
    originalIndex_ = wb.GetIndex();
    ComboBox_Printer->setCurrentIndex(originalIndex_);
    loadLists(originalIndex_);
    // The current printer shows its present settings.
    if (auto s = wb.System().currentSettings()) {
        selectCode(ComboBox_Paper, static_cast<std::uint16_t>(s->paperSize));
        selectCode(ComboBox_Bin, static_cast<std::uint16_t>(s->defaultSource));
        (s->orientation == 2 ? RadioButton_Landscape : RadioButton_Portrait)->setChecked(true);
    } else {
        RadioButton_Portrait->setChecked(true);
    }
    connect(ComboBox_Printer, &QComboBox::currentIndexChanged, this, [this](int i) { loadLists(i); });
}

void WbPrinterSetupWindow::showFormChoice(bool shown) { rows_->setRowVisible(ComboBox_Form, shown); }

void WbPrinterSetupWindow::loadLists(int usableIndex) {
    TWbPrinter& wb = WbPrinter();
    const int system = wb.SystemIndexOf(usableIndex);
    if (system < 0) {
        ComboBox_Paper->clear();
        ComboBox_Bin->clear();
        return;
    }
    fill(ComboBox_Paper, wb.System().paperSizes(system));
    fill(ComboBox_Bin, wb.System().bins(system));
    // Another printer starts from its first entries until the user chooses.
    if (ComboBox_Paper->count() > 0) ComboBox_Paper->setCurrentIndex(0);
    if (ComboBox_Bin->count() > 0) ComboBox_Bin->setCurrentIndex(0);
}

void WbPrinterSetupWindow::applyChoice() {
    TWbPrinter& wb = WbPrinter();
    const int chosen = ComboBox_Printer->currentIndex();
    if (chosen >= 0) wb.SetIndex(chosen);  // another printer starts from its defaults
    auto& system = wb.System();
    if (!system.currentSettings()) system.resetSettings();
    wbprn::DeviceSettings s = system.currentSettings().value_or(wbprn::DeviceSettings{});
    if (ComboBox_Paper->currentIndex() >= 0) s.paperSize = static_cast<std::int16_t>(ComboBox_Paper->currentData().toInt());
    if (ComboBox_Bin->currentIndex() >= 0) s.defaultSource = static_cast<std::int16_t>(ComboBox_Bin->currentData().toInt());
    s.orientation = RadioButton_Landscape->isChecked() ? 2 : 1;
    s.fields |= wbprn::kFieldOrientation;
    system.applySettings(s);
}

bool WbPrinterSetupWindow::runAndApply(const std::function<bool(WbPrinterSetupWindow&)>& runner) {
    const bool confirmed = runner ? runner(*this) : exec() == QDialog::Accepted;
    if (!confirmed) return false;
    applyChoice();
    WbPrinter().ForceUpdateCapabilities();
    return true;
}

TWbPrinterSetupDialog::TWbPrinterSetupDialog(QObject* parent) : QObject(parent) {}

std::function<bool(WbPrinterSetupWindow&)>& TWbPrinterSetupDialog::runner() {
    static std::function<bool(WbPrinterSetupWindow&)> r;
    return r;
}

bool TWbPrinterSetupDialog::Execute() {
    WbPrinterSetupWindow window(qobject_cast<QWidget*>(parent()));
    window.CheckBox_FeedAfterJob->setChecked(FeedAfterJob);
    QComboBox* forms = window.ComboBox_Form;
    for (const FormChoice& f : Forms) forms->addItem(f.name, f.id);
    if (!Forms.empty()) {
        if (!FormId.isEmpty() && forms->findData(FormId) < 0)
            forms->addItem(QStringLiteral("%1（使えません）").arg(FormId), FormId);
        forms->setCurrentIndex(FormId.isEmpty() ? 0 : forms->findData(FormId));
        window.showFormChoice(true);
    }
    if (OpenFormDesigner) {
        window.Button_FormDesigner->setVisible(true);
        connect(window.Button_FormDesigner, &QPushButton::clicked, &window,
                [this, &window] { guarded(&window, [&] { OpenFormDesigner(&window); }); });
    }
    if (!window.runAndApply(runner())) return false;
    FeedAfterJob = window.CheckBox_FeedAfterJob->isChecked();
    if (forms->currentIndex() >= 0) FormId = forms->currentData().toString();
    return true;
}
