// The printer box: the current printer, paper size and bin of the feed
// mode's registered printer, its margins, and registration.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

#include "app/app_windows.h"
#include "app/form_main.h"
#include "services/guard.h"
#include "app/ui_fonts.h"
#include "print/Form_SLIP97YPrn.h"
#include "print/WbPrinterSetupDialog.h"
#include "print/Wbprn/WbPrinters.h"
#include "print/core/str_to_int.h"
#include "print/printer_file.h"
#include "text/sjis_qt.h"
#include "transfer/text_functions.h"

namespace {

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

}  // namespace

void TForm_Main::buildPrinterBox() {
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
    // Notice printers added or removed while the program runs.
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
    SpeedButton_PRNSETClick();
}

void TForm_Main::SpeedButton_PRNSETClick() {
    TWbPrinter& wb = WbPrinter();
    const int index = print::strToInt(sjis::fromQString(Label_PrinterIndex->text()));
    try {
        wb.SetIndex(index);
    } catch (const EWBPrinterRangeError&) {
        // The registered printer is gone: the first usable one, silently.
        wb.SetIndex(0);
        return;
    }
    try {
        const QStringList names = wb.PrinterNames();
        ComboBox1->clear();
        ComboBox1->addItems(names);
        ComboBox1->setCurrentIndex(wb.GetIndex());
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
}

void TForm_Main::BitBtn_PrnSetClick() {
    SpeedButton_PrnIdGetClick();
    TWbPrinter& wb = WbPrinter();
    const int registered = Str_ToInt0(sjis::fromQString(Label_PrinterIndex->text()));
    if (registered == wb.GetIndex())
        wb.SetIndex(registered);
    else
        wb.SetIndex(0);
    // Confirmed or cancelled, the record is written with the printer now current.
    findChild<TWbPrinterSetupDialog*>(QStringLiteral("WbPrinterSetupDialog1"))->Execute();
    Label_PrinterIndex->setText(QString::number(wb.GetIndex()));
    const QString section = ComboBox_SEL->currentText();
    SpeedButton_PRNSETClick();
    printer_file::writeRecord(Label_CurrentDir->text(), section, ComboBox1->currentText(), Label_PrinterIndex->text(),
                              Label_Prn_Top->text(), Label_Prn_Left->text());
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
