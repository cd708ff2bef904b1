#include "store/order_items.h"

namespace store {

std::vector<OrderItemRef> orderItemsOf(std::string_view text) {
    std::vector<OrderItemRef> out;
    while (!text.empty()) {
        const std::size_t blank = text.find(' ');
        const std::string_view one = text.substr(0, blank);
        text = blank == std::string_view::npos ? std::string_view{} : text.substr(blank + 1);
        if (one.empty()) continue;
        const std::size_t colon = one.rfind(':');
        out.push_back({std::string(one.substr(0, colon)),
                       colon == std::string_view::npos ? std::string() : std::string(one.substr(colon + 1))});
    }
    return out;
}

std::string orderItemsText(const std::vector<OrderItemRef>& items) {
    std::string out;
    for (const OrderItemRef& i : items) {
        if (i.id.empty()) continue;
        if (!out.empty()) out += ' ';
        for (char c : i.id)
            if (c != ' ' && c != ':') out += c;
        out += ':' + i.quantity;
    }
    return out;
}

}  // namespace store
