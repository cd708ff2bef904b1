// One part of TForm_Main (form_main.h): its members are defined across the form_main*.cpp files by concern.
// The forms the station prints on, read at start, and the form each feed
// mode prints on, which the layout, the preview, the calibration page, the
// batch window, the tracking numbers and the history follow. A bundled form
// file that cannot be read or fails its check is told once, and the
// compiled built-in form stands in for it.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <algorithm>

#include "app/main_form/form_main.h"
#include "app/main_form/standing_prompt.h"
#include "history/shipped_export.h"
#include "postal/table_locator.h"
#include "print/Wbprn/WbPrinters.h"
#include "print/core/form_carriers.h"
#include "print/core/form_library.h"
#include "print/main_form.h"
#include "services/message_boxes.h"
#include "settings/main_settings.h"
#include "store/ini_file.h"

const print::FormLibrary& TForm_Main::formLibrary() const {
    static const print::FormLibrary compiledOnly;
    return forms_ ? *forms_ : compiledOnly;
}

void TForm_Main::loadForms() {
    const QString base = Label_CurrentDir->text().isEmpty() ? QDir::currentPath() : Label_CurrentDir->text();
    auto forms = std::make_shared<print::FormLibrary>(print::FormLibrary::load(
        QFile::encodeName(base).toStdString(), print::bundledFormFolder(postal::executableFolder())));
    if (forms_) retiredForms_.push_back(forms_);
    forms_ = forms;
    // The feed mode's form is taken again from the new library: a form
    // saved in the designer under the chosen id replaces the old one.
    if (formSlot_) takeFeedModeForm(formId_);
    for (const std::string& notice : forms->notices()) messageBoxes().notice(this, QString::fromStdString(notice));
}

const print::Form& TForm_Main::feedModeForm() const {
    if (formSlot_ && formSlot_->form) return *formSlot_->form;
    return formLibrary().builtin();
}

void TForm_Main::takeFeedModeForm(const QString& id) {
    formId_ = id;
    formTrouble_.clear();
    if (!formSlot_) formSlot_ = new print_form::WaybillFormSlot(this);
    const print::FormLibrary& library = formLibrary();
    const std::string wanted = id.toStdString();
    if (id.isEmpty() || wanted == print::builtinForm().id) {
        formSlot_->form = &library.builtin();
        return;
    }
    formSlot_->form = library.find(wanted);
    if (formSlot_->form) return;
    // Never another form's places for a form that cannot be had: the
    // waybill is not printed until the user chooses a form that can.
    formSlot_->form = &library.builtin();
    const auto entry = std::find_if(library.entries().begin(), library.entries().end(),
                                    [&](const print::FormEntry& e) { return e.id == wanted; });
    if (entry == library.entries().end() || entry->problems.empty()) {
        formTrouble_ = QStringLiteral("この送り方の用紙 %1 が見つかりません。プリンタの登録で用紙を選んでください").arg(id);
    } else {
        const print::FormProblem& p = entry->problems.front();
        formTrouble_ = QStringLiteral("用紙 %1 に問題があるため印刷できません（%2%3）")
                           .arg(id, QString::fromStdString(p.item.empty() ? std::string() : p.item + ": "),
                                QString::fromStdString(p.message));
    }
}

void TForm_Main::withholdForForm() {
    if (formTrouble_.isEmpty()) return;
    WbPrinter().WithholdDocuments(formTrouble_);
    showStandingPrompt(*this, formTrouble_);
}

store::Carriers TForm_Main::shippingCarriers() {
    const QString settings = QDir(Label_CurrentDir->text()).filePath(QString::fromUtf8(kSettingsFileName));
    return print::shippingCarriers(formLibrary(),
                                   store::readCarrier(IniFile(QFile::encodeName(settings).toStdString())));
}
