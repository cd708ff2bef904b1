#include "print/core/form.h"

#include <algorithm>
#include <cstring>

namespace print {

namespace {

bool samePlace(const FormItemPlace& a, const FormItemPlace& b) {
    return a.item == b.item && a.size == b.size && a.u == b.u && a.v == b.v && a.right == b.right &&
           a.bottom == b.bottom;
}

Form makeBuiltin() {
    Form f;
    const auto table = formItems();
    f.items.assign(table.begin(), table.end());
    return f;
}

}  // namespace

const FormItemPlace* Form::find(FormItem item) const {
    // Items are kept in FormItem order, so a form that prints every item
    // finds each at its own index.
    const auto i = static_cast<std::size_t>(item);
    if (i < items.size() && items[i].item == item) return &items[i];
    const auto it = std::lower_bound(items.begin(), items.end(), item,
                                     [](const FormItemPlace& p, FormItem wanted) { return p.item < wanted; });
    return it != items.end() && it->item == item ? &*it : nullptr;
}

bool Form::builtIn() const { return id == builtinForm().id; }

bool operator==(const Form& a, const Form& b) {
    return a.id == b.id && a.name == b.name && a.carrier == b.carrier && a.width == b.width &&
           a.height == b.height && a.pageLength == b.pageLength && a.tracking == b.tracking &&
           a.trackingDigits == b.trackingDigits && a.byteLimits == b.byteLimits &&
           std::equal(a.items.begin(), a.items.end(), b.items.begin(), b.items.end(), samePlace);
}

const Form& builtinForm() {
    static const Form form = makeBuiltin();
    return form;
}

const FormItemPlace* itemByKey(std::string_view key) {
    for (const FormItemPlace& p : formItems())
        if (key == p.key) return &p;
    return nullptr;
}

}  // namespace print
