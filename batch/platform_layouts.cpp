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
        // 楽天's RMS order file (楽天ペイ受注CSV, Shift-JIS): one row per item,
        // an order to several destinations told apart by 送付先ID.
        {"楽天ペイ",
         {"注文番号", "送付先id", "送付先郵便番号1", "送付先住所郡市区", "送付先住所それ以降の住所"},
         {{"送付先id", Target::ShipmentId}, {"商品明細id", Target::OrderItemId}}},
        // 楽天's older order CSV (Shift-JIS), the address split into three columns.
        {"楽天", {"受注番号", "送付先郵便番号1", "送付先住所都道府県", "送付先名字"}, {}},
        // Yahoo!ショッピング's order file: one row per order, Ship* the
        // destination, Bill* the buyer; its goods are in the item file.
        {"Yahoo!ショッピング",
         {"orderid", "shipzipcode", "shipprefecture", "shipcity", "shipaddress1"},
         {{"shiprequestdate", Target::DeliveryDate},
          {"shiprequesttime", Target::TimeBand},
          {"lineid", Target::OrderItemId},
          {"title", Target::G1}},
         "Yahoo!ショッピング 商品"},
        {"Yahoo!ショッピング 商品",
         {"orderid", "lineid", "quantity", "title"},
         {{"lineid", Target::OrderItemId}, {"title", Target::G1}},
         {},
         true},
        // カラーミーショップ's sales_all.csv: one row per item of a 売上ID,
        // the prefecture and the rest of the address in two columns.
        {"カラーミー",
         {"売上id", "配送先都道府県名", "配送先住所"},
         {{"売上id", Target::OrderNo},
          {"配送先id", Target::ShipmentId},
          {"売上詳細id", Target::OrderItemId},
          {"購入商品商品名", Target::G1},
          {"購入商品販売個数", Target::Quantity}}},
        // EC-CUBE 4's 受注CSV and 出荷CSV: one row per order line, a parcel
        // per 出荷ID; shipping, charge and discount lines are no goods.
        {"EC-CUBE",
         {"注文番号", "出荷id", "配送先お名前(姓)", "配送先都道府県(名称)"},
         {{"注文id", Target::None},
          {"注文番号", Target::OrderNo},
          {"出荷id", Target::ShipmentId},
          {"注文詳細id", Target::OrderItemId},
          {"明細区分(id)", Target::ItemKind},
          {"明細区分(名称)", Target::ItemKind}}},
        // Qoo10's 配送管理 file: one row per item (注文番号), one cart per
        // purchase; the address in one column.
        {"Qoo10",
         {"カート番号", "受取人名", "住所", "送り状番号"},
         {{"カート番号", Target::OrderNo}, {"注文番号", Target::OrderItemId}}},
        // futureshop's order file (FutureShop2形式).
        {"futureshop", {"受注コード", "お届け先氏名(姓)", "お届け先都道府県区分"}, {{"受注コード", Target::OrderNo}}},
        // au PAY マーケット's order file: sender* is the destination,
        // orderer* the buyer; the address in one column.
        {"au PAY マーケット",
         {"orderid", "sendername", "senderaddress", "orderername"},
         {{"deliveryrequestday", Target::DeliveryDate}, {"deliveryrequesttime", Target::TimeBand}}},
        // The B2 send list: its sender columns are the shop's own.
        {"B2", {"お届け先郵便番号", "お届け先住所", "お届け先名", "お届け予定(指定)日"}, {}},
    };
    return layouts;
}

std::vector<const PlatformLayout*> matchingLayouts(const std::vector<std::string>& header) {
    std::vector<std::string> keys;
    keys.reserve(header.size());
    for (const std::string& h : header) keys.push_back(headerKey(h));
    std::sort(keys.begin(), keys.end());
    std::vector<const PlatformLayout*> found;
    for (const PlatformLayout& l : platformLayouts()) {
        const bool all = std::all_of(l.identify.begin(), l.identify.end(), [&](std::string_view k) {
            return std::binary_search(keys.begin(), keys.end(), k);
        });
        if (all) found.push_back(&l);
    }
    std::stable_sort(found.begin(), found.end(), [](const PlatformLayout* a, const PlatformLayout* b) {
        return a->identify.size() > b->identify.size();
    });
    return found;
}

const PlatformLayout* recogniseLayout(const std::vector<std::string>& header) {
    const std::vector<const PlatformLayout*> found = matchingLayouts(header);
    return found.empty() ? nullptr : found.front();
}

const PlatformLayout* layoutNamed(std::string_view name) {
    for (const PlatformLayout& l : platformLayouts())
        if (l.name == name) return &l;
    return nullptr;
}

void applyLayout(const PlatformLayout& layout, const std::vector<std::string>& header, Mapping& m) {
    for (std::size_t i = 0; i < header.size() && i < m.size(); ++i) {
        const std::string key = headerKey(header[i]);
        for (const LayoutColumn& c : layout.columns)
            if (c.key == key) m[i] = c.target;
    }
}

std::string layoutNotice(std::string_view name, std::string_view other) {
    std::string text = std::string(name) + " の注文ファイルとして読み込みました";
    if (!other.empty()) text += " (" + std::string(other) + " の形にも合いますが、より多くの列が合うほうにしました)";
    return text;
}

}  // namespace batch
