#pragma once
// The platform's item ids of an order with their quantities, as the
// history keeps them in one text (WaybillRecord::orderItems): "id:quantity"
// separated by blanks.
//
// An item whose id or quantity holds a blank, a colon or a byte outside
// printable ASCII is kept as ":id:quantity" with those bytes (and '%')
// percent-encoded, so that it comes back exactly, also through the
// Shift-JIS the station's file holds. No text written before had an item
// starting with a colon (an item without an id is left out), so older
// texts read as they always did, '%' in their ids included.
#include <string>
#include <string_view>
#include <vector>

namespace store {

struct OrderItemRef {
    std::string id, quantity;
    friend bool operator==(const OrderItemRef&, const OrderItemRef&) = default;
};

std::vector<OrderItemRef> orderItemsOf(std::string_view text);
// Items without an id are left out.
std::string orderItemsText(const std::vector<OrderItemRef>& items);

}  // namespace store
