#include "store/order_items.h"

#include "store/percent_text.h"

namespace store {

namespace {

// A byte that would split an item, or might not survive Shift-JIS.
bool awkward(char c) {
    const auto b = static_cast<unsigned char>(c);
    return b <= ' ' || b >= 0x7F || c == ':';
}

bool anyAwkward(std::string_view s) {
    for (const char c : s)
        if (awkward(c)) return true;
    return false;
}

}  // namespace

std::vector<OrderItemRef> orderItemsOf(std::string_view text) {
    std::vector<OrderItemRef> out;
    while (!text.empty()) {
        const std::size_t blank = text.find(' ');
        std::string_view one = text.substr(0, blank);
        text = blank == std::string_view::npos ? std::string_view{} : text.substr(blank + 1);
        if (one.empty()) continue;
        const bool encoded = one.front() == ':';
        if (encoded) one.remove_prefix(1);
        const std::size_t colon = one.rfind(':');
        const std::string_view id = one.substr(0, colon);
        const std::string_view quantity = colon == std::string_view::npos ? std::string_view{} : one.substr(colon + 1);
        if (encoded) out.push_back({percentDecoded(id), percentDecoded(quantity)});
        else out.push_back({std::string(id), std::string(quantity)});
    }
    return out;
}

std::string orderItemsText(const std::vector<OrderItemRef>& items) {
    std::string out;
    for (const OrderItemRef& i : items) {
        if (i.id.empty()) continue;
        if (!out.empty()) out += ' ';
        if (anyAwkward(i.id) || anyAwkward(i.quantity)) out += ':' + percentEncoded(i.id, awkward) + ':' + percentEncoded(i.quantity, awkward);
        else out += i.id + ':' + i.quantity;
    }
    return out;
}

}  // namespace store
