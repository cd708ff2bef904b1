#include "print/main_form.h"

#include <QApplication>

namespace print_form {

QWidget& mainForm(QWidget* given) {
    if (given) return *given;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("Form_Main")) return *w;
    throw std::logic_error("Form_Main is not open");
}

}  // namespace print_form
