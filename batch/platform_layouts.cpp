#include "batch/platform_layouts.h"

#include <algorithm>

#include "batch/header_recognition.h"

namespace batch {

const std::vector<PlatformLayout>& platformLayouts() {
    static const std::vector<PlatformLayout> layouts = {
        // Shopify's order export: one row per line item, the address on the
        // order's first row only. "Shipping Street" repeats Address1 and 2.
        {"Shopify",
         {"name", "shippingname", "shippingaddress1", "lineitemname"},
         {{"name", Target::OrderNo}, {"shippingstreet", Target::None}, {"billingstreet", Target::None}}},
        // Amazon's order report (tab-separated): one row per order item.
        {"Amazon",
         {"orderid", "orderitemid", "recipientname", "shipaddress1"},
         {{"scheduleddeliverystartdate", Target::DeliveryDate}}},
        // 楽天's order CSV (Shift-JIS), the address split into three columns.
        {"楽天", {"受注番号", "送付先郵便番号1", "送付先住所都道府県", "送付先名字"}, {}},
        // The B2 send list: its sender columns are the shop's own.
        {"B2", {"お届け先郵便番号", "お届け先住所", "お届け先名", "お届け予定(指定)日"}, {}},
    };
    return layouts;
}

const PlatformLayout* recogniseLayout(const std::vector<std::string>& header) {
    std::vector<std::string> keys;
    keys.reserve(header.size());
    for (const std::string& h : header) keys.push_back(headerKey(h));
    for (const PlatformLayout& l : platformLayouts()) {
        const bool all = std::all_of(l.identify.begin(), l.identify.end(), [&](std::string_view k) {
            return std::find(keys.begin(), keys.end(), k) != keys.end();
        });
        if (all) return &l;
    }
    return nullptr;
}

void applyLayout(const PlatformLayout& layout, const std::vector<std::string>& header, Mapping& m) {
    for (std::size_t i = 0; i < header.size() && i < m.size(); ++i) {
        const std::string key = headerKey(header[i]);
        for (const LayoutColumn& c : layout.columns)
            if (c.key == key) m[i] = c.target;
    }
}

std::string layoutNotice(std::string_view name) { return std::string(name) + " の注文ファイルとして読み込みました"; }

}  // namespace batch
