#include "batch/order_record.h"

#include <algorithm>

#include "batch/order_check.h"
#include "store/order_items.h"
#include "text/sjis_convert.h"

namespace batch {

void addOrderTo(store::WaybillRecord& record, const Order& order) {
    record.orderNo = sjis::fromUtf8Lossy(order.orderNo);
    record.platform = sjis::fromUtf8Lossy(order.platform);
    record.shipment = sjis::fromUtf8Lossy(order.shipmentId);
    std::vector<store::OrderItemRef> items;
    for (const OrderItem& i : order.items) {
        std::string q = halfWidthDigits(i.quantity);
        // A quantity that is no number is not passed on to the platform.
        if (!std::all_of(q.begin(), q.end(), [](char c) { return c >= '0' && c <= '9'; })) q.clear();
        items.push_back({i.id, q});
    }
    record.orderItems = sjis::fromUtf8Lossy(store::orderItemsText(items));
}

}  // namespace batch
