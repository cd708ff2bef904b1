#pragma once
// How the printing windows reach the main form and its controls: by the
// objectNames the main form gives them, so they need not include it.
#include <QObject>
#include <QWidget>
#include <stdexcept>
#include <string>

namespace print {
struct Form;
}

namespace print_form {

// The form the main form's waybill prints on: a child of the main form
// named "WaybillForm" that the main form points at its feed mode's form.
// Without one, or pointing nowhere, the waybill prints on the built-in form.
class WaybillFormSlot : public QObject {
public:
    explicit WaybillFormSlot(QObject* parent);
    const print::Form* form = nullptr;
};

// The form of the main form's WaybillFormSlot; nullptr for the built-in one.
const print::Form* waybillForm(const QWidget& form);

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
