#pragma once
// Shipped orders back to the sales platforms: the printed waybills that
// carry both an order number and a tracking number, as the shipping-
// confirmation file a platform reads. Each layout is one row of a table.
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "store/order_items.h"
#include "history/waybill_record.h"

class IniFile;

namespace store {

// The carrier as the platforms are told it. Kept in one place: the
// settings file's [Shipping] section (CarrierName, CarrierCode,
// ShipMethod), these defaults when a key is missing.
struct Carrier {
    std::string name = "日本通運";
    std::string code = "Other";  // Amazon's code for a carrier it does not list by name
    std::string method = "ペリカン便";
};
Carrier readCarrier(const IniFile& settings);

enum class ShippedField { OrderNo, OrderItemId, Quantity, ShipDate, CarrierCode, CarrierName, Tracking, ShipMethod };

struct ShippedColumn {
    std::string_view caption;
    ShippedField field;
};

struct ShippedLayout {
    std::string_view name;  // as the command line names it: "amazon", "plain"
    char separator;         // ',' (fields quoted) or '\t'
    bool byteOrderMark;     // UTF-8 with a BOM, for spreadsheet programs
    bool perItem;           // one line per order item, else one per waybill
    char dateSeparator;     // "yyyy-mm-dd" or "yyyy/mm/dd"
    std::vector<ShippedColumn> columns;
};

const std::vector<ShippedLayout>& shippedLayouts();
// The layout of that name, or nullptr.
const ShippedLayout* shippedLayout(std::string_view name);

// The file for the rows, in their order. Rows without an order number or
// tracking number are left out; when none is left, throws
// std::runtime_error with a message for the user. cp932: Shift-JIS
// without a byte-order mark instead of UTF-8.
std::string shippedExport(std::span<const WaybillRecord> rows, const ShippedLayout& layout, const Carrier& carrier,
                          bool cp932 = false);

}  // namespace store
