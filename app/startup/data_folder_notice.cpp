#include "app/startup/data_folder_notice.h"

#include <QLabel>
#include <QtGlobal>

#include "app/main_form/form_main.h"
#include "app/main_form/standing_prompt.h"

bool takeNewDataFolderMark() {
    const bool marked = qEnvironmentVariableIsSet(kNewDataFolderVariable);
    qunsetenv(kNewDataFolderVariable);
    return marked;
}

void showDataFolderNotice(TForm_Main& form) {
    showStandingPrompt(form, QStringLiteral("ファイルの保存先：") + form.Label_CurrentDir->text());
}
