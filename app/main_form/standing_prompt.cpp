#include "app/main_form/standing_prompt.h"

#include <QApplication>
#include <QLabel>

#include "app/main_form/form_main.h"
#include "widgets/sjis_line_edit.h"

namespace {
const QString kKeeperName = QStringLiteral("StandingPromptKeeper");

void dropKeeper(TForm_Main& form) {
    for (QObject* keeper : form.findChildren<QObject*>(kKeeperName, Qt::FindDirectChildrenOnly)) {
        // Disconnected at once: the deletion waits for the event loop.
        QObject::disconnect(form.Edit_Zip, nullptr, keeper, nullptr);
        QObject::disconnect(qApp, nullptr, keeper, nullptr);
        keeper->setObjectName(QString());
        keeper->deleteLater();
    }
}
}  // namespace

void showStandingPrompt(TForm_Main& form, const QString& text) {
    dropKeeper(form);
    form.Panel_HelpMess->setText(text);
    // The first field's own prompt would hide the message at once; so the
    // message comes back after that prompt until the focus goes elsewhere.
    auto* keeper = new QObject(&form);
    keeper->setObjectName(kKeeperName);
    QObject::connect(form.Edit_Zip, &SjisLineEdit::focusEntered, keeper,
                     [&form, text] { form.Panel_HelpMess->setText(text); });
    QObject::connect(qApp, &QApplication::focusChanged, keeper, [&form](QWidget*, QWidget* now) {
        if (now && now != form.Edit_Zip) dropKeeper(form);
    });
}

void withdrawStandingPrompt(TForm_Main& form, const QString& text) {
    dropKeeper(form);
    if (form.Panel_HelpMess->text() == text) form.Panel_HelpMess->clear();
}
