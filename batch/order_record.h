#pragma once
// What the history keeps of the order behind a printed waybill.
#include "batch/order.h"
#include "history/waybill_record.h"

namespace batch {

// Puts the order's number, its items' ids and quantities, its platform and
// parcel id into the record (Shift-JIS, as the record holds texts).
void addOrderTo(store::WaybillRecord& record, const Order& order);

}  // namespace batch
