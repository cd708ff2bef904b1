// One part of TForm_Main (form_main.h): its members are defined across the form_main*.cpp files by concern.
// The printer box: the current printer, paper size and bin of the feed
// mode's registered printer, its margins, and registration.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPointer>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTimer>
#include <QWindow>
#include <functional>

#include "app/form_designer/form_designer_window.h"
#include "app/main_form/app_windows.h"
#include "app/main_form/continuous_page.h"
#include "app/main_form/form_main.h"
#include "app/main_form/standing_prompt.h"
#include "services/guard.h"
#include "widgets/ui_fonts.h"
#include "print/Form_SLIP97YPrn.h"
#include "print/WbPrinterSetupDialog.h"
#include "print/Wbprn/WbPrinters.h"
#include "print/Wbprn/continuous_form.h"
#include "print/core/form_library.h"
#include "print/core/str_to_int.h"
#include "print/printer_file.h"
#include "text/sjis.h"
#include "text/sjis_qt.h"
#include "transfer/text_functions.h"

namespace {

const QString kNoFormPage = QStringLiteral("このプリンタは4インチの連続用紙を選べません");

// A read-only edit line in the button-face colour that the Tab key skips.
QComboBox* infoLine(QWidget* parent, const char* name, int y) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(true);
    box->lineEdit()->setReadOnly(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setFocusPolicy(Qt::NoFocus);
    box->lineEdit()->setFocusPolicy(Qt::NoFocus);
    QPalette pal = box->palette();
    pal.setColor(QPalette::Base, pal.color(QPalette::Button));
    box->setPalette(pal);
    box->lineEdit()->setPalette(pal);
    // An edit line only: no drop-down button.
    box->setStyleSheet(QStringLiteral("QComboBox { border: 1px inset gray; padding: 0px 2px; background: palette(button); }"
                                      "QComboBox QLineEdit { background: palette(button); }"
                                      "QComboBox::drop-down { width: 0px; border: 0px; }"
                                      "QComboBox::down-arrow { image: none; width: 0px; }"));
    box->setGeometry(6, y, 271, 21);
    box->setFont(gothicFont(12));
    return box;
}

QPushButton* boxButton(QWidget* parent, const char* name, const QString& text, const QString& hint, QRect place) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(hint);
    b->setFocusPolicy(Qt::NoFocus);
    b->setGeometry(place);
    b->setFont(gothicFont(12));
    return b;
}

QLabel* hiddenCarrier(QWidget* parent, const char* name) {
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->hide();
    return l;
}

// A printer name without blanks at its ends, as the printer file keeps it.
QString trimmedName(const QString& name) { return sjis::toQString(sjis::trim(sjis::fromQString(name))); }

int indexOfName(const QStringList& printers, const QString& trimmed) {
    for (int i = 0; i < printers.size(); ++i)
        if (trimmedName(printers[i]) == trimmed) return i;
    return -1;
}

// The selected entry of one of the current printer's lists, "" when the
// printer has no such list.
template <class Names, class Index>
QString selectedEntry(Names names, Index index) {
    try {
        const QStringList items = names();
        return items.value(index());
    } catch (const EWbPrinter&) {
        return {};
    }
}

// Selects the stored entry of one of the current printer's lists; false
// (the printer keeps its own setting) when it has no such entry.
template <class Names, class Select>
bool selectStored(const QString& stored, Names names, Select select) {
    if (stored.isEmpty()) return false;
    try {
        const int i = names().indexOf(stored);
        if (i < 0) return false;
        select(i);
        return true;
    } catch (const EWbPrinter&) {
        return false;
    }
}

// Whether SetIndex(index) keeps to the usable printers. Raises as SetIndex
// does when there is no usable printer at all, so that message comes when
// it always came.
bool usableIndex(TWbPrinter& wb, int index) {
    wb.CheckNoPrinter();
    if (index == wb.GetIndex()) return true;
    return index == -1 || (index >= 0 && wb.SystemIndexOf(index) >= 0);
}

// Runs `then` right after the window's first paint: the expose that draws
// the window is handled first, then `then`, before any later event (the
// user's first key included) is delivered.
class AfterFirstPaint final : public QObject {
public:
    AfterFirstPaint(QWindow* window, std::function<void()> then)
        : QObject(window), window_(window), then_(std::move(then)) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != window_ || event->type() != QEvent::Expose) return false;
        watched->event(event);  // handled here, not a second time after
        if (!window_->isExposed()) return true;
        window_->removeEventFilter(this);
        deleteLater();
        then_();
        return true;
    }

private:
    QWindow* window_;
    std::function<void()> then_;
};

}  // namespace

void TForm_Main::buildPrinterBox() {
    Label_PrinterName = hiddenCarrier(this, "Label_PrinterName");
    Label_PrinterPaper = hiddenCarrier(this, "Label_PrinterPaper");
    Label_PrinterBin = hiddenCarrier(this, "Label_PrinterBin");
    ComboBox1 = infoLine(GroupBox1, "ComboBox1", 14);
    ComboBox2 = infoLine(GroupBox1, "ComboBox2", 34);
    ComboBox3 = infoLine(GroupBox1, "ComboBox3", 54);
    Label_4 = new QLabel(QStringLiteral("用紙選択"), GroupBox1);
    Label_4->setObjectName(QStringLiteral("Label_4"));
    Label_4->move(6, 82);
    Label_4->setFont(gothicFont(12));
    Label_4->adjustSize();
    BitBtn_PrnSet2 = boxButton(GroupBox1, "BitBtn_PrnSet2", QStringLiteral("余白調整"),
                               QStringLiteral("印刷する用紙の上余白、左余白を調整します"), QRect(6, 104, 74, 22));
    BitBtn_PrnSet = boxButton(GroupBox1, "BitBtn_PrnSet", QStringLiteral("セットするプリンタを登録"),
                              QStringLiteral("送り状ごとに使用にするプリンタをセットします"), QRect(115, 104, 161, 22));
    // The feed mode list always has a selection: its text names the record.
    if (ComboBox_SEL->currentIndex() < 0) ComboBox_SEL->setCurrentIndex(0);
    auto* dialog = new TWbPrinterSetupDialog(this);
    dialog->setObjectName(QStringLiteral("WbPrinterSetupDialog1"));
    dialog->OpenFormDesigner = [this](QWidget* parent) {
        runFormDesigner(parent, Label_CurrentDir->text(), Label_Prn_Top->text(), Label_Prn_Left->text());
        loadForms();  // a form saved there is printable at once
    };
    // Notice printers added or removed while the program runs: a registered
    // printer that goes away withholds printing at once, and one that was
    // missing is taken again as soon as it is back, so the user need not
    // restart or switch feed modes to print on it.
    WbPrinter().OnChange = [self = QPointer<TForm_Main>(this)](TWbPrinter*) {
        if (self) guarded(self, [&] { self->followPrinterChange(); });
    };
    WbPrinter().StartWatch(this);
    connect(BitBtn_PrnSet, &QPushButton::clicked, this, [this] { guarded(this, [this] { BitBtn_PrnSetClick(); }); });
    connect(BitBtn_PrnSet2, &QPushButton::clicked, this, [this] { guarded(this, [this] { BitBtn_PrnSet2Click(); }); });
}

void TForm_Main::ComboBox_SELChange() { SpeedButton_PrnIdGetClick(); }

void TForm_Main::SpeedButton_PrnIdGetClick() {
    if (ComboBox_SEL->currentIndex() < 0) ComboBox_SEL->setCurrentIndex(0);
    const auto record = printer_file::readRecord(Label_CurrentDir->text(), ComboBox_SEL->currentText());
    Label_PrinterIndex->setText(record.prnNoIndex);
    Label_Prn_Top->setText(record.top);
    Label_Prn_Left->setText(record.left);
    Label_PrinterName->setText(record.name);
    Label_PrinterPaper->setText(record.paper);
    Label_PrinterBin->setText(record.bin);
    feedAfterJob_ = record.feedAfterJob;
    takeFeedModeForm(record.form);
    SpeedButton_PRNSETClick();
}

void TForm_Main::followPrinterChange() {
    // The set-up dialog is choosing a printer: its choice decides.
    if (registeringPrinter_) return;
    // With no printer at all (or the print service out of reach) there is
    // nothing to take or to lose: the print commands say so themselves,
    // and the watch is back here once printers answer again.
    try {
        WbPrinter().CheckNoPrinter();
    } catch (const EWbPrinterNoPrinter&) {
        return;
    }
    SpeedButton_PRNSETClick();
}

void TForm_Main::SpeedButton_PRNSETClick() {
    TWbPrinter& wb = WbPrinter();
    wb.FeedFormAfterJob(feedAfterJob_);
    // The registered printer is found by its name, wherever printers added
    // or removed since have moved it in the list; only a record without a
    // name (written by an older version) goes by the index.
    const QString name = trimmedName(Label_PrinterName->text());
    if (!name.isEmpty()) {
        const int found = indexOfName(wb.PrinterNames(), name);
        if (found < 0) {
            showMissingPrinter(name);
            return;
        }
        Label_PrinterIndex->setText(QString::number(found));
    }
    if (!wb.WithheldReason().isEmpty()) {
        withdrawStandingPrompt(*this, wb.WithheldReason());
        wb.WithholdDocuments({});
    }
    withholdForForm();
    const int index = print::strToInt(sjis::fromQString(Label_PrinterIndex->text()));
    printerBoxPending_ = false;
    if (startingPrinterBox_) {
        // At start the window is drawn before the printer is made current:
        // that asks the print service for its papers and bins (a PPD per
        // queue), which the first paint does not need. Whether a printer
        // exists and the index fits is known now, so those messages keep
        // their place before the sender record's.
        if (!usableIndex(wb, index)) {
            wb.ReserveDocumentsFor({});
            wb.SetIndex(0);  // the registered printer is gone, as below
            return;
        }
        printerBoxPending_ = true;
        return;
    }
    try {
        wb.SetIndex(index);
    } catch (const EWBPrinterRangeError&) {
        // A record without a name whose index is gone: the first usable
        // printer, silently (its index is all such a record holds).
        wb.ReserveDocumentsFor({});
        wb.SetIndex(0);
        return;
    }
    applyStoredPaperAndBin();
    try {
        const QStringList names = wb.PrinterNames();
        ComboBox1->clear();
        ComboBox1->addItems(names);
        ComboBox1->setCurrentIndex(wb.GetIndex());
        // A record found by its index is written back with the name.
        Label_PrinterName->setText(ComboBox1->currentText());
        // Waybills go to this printer only, whatever becomes current later.
        wb.ReserveDocumentsFor(ComboBox1->currentText());
    } catch (const EWbPrinter&) {
        ComboBox1->setEnabled(false);
        return;
    }
    auto show = [](QComboBox* box, auto names, auto index) {
        try {
            const QStringList items = names();
            box->clear();
            box->addItems(items);
            box->setCurrentIndex(index());
        } catch (const EWbPrinter&) {
            box->setCurrentIndex(-1);  // no paper or bin information
        }
    };
    show(ComboBox2, [&] { return wb.GetPaperSizeNames(); }, [&] { return wb.GetPaperSizeIndex(); });
    show(ComboBox3, [&] { return wb.GetBinNames(); }, [&] { return wb.GetBinIndex(); });
    // Continuous forms need a page one form long; a printer that offers
    // none says so here (the print commands ask before using another).
    const bool noFormPage = continuousFeed(*this) && ComboBox2->findText(wbprn::continuousFormPaperName()) < 0;
    if (noFormPage) {
        ComboBox2->setEditText(kNoFormPage);
        showStandingPrompt(*this, kNoFormPage);
    } else {
        withdrawStandingPrompt(*this, kNoFormPage);
    }
}

void TForm_Main::completePrinterBox() {
    if (printerBoxPending_) SpeedButton_PRNSETClick();
}

void TForm_Main::completePrinterBoxAfterFirstPaint() {
    if (!printerBoxPending_) return;
    const auto complete = [this] { guarded(this, [this] { completePrinterBox(); }); };
    // The box is empty until then (it holds nothing from before), and
    // filled at the latest after 100 ms should the window not be drawn.
    if (QWindow* window = windowHandle()) new AfterFirstPaint(window, complete);
    QTimer::singleShot(100, this, complete);
}

void TForm_Main::applyStoredPaperAndBin() {
    TWbPrinter& wb = WbPrinter();
    const auto papers = [&] { return wb.GetPaperSizeNames(); };
    const auto setPaper = [&](int i) { wb.SetPaperSizeIndex(i); };
    const QString formPage = wbprn::continuousFormPaperName();
    if (!selectStored(Label_PrinterPaper->text(), papers, setPaper)) {
        // On continuous forms the page is one form unless the user chose
        // another paper for the mode; on manual sheets never, even when
        // the other mode left it on the same printer.
        if (continuousFeed(*this))
            selectStored(formPage, papers, setPaper);
        else if (selectedEntry(papers, [&] { return wb.GetPaperSizeIndex(); }) == formPage)
            wb.ResetSettings();
    }
    selectStored(Label_PrinterBin->text(), [&] { return wb.GetBinNames(); }, [&](int i) { wb.SetBinIndex(i); });
}

void TForm_Main::showMissingPrinter(const QString& name) {
    // Nothing is printed until the user registers another printer or the
    // queue comes back: a waybill on the wrong printer costs a form.
    const QString message = QStringLiteral("登録したプリンタ %1 が見つかりません").arg(name);
    WbPrinter().WithholdDocuments(message);
    ComboBox1->clear();
    ComboBox1->setEditText(message);
    ComboBox2->clear();
    ComboBox3->clear();
    showStandingPrompt(*this, message);
}

void TForm_Main::BitBtn_PrnSetClick() {
    SpeedButton_PrnIdGetClick();
    TWbPrinter& wb = WbPrinter();
    const bool registeredIsGone = !wb.WithheldReason().isEmpty();
    const int registered = Str_ToInt0(sjis::fromQString(Label_PrinterIndex->text()));
    if (registered == wb.GetIndex())
        wb.SetIndex(registered);
    else
        wb.SetIndex(0);
    auto* dialog = findChild<TWbPrinterSetupDialog*>(QStringLiteral("WbPrinterSetupDialog1"));
    dialog->FeedAfterJob = feedAfterJob_;
    dialog->Forms.clear();
    for (const print::FormEntry& e : formLibrary().entries())
        if (e.form) dialog->Forms.push_back({QString::fromStdString(e.id), QString::fromStdString(e.form->name)});
    dialog->FormId = formId_;
    bool confirmed = false;
    {
        const QScopedValueRollback registering(registeringPrinter_, true);
        confirmed = dialog->Execute();
    }
    if (confirmed) {
        feedAfterJob_ = dialog->FeedAfterJob;
        takeFeedModeForm(dialog->FormId);
    }
    // A printer that is gone is replaced only by the user's own choice,
    // never by whichever printer the cancelled dialog started on.
    if (registeredIsGone && !confirmed) return;
    // Otherwise, confirmed or cancelled, the record is written with the
    // printer now current and the paper size and bin it now has.
    const int current = wb.GetIndex();
    Label_PrinterIndex->setText(QString::number(current));
    Label_PrinterName->setText(wb.PrinterNames().value(current));
    Label_PrinterPaper->setText(selectedEntry([&] { return wb.GetPaperSizeNames(); }, [&] { return wb.GetPaperSizeIndex(); }));
    Label_PrinterBin->setText(selectedEntry([&] { return wb.GetBinNames(); }, [&] { return wb.GetBinIndex(); }));
    const QString section = ComboBox_SEL->currentText();
    SpeedButton_PRNSETClick();
    printer_file::writeRecord(Label_CurrentDir->text(), section,
                              {Label_PrinterName->text(), Label_PrinterIndex->text(), Label_Prn_Top->text(),
                               Label_Prn_Left->text(), Label_PrinterPaper->text(), Label_PrinterBin->text(),
                               feedAfterJob_, formId_});
}

void TForm_Main::BitBtn_PrnSet2Click() {
    TForm_SLIP97YPrn* dialog = Form_SLIP97YPrn;
    std::unique_ptr<TForm_SLIP97YPrn> own;
    if (!dialog) {
        own = std::make_unique<TForm_SLIP97YPrn>(this);
        dialog = own.get();
    }
    dialog->setMainForm(this);
    dialog->exec();
}
