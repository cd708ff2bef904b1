#pragma once
// The rows of an order file into waybills. Platforms write one row per
// item: rows with the same order number (the same cell: numbers that
// differ in blanks are other orders; one copied with a spreadsheet's text
// mark ' is the same order only to the same consignee) and the same
// consignee are one
// waybill, a row of the order without consignee columns continues it
// (Shopify writes the address on the first row only), and rows of the same
// order to another consignee, or with another parcel id of the platform
// (楽天's 送付先ID, EC-CUBE's 出荷ID), are waybills of their own (gift
// orders, several destinations).
#include <array>
#include <string>
#include <vector>

#include "batch/order.h"

namespace batch {

// One waybill per order and consignee, in the order of their first rows;
// rows without an order number stay one waybill each. Each waybill's goods
// lines are made from its items (goodsLines()); two waybills of one order
// with the same name but another address are both noted.
std::vector<Order> groupOrders(std::vector<Order> rows);

// The goods lines of the items: "商品名 ×数量" each, a name shortened with
// "…" so that the line fits its place; with more than three items the
// third line is "他N点". A quantity that is not a number is dropped, and
// noted on the line its item went to.
struct GoodsLines {
    std::array<std::string, 3> lines;
    std::vector<OrderNote> notes;
};
GoodsLines goodsLines(const std::vector<OrderItem>& items);

}  // namespace batch
