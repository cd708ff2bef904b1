#include "print/main_form.h"

#include <QApplication>

namespace print_form {

namespace {
const QString kSlotName = QStringLiteral("WaybillForm");
}

WaybillFormSlot::WaybillFormSlot(QObject* parent) : QObject(parent) { setObjectName(kSlotName); }

const print::Form* waybillForm(const QWidget& form) {
    const auto* slot = dynamic_cast<const WaybillFormSlot*>(form.findChild<QObject*>(kSlotName));
    return slot ? slot->form : nullptr;
}

QWidget& mainForm(QWidget* given) {
    if (given) return *given;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("Form_Main")) return *w;
    throw std::logic_error("Form_Main is not open");
}

}  // namespace print_form
