#pragma once
// The carriers the shipping exports name, by the id of the form each row
// was printed on (the history knows no forms: the caller hands them over).
#include "history/shipped_export.h"
#include "print/core/form_library.h"

namespace print {

// Every usable form's carrier; the built-in form's is `builtin`, which the
// settings file's [Shipping] section may have changed (store::readCarrier).
inline store::Carriers shippingCarriers(const FormLibrary& forms, const store::Carrier& builtin) {
    store::Carriers carriers;
    carriers.builtin = builtin;
    for (const FormEntry& e : forms.entries()) {
        if (!e.form || e.form->builtIn()) continue;
        const FormCarrier& c = e.form->carrier;
        carriers.byForm[e.id] = store::Carrier{c.name, c.amazonCode, c.method, c.rakutenCode};
    }
    carriers.byForm[builtinForm().id] = builtin;
    return carriers;
}

}  // namespace print
