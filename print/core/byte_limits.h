#pragma once
// Texts longer than a form allows its items: a form may limit an item to so
// many Shift-JIS bytes (Form::byteLimits), where its carrier's own systems
// read no more. The built-in form sets no limits of its own.
#include <cstddef>
#include <vector>

#include "print/core/form.h"
#include "print/core/layout.h"

namespace print {

struct ByteOverflow {
    FormItem item = FormItem::Count;
    std::size_t bytes = 0;  // the text's length
    int limit = 0;          // the form's limit of the item
    friend bool operator==(const ByteOverflow&, const ByteOverflow&) = default;
};

// The planned texts past their item's limit on `form`, in drawing order;
// none on the built-in form.
std::vector<ByteOverflow> findByteOverflows(const std::vector<DrawItem>& items, const Form& form);

}  // namespace print
