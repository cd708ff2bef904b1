#include "print/core/byte_limits.h"

namespace print {

std::vector<ByteOverflow> findByteOverflows(const std::vector<DrawItem>& items, const Form& form) {
    std::vector<ByteOverflow> out;
    // The built-in form's fields have the entry form's own limits.
    if (form.builtIn()) return out;
    for (const DrawItem& d : items) {
        const auto at = static_cast<std::size_t>(d.item);
        if (at >= form.byteLimits.size()) continue;
        const int limit = form.byteLimits[at];
        // Texts are Shift-JIS already: their length is their byte count.
        if (limit > 0 && d.text.size() > static_cast<std::size_t>(limit)) out.push_back({d.item, d.text.size(), limit});
    }
    return out;
}

}  // namespace print
