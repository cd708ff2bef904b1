// One part of TForm_Main (form_main.h): its members are defined across the form_main*.cpp files by concern.
// F9 一括印刷: opens the batch window, which prints orders from a file with
// this form's sender, shipping date, goods, time band and printer.
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>

#include "app/batch/batch_window.h"
#include "app/main_form/app_windows.h"
#include "app/main_form/continuous_page.h"
#include "app/main_form/form_main.h"
#include "widgets/sjis_line_edit.h"
#include "widgets/window_memory.h"
#include "print/Form_SLIP97YPrn.h"
#include "print/Wb_d97_Dot.h"
#include "services/guard.h"

void TForm_Main::setUpBatchKey() {
    SpeedButton_F9->setText(QStringLiteral("一括印刷"));
    SpeedButton_F9->setEnabled(true);
    if (findChild<QShortcut*>(QStringLiteral("Shortcut_F9"))) return;
    // The entry fields leave F9 alone, so one window-wide shortcut serves
    // every field.
    auto* key = new QShortcut(QKeySequence(Qt::Key_F9), this);
    key->setObjectName(QStringLiteral("Shortcut_F9"));
    connect(key, &QShortcut::activated, SpeedButton_F9, &QPushButton::click);
    connect(SpeedButton_F9, &QPushButton::clicked, this, [this] { guarded(this, [this] { SpeedButton_F9Click(); }); });
}

void TForm_Main::followForm(TBatchWindow& window) {
    // The batch's rows are checked against this form's sender, dates, goods,
    // time band and special handling, its feed mode's margins, printer and
    // paper: any change of these checks them again. The consignee is each
    // order's own.
    TBatchWindow* batch = &window;
    const auto recheck = [batch] { batch->scheduleRecheck(); };
    for (SjisLineEdit* e : findChildren<SjisLineEdit*>())
        if (!Panel1->isAncestorOf(e)) connect(e, &QLineEdit::textChanged, batch, recheck);
    for (QCheckBox* b : findChildren<QCheckBox*>()) connect(b, &QCheckBox::toggled, batch, recheck);
    connect(DateTimePicker_1, &QDateEdit::dateChanged, batch, recheck);
    // The feed mode loads its record; registering a printer or margins
    // writes it; the printer box shows a printer that came or went.
    for (QComboBox* c : {ComboBox_SEL, ComboBox1, ComboBox2, ComboBox3})
        connect(c, &QComboBox::currentTextChanged, batch, recheck);
    connect(ComboBox_SEL, &QComboBox::activated, batch, recheck);
    for (QPushButton* b : {BitBtn_PrnSet, BitBtn_PrnSet2}) connect(b, &QPushButton::clicked, batch, recheck);
    if (Form_SLIP97YPrn) connect(Form_SLIP97YPrn, &QDialog::finished, batch, recheck);
}

void TForm_Main::SpeedButton_F9Click() {
    completePrinterBox();
    auto* window = findChild<TBatchWindow*>(QStringLiteral("Form_Batch"));
    if (!window) {
        postalTable();  // made now, so the window shares it
        BatchContext context;
        context.baseFolder = Label_CurrentDir->text();
        context.postal = postalTable_;
        context.history = historyBook_;
        context.formFields = [this] { return gatherWaybillFields(*this); };
        context.feedMode = [this] { return ComboBox_SEL->currentText(); };
        context.confirmFeed = [this](QWidget* parent) { return confirmFormFeed(parent, *this); };
        context.report = [this](const QString& text) { Panel_HelpMess->setText(text); };
        context.formsAfterLast = [this] { return formsAfterLastWaybill(); };
        context.jobSent = [this](std::size_t waybills) { noteFormsSent(waybills); };
        window = new TBatchWindow(std::move(context), this);
        keepWindowPlacement(*window, Label_CurrentDir->text());
        followForm(*window);
    } else {
        // The form's defaults (sender, date, goods …) may have changed.
        window->recheckAll();
    }
    window->show();
    window->raise();
    window->activateWindow();
}
