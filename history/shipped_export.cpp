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
    read("RakutenCarrierCode", c.rakutenCode);
    return c;
}

const Carrier& Carriers::of(const WaybillRecord& row) const {
    if (row.form.empty()) return builtin;
    const auto found = byForm.find(row.form);
    if (found == byForm.end())
        throw std::runtime_error("送り状の形式 " + row.form + " が見つからないため、注文 " + sjis::toUtf8(row.orderNo) +
                                 " の配送会社が分かりません");
    return found->second;
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
          {"ship-method", F::ShipMethod}},
         {"Amazon"},
         true,
         false,
         "vamu_Pelican_出荷通知_amazon.txt"},
        // 楽天's 発送完了報告: one line per parcel (送付先ID); 発送明細ID is
        // 楽天's own and left empty for a first report.
        {"rakuten",
         ',',
         false,
         false,
         '-',
         {{"注文番号", F::OrderNo},
          {"送付先ID", F::Shipment},
          {"発送明細ID", F::Empty},
          {"お荷物伝票番号", F::Tracking},
          {"配送会社", F::RakutenCode},
          {"発送日", F::ShipDate}},
         {"楽天ペイ", "楽天"},
         false,
         true,
         "vamu_Pelican_発送完了報告_rakuten.csv"},
        // EC-CUBE's 出荷CSV登録: one line per parcel (出荷ID).
        {"ec-cube",
         ',',
         false,
         false,
         '-',
         {{"出荷ID", F::Shipment}, {"お問い合わせ番号", F::Tracking}, {"出荷日", F::ShipDate}},
         {"EC-CUBE"},
         false,
         true,
         "vamu_Pelican_出荷_ec-cube.csv"},
        // Qoo10's 配送管理 columns that take the shipping: one line per
        // item (Qoo10's 注文番号) of the cart.
        {"qoo10",
         ',',
         true,
         true,
         '/',
         {{"注文番号", F::OrderItemId},
          {"カート番号", F::OrderNo},
          {"配送会社", F::CarrierName},
          {"送り状番号", F::Tracking},
          {"発送日", F::ShipDate}},
         {"Qoo10"},
         false,
         false,
         "vamu_Pelican_配送_qoo10.csv"},
        // Yahoo!ショッピング publishes no upload file for shipping: its
        // orders in the plain list's columns.
        {"yahoo",
         ',',
         true,
         false,
         '/',
         {{"注文番号", F::OrderNo}, {"伝票番号", F::Tracking}, {"出荷日", F::ShipDate}, {"配送会社", F::CarrierName}},
         {"Yahoo!ショッピング"},
         false,
         false,
         "vamu_Pelican_出荷通知_yahoo.csv"},
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

bool takesRow(const ShippedLayout& layout, const WaybillRecord& row) {
    if (layout.platforms.empty()) return true;
    if (row.platform.empty()) return layout.unnamedRows;
    const std::string platform = sjis::toUtf8(row.platform);
    return std::find(layout.platforms.begin(), layout.platforms.end(), platform) != layout.platforms.end();
}

const ShippedLayout& shippedLayoutOf(const WaybillRecord& row) {
    for (const ShippedLayout& l : shippedLayouts())
        if (!l.platforms.empty() && !row.platform.empty() && takesRow(l, row)) return l;
    return *shippedLayout("plain");
}

std::vector<const ShippedLayout*> shippedLayoutsOf(std::span<const WaybillRecord> rows) {
    std::vector<const ShippedLayout*> present;
    for (const WaybillRecord& r : rows) {
        if (r.orderNo.empty() || r.tracking.empty()) continue;
        const ShippedLayout* l = &shippedLayoutOf(r);
        if (std::find(present.begin(), present.end(), l) == present.end()) present.push_back(l);
    }
    std::sort(present.begin(), present.end());  // the table's order: its rows are in one vector
    return present;
}

std::string shippedExport(std::span<const WaybillRecord> rows, const ShippedLayout& layout, const Carriers& carriers,
                          bool cp932) {
    std::string out = layout.byteOrderMark && !cp932 && !layout.shiftJis ? "\xEF\xBB\xBF" : "";
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
        if (r.orderNo.empty() || r.tracking.empty() || !takesRow(layout, r)) continue;
        ++shipped;
        const Carrier& carrier = carriers.of(r);
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
                case ShippedField::Shipment: return sjis::toUtf8(r.shipment);
                case ShippedField::RakutenCode: return carrier.rakutenCode;
                case ShippedField::Empty: return {};
                }
                return {};
            });
        }
    }
    if (shipped == 0)
        throw std::runtime_error("出荷済みの注文 (注文番号と伝票番号のある行) がありません" +
                                 (layout.platforms.empty() ? std::string() : " (" + std::string(layout.name) + ")"));
    return cp932 || layout.shiftJis ? sjis::fromUtf8Lossy(out) : out;
}

}  // namespace store
