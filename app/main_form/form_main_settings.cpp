// One part of TForm_Main (form_main.h): its members are defined across the form_main*.cpp files by concern.
// The settings file vamu_Pelican.ini in the base folder: read into the
// controls at the first showing, written from them at the end of the run.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTabBar>

#include "services/message_boxes.h"
#include "settings/main_settings.h"
#include "app/main_form/form_main.h"
#include "widgets/sjis_line_edit.h"
#include "controls/TNumEdit.h"
#include "text/sjis_qt.h"

namespace {

std::string settingsPath(const QLabel* baseFolder) {
    return QFile::encodeName(QDir(baseFolder->text()).filePath(QString::fromLatin1(kSettingsFileName))).toStdString();
}

// A stored index the list does not have falls back to the key's default,
// so the control always shows a valid choice (an index of -1 would leave
// the feed mode or print size blank and the tab strip without a tab).
int indexOr(std::int32_t stored, int count, int fallback) { return stored >= 0 && stored < count ? stored : fallback; }

void setField(SjisLineEdit* field, const std::string& value) { field->setText(sjis::toQString(value)); }
std::string fieldText(const SjisLineEdit* field) { return sjis::fromQString(field->text()); }

}  // namespace

void TForm_Main::LoadSettings() {
    const IniFile ini(settingsPath(Label_CurrentDir));
    const MainSettings m = readMainSettings(ini);
    // A file too large to be ours gives the defaults and is left alone.
    if (const std::string problem = ini.problem(); !problem.empty())
        messageBoxes().notice(this, QString::fromStdString(problem));
    // Restoring the tab is no user's tab change: it loads no sender record.
    PageControl_My->setCurrentIndex(indexOr(m.senderTab, PageControl_My->count(), 0));
    ComboBox_SEL->setCurrentIndex(indexOr(m.feedMode, ComboBox_SEL->count(), 0));
    ComboBox_FontSize->setCurrentIndex(indexOr(m.printSize, ComboBox_FontSize->count(), 1));
    setField(Edit_My, m.senderName);
    setField(Edit_MyZip, m.senderZip);
    setField(Edit_MyADD1, m.senderAddress1);
    setField(Edit_MyADD2, m.senderAddress2);
    setField(Edit_MyTEL, m.senderTel);
    setField(Edit_Zip, m.zip);
    setField(Edit_Add1, m.address1);
    setField(Edit_Add2, m.address2);
    setField(Edit_Custo1, m.consignee);
    setField(Edit_tel, m.tel);
    setField(Edit_G1, m.goods1);
    setField(Edit_G2, m.goods2);
    setField(Edit_G3, m.goods3);
    NumEdit_KOSUU->setText(sjis::toQString(m.count));
}

void TForm_Main::SaveSettings() {
    // Without a base folder the window never loaded its state; writing
    // now would put empty defaults over the user's file.
    if (Label_CurrentDir->text().isEmpty()) return;
    MainSettings m;
    m.printSize = ComboBox_FontSize->currentIndex();
    m.zip = fieldText(Edit_Zip);
    m.address1 = fieldText(Edit_Add1);
    m.address2 = fieldText(Edit_Add2);
    m.consignee = fieldText(Edit_Custo1);
    m.tel = fieldText(Edit_tel);
    m.goods1 = fieldText(Edit_G1);
    m.goods2 = fieldText(Edit_G2);
    m.goods3 = fieldText(Edit_G3);
    m.count = sjis::fromQString(NumEdit_KOSUU->text());
    m.senderName = fieldText(Edit_My);
    m.senderZip = fieldText(Edit_MyZip);
    m.senderAddress1 = fieldText(Edit_MyADD1);
    m.senderAddress2 = fieldText(Edit_MyADD2);
    m.senderTel = fieldText(Edit_MyTEL);
    m.feedMode = ComboBox_SEL->currentIndex();
    m.senderTab = PageControl_My->currentIndex();
    IniFile ini(settingsPath(Label_CurrentDir));
    writeMainSettings(ini, m);
}
