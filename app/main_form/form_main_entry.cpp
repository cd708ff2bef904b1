// One part of TForm_Main (form_main.h): its members are defined across the form_main*.cpp files by concern.
// Behaviour of the entry form: focus order and key map, prompts, clears,
// the overlong-address warning, exclusions, half-width conversion, sender
// colouring, web page and mail.
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>

#include "app/main_form/contact.h"
#include "app/main_form/form_main.h"
#include "services/guard.h"
#include "services/message_boxes.h"
#include "services/shell_open.h"
#include "widgets/sjis_line_edit.h"
#include "controls/TNumEdit.h"
#include "text/sjis_qt.h"
#include "widgets/code_text.h"

namespace {
// 20 full-width characters fit a waybill's address line.
constexpr int kAddressLineBytes = 40;
const QColor kGrey(128, 128, 128);

bool isEnterKey(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }
}  // namespace

// ---- Focus order ---------------------------------------------------------

QList<QWidget*> TForm_Main::focusOrder() const {
    return {Edit_Zip,           Edit_Add1,           Edit_Add2,           Edit_Add3,
            Edit_Custo1,        Edit_tel,            PageControl_My,      CheckBox_My,
            Edit_MyZip,         Edit_MyADD1,         Edit_MyADD2,         Edit_My,
            Edit_MyTEL,         BitBtn_My,           CheckBox_Date_1,     DateTimePicker_1,
            Edit_de_date1,      Edit_de_date2,       Edit_de_date3,       Edit_G1,
            Edit_G2,            Edit_G3,             CheckBox_Pelican_1,  CheckBox_Pelican_2,
            CheckBox_Pelican_3, CheckBox_Pelican_4,  CheckBox_Pelican_5,  CheckBox_Pelican_6,
            CheckBox_Pelican_21, CheckBox_Pelican_22, CheckBox_Pelican_23, CheckBox_Pelican_24,
            CheckBox_Pelican_25, ComboBox_SEL,       BitBtn_SendMail};
}

void TForm_Main::focusNext(QWidget* from, bool forward) {
    const QList<QWidget*> order = focusOrder();
    // The focus may sit in a part of a control (the date picker's editor).
    int at = -1;
    for (QWidget* w = from; w && at < 0 && w != this; w = w->parentWidget())
        at = static_cast<int>(order.indexOf(w));
    const int n = static_cast<int>(order.size());
    if (at < 0) at = forward ? n - 1 : 0;  // from outside the order: start at either end
    for (int step = 1; step <= n; ++step) {
        QWidget* w = order[((at + (forward ? step : -step)) % n + n) % n];
        if (w->isVisibleTo(this) && w->isEnabled()) {
            w->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

bool TForm_Main::focusNextPrevChild(bool next) {
    // Tab and Shift+Tab follow the form's own cyclic order, not Qt's chain.
    focusNext(focusWidget(), next);
    return true;
}

// ---- Key map ---------------------------------------------------------------

bool TForm_Main::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut &&
        (watched == Edit_Zip || watched == Edit_Add1 || watched == Edit_Add2 || watched == Edit_Add3))
        guarded(this, [&] { consigneeFieldExit(static_cast<QFocusEvent*>(event)->reason()); });
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    // The date picker's inner editor reports for the picker.
    if (w->parentWidget() == DateTimePicker_1) w = DateTimePicker_1;
    bool consumed = false;
    guarded(this, [&] { consumed = handleFieldKey(w, static_cast<QKeyEvent*>(event)); });
    return consumed || QWidget::eventFilter(watched, event);
}

bool TForm_Main::handleFieldKey(QWidget* field, QKeyEvent* event) {
    const int key = event->key();
    // F2, F10 and F11 do what their buttons do.
    if (key == Qt::Key_F2) {
        SpeedButton_F2->click();
        return true;
    }
    if (key == Qt::Key_F10) {
        SpeedButton_F10->click();
        return true;
    }
    if (key == Qt::Key_F11) {
        SpeedButton_F11->click();
        return true;
    }
    if (isEnterKey(key)) {
        // The Enter character never reaches a field.
        if (field == Edit_tel)
            Edit_G1->setFocus(Qt::TabFocusReason);
        else if (field != NumEdit_KOSUU)
            focusNext(field, true);
        return true;
    }
    if (key == Qt::Key_Up && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (field != Edit_Zip) focusNext(field, false);
        return true;
    }
    if (field == DateTimePicker_1 && (key == Qt::Key_Tab || key == Qt::Key_Backtab)) {
        // The picker would step through its year, month and day sections.
        focusNext(field, key == Qt::Key_Tab && !(event->modifiers() & Qt::ShiftModifier));
        return true;
    }
    // The delivery date fields hold their digits themselves (digits only,
    // full-width ones converted), saying why when they refuse a key.
    return false;
}

void TForm_Main::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    // Preview and print work wherever the focus is: a check box, the tab
    // strip or a list leaves these keys to the window.
    if (key == Qt::Key_F10) {
        SpeedButton_F10->click();
        return;
    }
    if (key == Qt::Key_F11) {
        SpeedButton_F11->click();
        return;
    }
    // The rest of the window's own key map applies only when no control has
    // the focus; other keys such a control ignores end up here and are dropped.
    QWidget* focus = focusWidget();
    if (focus && focus != this) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (key == Qt::Key_F2) {
        SpeedButton_F2->click();
    } else if (isEnterKey(key)) {
        focusNext(nullptr, true);
    } else if (key == Qt::Key_Up) {
        focusNext(nullptr, false);
    } else {
        QWidget::keyPressEvent(event);
    }
}

// ---- Prompts ---------------------------------------------------------------

void TForm_Main::showPrompt(SjisLineEdit* field, const QString& prompt) {
    Panel_HelpMess->setText(prompt);
    field->deselect();
    field->setCursorPosition(static_cast<int>(field->text().size()));
}

void TForm_Main::Edit_ZipEnter() { showPrompt(Edit_Zip, QStringLiteral("お届け先の郵便番号を入力して下さい（F5：住所検索）")); }

void TForm_Main::Edit_Add1Enter() {
    Edit_Warning();
    showPrompt(Edit_Add1, QStringLiteral("お届け先のおところ①を入力して下さい"));
}

void TForm_Main::Edit_Add2Enter() {
    Edit_Warning();
    auto* field = Edit_Add3->hasFocus() ? Edit_Add3 : Edit_Add2;
    showPrompt(field, QStringLiteral("お届け先のおところ②を入力して下さい"));
}

void TForm_Main::Edit_Custo1Enter() { showPrompt(Edit_Custo1, QStringLiteral("お届け先のおなまえを入力して下さい")); }
void TForm_Main::Edit_telEnter() { showPrompt(Edit_tel, QStringLiteral("お届け先のでんわを入力して下さい")); }

void TForm_Main::Edit_G1Enter() {
    SjisLineEdit* field = Edit_G1;
    if (Edit_G2->hasFocus()) field = Edit_G2;
    if (Edit_G3->hasFocus()) field = Edit_G3;
    showPrompt(field, QStringLiteral("品名を入力して下さい"));
}

void TForm_Main::Edit_MyZipEnter() { showPrompt(Edit_MyZip, QStringLiteral("ご依頼主の郵便番号を入力して下さい（F5：住所検索）")); }
void TForm_Main::Edit_MyADD1Enter() {
    showPrompt(Edit_MyADD1, QStringLiteral("ご依頼主のおところ①を入力して下さい"));
}
void TForm_Main::Edit_MyADD2Enter() {
    showPrompt(Edit_MyADD2, QStringLiteral("ご依頼主のおところ②を入力して下さい"));
}
void TForm_Main::Edit_MyEnter() { showPrompt(Edit_My, QStringLiteral("ご依頼主のおなまえを入力して下さい")); }
void TForm_Main::Edit_MyTELEnter() { showPrompt(Edit_MyTEL, QStringLiteral("ご依頼主のでんわを入力して下さい")); }

// ---- Clears and the warning ------------------------------------------------

void TForm_Main::Edit_Cls() {
    Label_Warning->clear();
    Edit_Zip->clear();
    Edit_Add1->clear();
    Edit_Add2->clear();
    Edit_Custo1->clear();
    Edit_tel->clear();
    Label_CutCut->clear();
    Label_0X->clear();
}

void TForm_Main::Edit_Cls_My() {
    Edit_MyZip->clear();
    Edit_MyADD1->clear();
    Edit_MyADD2->clear();
    Edit_My->clear();
    Edit_MyTEL->clear();
}

void TForm_Main::BitBtn_CLSClick() {
    if (messageBoxes().question(this, QStringLiteral("お届け先をクリアますか?"))) Edit_Cls();
}

void TForm_Main::Edit_Warning() {
    if (sjis::byteLength(Edit_Add1->text()) > kAddressLineBytes)
        Label_Warning->setText(
            QStringLiteral("警告:おところ①の文字数が多すぎます。　おところ②へ分割してください"));
    else
        Label_Warning->clear();
}

// ---- Half-width conversion ---------------------------------------------------

QString TForm_Main::halfWidth(const QString& text) { return codetext::halfWidth(text); }

// User input arrives converted already (the fields convert what the user
// adds); this catches the program's own writes.
void TForm_Main::convertToHalfWidth(SjisLineEdit* field) {
    const QString now = field->text();
    const QString half = halfWidth(now);
    // Writing back an equal text would change nothing; skipping it also
    // ends the change -> convert -> change chain after one round.
    if (half == now) return;
    // The conversion goes character by character, so the caret's place in
    // the converted text is the length of the converted text before it.
    const int caret = static_cast<int>(halfWidth(now.left(field->cursorPosition())).size());
    field->setText(half);
    field->setCursorPosition(caret);
}

void TForm_Main::Edit_ZipChange() { SpeedButton_ZIP2Click(); }
void TForm_Main::Edit_telChange() { SpeedButton_TEL2Click(); }
void TForm_Main::SpeedButton_ZIP2Click() { convertToHalfWidth(Edit_Zip); }
void TForm_Main::SpeedButton_TEL2Click() { convertToHalfWidth(Edit_tel); }

// ---- Check boxes -------------------------------------------------------------

void TForm_Main::CheckBox_MyClick() {
    const bool printed = CheckBox_My->isChecked();
    for (SjisLineEdit* e : {Edit_MyZip, Edit_MyADD1, Edit_MyADD2, Edit_My, Edit_MyTEL}) {
        QPalette p = e->palette();
        p.setColor(QPalette::Base, printed ? palette().color(QPalette::Base) : kGrey);
        e->setPalette(p);
    }
}

void TForm_Main::excludeTimeBands(QCheckBox* clicked) {
    if (!clicked->isChecked()) return;
    for (QCheckBox* b : {CheckBox_Pelican_1, CheckBox_Pelican_2, CheckBox_Pelican_3, CheckBox_Pelican_4,
                         CheckBox_Pelican_5, CheckBox_Pelican_6})
        if (b != clicked) b->setChecked(false);
}

void TForm_Main::CheckBox_Pelican_1Click() { excludeTimeBands(CheckBox_Pelican_1); }
void TForm_Main::CheckBox_Pelican_2Click() { excludeTimeBands(CheckBox_Pelican_2); }
void TForm_Main::CheckBox_Pelican_3Click() { excludeTimeBands(CheckBox_Pelican_3); }
void TForm_Main::CheckBox_Pelican_4Click() { excludeTimeBands(CheckBox_Pelican_4); }
void TForm_Main::CheckBox_Pelican_5Click() { excludeTimeBands(CheckBox_Pelican_5); }
void TForm_Main::CheckBox_Pelican_6Click() { excludeTimeBands(CheckBox_Pelican_6); }

void TForm_Main::CheckBox_Pelican_21Click() {
    if (CheckBox_Pelican_21->isChecked()) CheckBox_Pelican_22->setChecked(false);
}

void TForm_Main::CheckBox_Pelican_22Click() {
    if (CheckBox_Pelican_22->isChecked()) CheckBox_Pelican_21->setChecked(false);
}

// ---- Web page and mail -------------------------------------------------------

void TForm_Main::BitBtn_WebHelpClick() { shellOpen().open(QUrl(QString::fromLatin1(kWebPageAddress))); }

void TForm_Main::BitBtn_SendMailClick() { shellOpen().open(supportMailUrl()); }
