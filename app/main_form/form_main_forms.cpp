// One part of TForm_Main (form_main.h): its members are defined across the form_main*.cpp files by concern.
// The forms the station prints on, read at start. A bundled form file that
// cannot be read or fails its check is told once, and the compiled
// built-in form stands in for it.
#include <QDir>
#include <QFile>
#include <QLabel>

#include "app/main_form/form_main.h"
#include "postal/table_locator.h"
#include "print/core/form_library.h"
#include "services/message_boxes.h"

const print::FormLibrary& TForm_Main::formLibrary() const {
    static const print::FormLibrary compiledOnly;
    return forms_ ? *forms_ : compiledOnly;
}

void TForm_Main::loadForms() {
    const QString base = Label_CurrentDir->text().isEmpty() ? QDir::currentPath() : Label_CurrentDir->text();
    auto forms = std::make_shared<print::FormLibrary>(print::FormLibrary::load(
        QFile::encodeName(base).toStdString(), print::bundledFormFolder(postal::executableFolder())));
    forms_ = forms;
    for (const std::string& notice : forms->notices()) messageBoxes().notice(this, QString::fromStdString(notice));
}
