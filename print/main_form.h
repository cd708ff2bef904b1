#pragma once
// How the printing windows reach the main form and its controls: by the
// objectNames the main form gives them, so they need not include it.
#include <QWidget>
#include <stdexcept>
#include <string>

namespace print_form {

// The given form, else the top-level widget named "Form_Main". Throws
// std::logic_error when neither is there.
QWidget& mainForm(QWidget* given);

// The form's child control of this name and type. Throws std::logic_error
// naming it when there is none: a field is never silently left out.
template <class T>
T& control(const QWidget& form, const char* name) {
    T* w = form.findChild<T*>(QString::fromLatin1(name));
    if (!w) throw std::logic_error(std::string("Form_Main has no control ") + name);
    return *w;
}

}  // namespace print_form
