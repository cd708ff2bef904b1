#include "app/data_folder_notice.h"

#include <QApplication>
#include <QLabel>
#include <QtGlobal>

#include "app/form_main.h"
#include "app/sjis_line_edit.h"

bool takeNewDataFolderMark() {
    const bool marked = qEnvironmentVariableIsSet(kNewDataFolderVariable);
    qunsetenv(kNewDataFolderVariable);
    return marked;
}

void showDataFolderNotice(TForm_Main& form) {
    const QString notice = QStringLiteral("ファイルの保存先：") + form.Label_CurrentDir->text();
    form.Panel_HelpMess->setText(notice);
    // The window manager activates the window when it likes, often after
    // this, and the activation gives the first field the focus again: its
    // prompt would hide the notice at once. So the notice comes back after
    // that prompt until the user moves on to another control.
    auto* keeper = new QObject(&form);
    QObject::connect(form.Edit_Zip, &SjisLineEdit::focusEntered, keeper,
                     [&form, notice] { form.Panel_HelpMess->setText(notice); });
    QObject::connect(qApp, &QApplication::focusChanged, keeper, [&form, keeper](QWidget*, QWidget* now) {
        if (!now || now == form.Edit_Zip) return;
        // Disconnected at once: the deletion waits for the event loop.
        QObject::disconnect(form.Edit_Zip, nullptr, keeper, nullptr);
        QObject::disconnect(qApp, nullptr, keeper, nullptr);
        keeper->deleteLater();
    });
}
