#pragma once
// The platform's item ids of an order with their quantities, as the
// history keeps them in one text (WaybillRecord::orderItems): "id:quantity"
// separated by blanks.
#include <string>
#include <string_view>
#include <vector>

namespace store {

struct OrderItemRef {
    std::string id, quantity;
    friend bool operator==(const OrderItemRef&, const OrderItemRef&) = default;
};

std::vector<OrderItemRef> orderItemsOf(std::string_view text);
// Items without an id are left out; blanks and colons inside an id are
// dropped, since they would split it.
std::string orderItemsText(const std::vector<OrderItemRef>& items);

}  // namespace store
