#include "history/shipped_export.h"

#include <algorithm>
#include <stdexcept>

#include "history/history_csv.h"
#include "store/csv_field.h"
#include "store/ini_file.h"
#include "text/sjis_convert.h"

namespace store {

namespace {

// A tab-separated field cannot hold a tab or a line break, and a text
// that a spreadsheet would run as a formula is disarmed as in the CSV.
std::string tabField(std::string_view s) {
    std::string out = formulaDisarmed(s);
    std::replace_if(out.begin(), out.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
    return out;
}

// The shipping date "yyyy/mm/dd" of the record, or the day it was printed.
std::string shipDate(const WaybillRecord& r, char separator) {
    std::string d = r.date.size() == 10 ? r.date : r.time.substr(0, 10);
    std::replace_if(d.begin(), d.end(), [](char c) { return c == '/' || c == '-'; }, separator);
    return d;
}

}  // namespace

Carrier readCarrier(const IniFile& ini) {
    Carrier c;
    auto read = [&](const char* key, std::string& value) {
        const std::string v = ini.readString("Shipping", key, "");
        if (!v.empty()) value = sjis::toUtf8(v);
    };
    read("CarrierName", c.name);
    read("CarrierCode", c.code);
    read("ShipMethod", c.method);
    return c;
}

const std::vector<ShippedLayout>& shippedLayouts() {
    using F = ShippedField;
    static const std::vector<ShippedLayout> layouts = {
        // Amazon's shipping confirmation: one line per order item.
        {"amazon",
         '\t',
         false,
         true,
         '-',
         {{"order-id", F::OrderNo},
          {"order-item-id", F::OrderItemId},
          {"quantity", F::Quantity},
          {"ship-date", F::ShipDate},
          {"carrier-code", F::CarrierCode},
          {"carrier-name", F::CarrierName},
          {"tracking-number", F::Tracking},
          {"ship-method", F::ShipMethod}}},
        // A plain list any platform or spreadsheet takes.
        {"plain",
         ',',
         true,
         false,
         '/',
         {{"注文番号", F::OrderNo}, {"伝票番号", F::Tracking}, {"出荷日", F::ShipDate}, {"配送会社", F::CarrierName}}},
    };
    return layouts;
}

const ShippedLayout* shippedLayout(std::string_view name) {
    for (const ShippedLayout& l : shippedLayouts())
        if (l.name == name) return &l;
    return nullptr;
}

std::string shippedExport(std::span<const WaybillRecord> rows, const ShippedLayout& layout, const Carrier& carrier,
                          bool cp932) {
    std::string out = layout.byteOrderMark && !cp932 ? "\xEF\xBB\xBF" : "";
    auto line = [&](auto value) {
        for (std::size_t c = 0; c < layout.columns.size(); ++c) {
            if (c > 0) out += layout.separator;
            const std::string v = value(layout.columns[c]);
            out += layout.separator == ',' ? csvField(v) : tabField(v);
        }
        out += "\r\n";
    };
    line([](const ShippedColumn& c) { return std::string(c.caption); });
    std::size_t shipped = 0;
    for (const WaybillRecord& r : rows) {
        if (r.orderNo.empty() || r.tracking.empty()) continue;
        ++shipped;
        std::vector<OrderItemRef> items;
        if (layout.perItem) items = orderItemsOf(sjis::toUtf8(r.orderItems));
        // Without item ids the order is confirmed as a whole.
        if (items.empty()) items.push_back({});
        for (const OrderItemRef& item : items) {
            line([&](const ShippedColumn& c) -> std::string {
                switch (c.field) {
                case ShippedField::OrderNo: return sjis::toUtf8(r.orderNo);
                case ShippedField::OrderItemId: return item.id;
                case ShippedField::Quantity: return item.quantity;
                case ShippedField::ShipDate: return shipDate(r, layout.dateSeparator);
                case ShippedField::CarrierCode: return carrier.code;
                case ShippedField::CarrierName: return carrier.name;
                case ShippedField::Tracking: return r.tracking;
                case ShippedField::ShipMethod: return carrier.method;
                }
                return {};
            });
        }
    }
    if (shipped == 0) throw std::runtime_error("出荷済みの注文 (注文番号と伝票番号のある行) がありません");
    return cp932 ? sjis::fromUtf8Lossy(out) : out;
}

}  // namespace store
