#include "print/Form_SLIP97YPrn.h"

#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "services/guard.h"
#include "services/message_boxes.h"
#include "controls/TNumEdit.h"
#include "print/main_form.h"
#include "print/printer_file.h"

namespace {

QLabel* caption(QWidget* parent, const char* name, const QString& text, int y) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(6, y, 72, 16);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return l;
}

TNumEdit* marginField(QWidget* parent, const char* name, int y) {
    auto* e = new TNumEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setGeometry(82, y, 50, 20);
    e->setErrorBeep(false);
    e->setDecimalLength(0);
    return e;
}

}  // namespace

TForm_SLIP97YPrn::TForm_SLIP97YPrn(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form_SLIP97YPrn"));
    setWindowTitle(QStringLiteral("印字位置調整"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    GroupBox1 = new QGroupBox(QStringLiteral("印字位置調整セット"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(20, 20, 142, 71);
    Label5 = caption(GroupBox1, "Label5", QStringLiteral("TOPﾏｰｼﾞﾝ"), 17);
    Label6 = caption(GroupBox1, "Label6", QStringLiteral("LEFTﾏｰｼﾞﾝ"), 41);
    NumEdit_TOP = marginField(GroupBox1, "NumEdit_TOP", 15);
    NumEdit_LEFT = marginField(GroupBox1, "NumEdit_LEFT", 39);
    BitBtn_MRGN = new QPushButton(QStringLiteral("印字位置登録"), this);
    BitBtn_MRGN->setObjectName(QStringLiteral("BitBtn_MRGN"));
    BitBtn_MRGN->setGeometry(30, 98, 122, 25);
    BitBtn_MRGN->setAutoDefault(false);
    setTabOrder(NumEdit_TOP, NumEdit_LEFT);
    setTabOrder(NumEdit_LEFT, BitBtn_MRGN);
    // Enter and Up are seen before the fields' own key handling.
    NumEdit_TOP->installEventFilter(this);
    NumEdit_LEFT->installEventFilter(this);
    // Enter on the focused button saves, as a click does: Enter in the left
    // margin leads here. (Not an auto-default button, which would become
    // the dialog's default and be drawn as such.)
    BitBtn_MRGN->installEventFilter(this);
    connect(BitBtn_MRGN, &QPushButton::clicked, this, [this] { guarded(this, [this] { BitBtn_MRGNClick(); }); });
}

QWidget& TForm_SLIP97YPrn::mainForm() const { return print_form::mainForm(mainForm_); }

void TForm_SLIP97YPrn::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    guarded(this, [this] { FormShow(); });
}

void TForm_SLIP97YPrn::FormShow() {
    // Outer size 190 × 160, centred on the main window.
    const QSize frameExtra = frameGeometry().size() - geometry().size();
    setFixedSize(QSize(190, 160) - frameExtra);
    QWidget& form = mainForm();
    const QRect main = form.frameGeometry();
    move(main.center() - QPoint(95, 80));
    NumEdit_TOP->setText(print_form::control<QLabel>(form, "Label_Prn_Top").text());
    NumEdit_LEFT->setText(print_form::control<QLabel>(form, "Label_Prn_Left").text());
    NumEdit_TOP->setFocus(Qt::OtherFocusReason);
}

void TForm_SLIP97YPrn::BitBtn_MRGNClick() {
    QWidget& form = mainForm();
    const QString section = print_form::control<QComboBox>(form, "ComboBox_SEL").currentText();
    if (!messageBoxes().question(this, QStringLiteral("印字位置調整の余白を登録しますか?"))) return;
    const QString top = NumEdit_TOP->text();
    const QString left = NumEdit_LEFT->text();
    printer_file::writeRecord(print_form::control<QLabel>(form, "Label_CurrentDir").text(), section,
                              print_form::control<QComboBox>(form, "ComboBox1").currentText(),
                              print_form::control<QLabel>(form, "Label_PrinterIndex").text(), top, left);
    print_form::control<QLabel>(form, "Label_Prn_Top").setText(top);
    print_form::control<QLabel>(form, "Label_Prn_Left").setText(left);
    accept();
}

bool TForm_SLIP97YPrn::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        if (watched == NumEdit_TOP && enter) {
            NumEdit_LEFT->setFocus(Qt::TabFocusReason);
            return true;
        }
        if (watched == NumEdit_LEFT && enter) {
            BitBtn_MRGN->setFocus(Qt::TabFocusReason);
            return true;
        }
        if (watched == BitBtn_MRGN && enter) {
            BitBtn_MRGN->click();
            return true;
        }
        if (watched == NumEdit_LEFT && key == Qt::Key_Up) {
            NumEdit_TOP->setFocus(Qt::BacktabFocusReason);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
