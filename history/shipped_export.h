#pragma once
// Shipped orders back to the sales platforms: the printed waybills that
// carry both an order number and a tracking number, as the shipping-
// confirmation file a platform reads. Each layout is one row of a table.
#include <map>
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
    std::string rakutenCode = "1021";  // 楽天's number of the carrier (RakutenCarrierCode)
};
Carrier readCarrier(const IniFile& settings);

// The carrier of each row, by the id of the form it was printed on. The
// caller knows the forms: `byForm` holds the carrier of each form it knows,
// the built-in form's among them; a row without a form was printed before
// forms were kept, on the built-in form, and takes `builtin`.
struct Carriers {
    Carrier builtin;
    std::map<std::string, Carrier> byForm;
    // Throws std::runtime_error naming a form it does not know: a platform
    // is never told another carrier's name for a parcel.
    const Carrier& of(const WaybillRecord& row) const;
};

enum class ShippedField {
    OrderNo, OrderItemId, Quantity, ShipDate, CarrierCode, CarrierName, Tracking, ShipMethod,
    Shipment,     // the platform's parcel id (送付先ID, 出荷ID)
    RakutenCode,  // the carrier as 楽天 numbers it
    Empty,        // a column the platform fills itself (楽天's 発送明細ID for a new report)
};

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
    // The order files' platforms whose rows go into this file; empty: every
    // row (the plain list).
    std::vector<std::string_view> platforms = {};
    // Also rows recorded before the platform was kept (Amazon's file took
    // every row then).
    bool unnamedRows = false;
    // Always Shift-JIS: the platform reads nothing else.
    bool shiftJis = false;
    // The file name offered when saving.
    std::string_view fileName = "vamu_Pelican_出荷通知.csv";
};

const std::vector<ShippedLayout>& shippedLayouts();
// The layout of that name, or nullptr.
const ShippedLayout* shippedLayout(std::string_view name);

// True when the row (its platform, Shift-JIS) goes into the layout's file.
bool takesRow(const ShippedLayout& layout, const WaybillRecord& row);

// The layout a row's shipping goes back in: its platform's own file, the
// plain list for a platform without one.
const ShippedLayout& shippedLayoutOf(const WaybillRecord& row);

// The layouts the shipped rows go back in (shippedLayoutOf), each once, in
// the table's order: what an export of these rows offers.
std::vector<const ShippedLayout*> shippedLayoutsOf(std::span<const WaybillRecord> rows);

// The file for the rows the layout takes, in their order. Rows without an
// order number or tracking number are left out; when none is left, throws
// std::runtime_error with a message for the user naming the layout. cp932:
// Shift-JIS without a byte-order mark instead of UTF-8 (always so for a
// layout that reads only Shift-JIS).
// Each row names its own carrier, that of the form it was printed on.
std::string shippedExport(std::span<const WaybillRecord> rows, const ShippedLayout& layout, const Carriers& carriers,
                          bool cp932 = false);

}  // namespace store
