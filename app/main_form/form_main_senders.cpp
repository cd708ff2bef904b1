// One part of TForm_Main (form_main.h): its members are defined across the form_main*.cpp files by concern.
// Sender records: the five sender fields loaded from and saved to the
// record file of the selected tab (my0.txt ... my9.txt in the current
// directory).
#include <QLabel>
#include <QTabBar>

#include "settings/sender_record.h"
#include "app/main_form/form_main.h"
#include "services/message_boxes.h"
#include "widgets/sjis_line_edit.h"
#include "text/sjis_qt.h"

namespace {

// The bare file name: the record lies in whatever the current directory is.
std::string selectedRecordFile(const QTabBar* tabs) { return senderRecordFileName(tabs->currentIndex()); }

}  // namespace

void TForm_Main::SpeedButton_readMyClick() {
    // A failed read throws before any field changes.
    const SenderRecord r = readSenderRecord(selectedRecordFile(PageControl_My));
    Edit_MyZip->setText(sjis::toQString(r.zip));
    Edit_MyADD1->setText(sjis::toQString(r.address1));
    Edit_MyADD2->setText(sjis::toQString(r.address2));
    Edit_My->setText(sjis::toQString(r.name));
    Edit_MyTEL->setText(sjis::toQString(r.tel));
}

void TForm_Main::PageControl_MyChange() {
    // Unsaved edits of the previous sender are dropped without a question.
    SpeedButton_readMyClick();
}

void TForm_Main::BitBtn_MyClick() {
    if (!messageBoxes().question(this, QStringLiteral("ご依頼主を登録しますか?"))) {
        Edit_MyZip->setFocus(Qt::OtherFocusReason);
        return;
    }
    const SenderRecord r{sjis::fromQString(Edit_MyZip->text()), sjis::fromQString(Edit_MyADD1->text()),
                         sjis::fromQString(Edit_MyADD2->text()), sjis::fromQString(Edit_My->text()),
                         sjis::fromQString(Edit_MyTEL->text())};
    writeSenderRecord(selectedRecordFile(PageControl_My), r);
    messageBoxes().notice(this, QStringLiteral("ご依頼主を登録しました"));
    Panel_HelpMess->setText(QStringLiteral("    "));
    Edit_MyZip->setFocus(Qt::OtherFocusReason);
}
