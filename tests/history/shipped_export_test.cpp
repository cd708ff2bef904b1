// Shipping-confirmation files: Amazon's one line per item, the plain list,
// rows without a number left out, nothing at all refused.
#include <gtest/gtest.h>

#include <algorithm>

#include "history/history_store.h"
#include "history/shipped_export.h"
#include "tests/support/scratch_folder.h"
#include "text/sjis_convert.h"

using namespace store;

namespace {

WaybillRecord shippedRow(const char* order, const char* items, const char* tracking) {
    WaybillRecord r;
    r.time = "2026-12-07 10:00:00";
    r.date = "2026/12/07";
    r.orderNo = order;
    r.orderItems = items;
    r.tracking = tracking;
    return r;
}

}  // namespace

TEST(ShippedExport, LayoutsWriteTheShippedRows) {
    const std::vector<WaybillRecord> rows = {
        shippedRow("250-1234567-1234567", "11111111111111:2 22222222222222:1", "123456789013"),
        shippedRow("#1001", "", "123456789024"),
        shippedRow("#1002", "", ""),  // printed, no form number recorded
        shippedRow("", "", "123456789035"),  // typed on the form, no order
    };
    const Carriers carrier;
    EXPECT_EQ(shippedExport(rows, *shippedLayout("amazon"), carrier),
              "order-id\torder-item-id\tquantity\tship-date\tcarrier-code\tcarrier-name\ttracking-number\tship-method\r\n"
              "250-1234567-1234567\t11111111111111\t2\t2026-12-07\tOther\t日本通運\t123456789013\tペリカン便\r\n"
              "250-1234567-1234567\t22222222222222\t1\t2026-12-07\tOther\t日本通運\t123456789013\tペリカン便\r\n"
              "#1001\t\t\t2026-12-07\tOther\t日本通運\t123456789024\tペリカン便\r\n");
    const std::string plain = "\"注文番号\",\"伝票番号\",\"出荷日\",\"配送会社\"\r\n"
                              "\"250-1234567-1234567\",\"123456789013\",\"2026/12/07\",\"日本通運\"\r\n"
                              "\"#1001\",\"123456789024\",\"2026/12/07\",\"日本通運\"\r\n";
    EXPECT_EQ(shippedExport(rows, *shippedLayout("plain"), carrier), "\xEF\xBB\xBF" + plain);
    EXPECT_EQ(shippedExport(rows, *shippedLayout("plain"), carrier, true), *sjis::fromUtf8(plain));
    EXPECT_EQ(shippedLayout("ebay"), nullptr);

    const std::vector<WaybillRecord> none(rows.begin() + 2, rows.end());
    EXPECT_THROW(shippedExport(none, *shippedLayout("plain"), carrier), std::runtime_error);
}

TEST(ShippedExport, TextsThatStartFormulasAreDisarmed) {
    Carrier carrier;
    carrier.name = "=HYPERLINK(\"http://example.com\",\"x\")";
    carrier.code = "@SUM(A1:A9)";
    carrier.method = "-2+3+cmd|' /C calc'!A0";
    const std::vector<WaybillRecord> rows = {shippedRow("+cmd|' /C calc'!A0", ":=1%2B1:2", "123456789013")};
    EXPECT_EQ(shippedExport(rows, *shippedLayout("amazon"), Carriers{carrier, {}}),
              "order-id\torder-item-id\tquantity\tship-date\tcarrier-code\tcarrier-name\ttracking-number\tship-method\r\n"
              "'+cmd|' /C calc'!A0\t'=1+1\t2\t2026-12-07\t'@SUM(A1:A9)\t'=HYPERLINK(\"http://example.com\",\"x\")"
              "\t123456789013\t'-2+3+cmd|' /C calc'!A0\r\n");
    EXPECT_EQ(shippedExport(rows, *shippedLayout("plain"), Carriers{carrier, {}}),
              "\xEF\xBB\xBF\"注文番号\",\"伝票番号\",\"出荷日\",\"配送会社\"\r\n"
              "\"'+cmd|' /C calc'!A0\",\"123456789013\",\"2026/12/07\",\"'=HYPERLINK(\"\"http://example.com\"\",\"\"x\"\")\"\r\n");
}

// Item ids with blanks, colons, '%' or characters Shift-JIS lacks go into
// the station's file as the batch puts them there and come out of the
// confirmation exactly; texts kept before read as they always did.
TEST(ShippedExport, ItemIdsGoOutExactlyAsTheyCameIn) {
    const std::vector<OrderItemRef> items = {
        {"1234 5678", "1"}, {"id:with:colons", "2"}, {"50%off", "3"}, {"%3A", "4"},
        {":lead", "5"},     {"Zürich-1", "6"},       {"plain", "7"},  {"end:", "8"},
    };
    ScratchFolder dir;
    {
        HistoryStore h(dir.file(kHistoryFileName));
        WaybillRecord r = shippedRow("250-1234567-1234567", "", "123456789013");
        r.orderItems = sjis::fromUtf8Lossy(orderItemsText(items));
        h.record(r);
    }
    HistoryStore h(dir.file(kHistoryFileName));
    const std::vector<WaybillRecord> rows = h.list({});
    ASSERT_EQ(rows.size(), 1U);
    EXPECT_EQ(orderItemsOf(sjis::toUtf8(rows[0].orderItems)), items);
    std::string expected =
        "order-id\torder-item-id\tquantity\tship-date\tcarrier-code\tcarrier-name\ttracking-number\tship-method\r\n";
    for (const OrderItemRef& i : items)
        expected += "250-1234567-1234567\t" + i.id + "\t" + i.quantity +
                    "\t2026-12-07\tOther\t日本通運\t123456789013\tペリカン便\r\n";
    EXPECT_EQ(shippedExport(rows, *shippedLayout("amazon"), Carriers{}), expected);

    const struct {
        const char* text;
        std::vector<OrderItemRef> items;
    } kept[] = {
        {"11111111111111:2 22222222222222:1", {{"11111111111111", "2"}, {"22222222222222", "1"}}},
        {"50%20off:1  100%:", {{"50%20off", "1"}, {"100%", ""}}},
        {"nocolon", {{"nocolon", ""}}},
        {"", {}},
    };
    for (const auto& k : kept) EXPECT_EQ(orderItemsOf(k.text), k.items) << k.text;
    EXPECT_EQ(orderItemsText(kept[0].items), kept[0].text);  // plain ids are written as ever
}

// Each platform's file takes the rows of its own orders, named by the
// platform's parcel ids, in the encoding it reads; an export with the rows
// of another platform only is refused by name.
TEST(ShippedExport, EachPlatformsFileTakesItsOwnRows) {
    auto row = [](const char* platform, const char* order, const char* shipment, const char* items,
                  const char* tracking) {
        WaybillRecord r = shippedRow(order, items, tracking);
        r.platform = *sjis::fromUtf8(platform);
        r.shipment = shipment;
        return r;
    };
    const std::vector<WaybillRecord> rows = {
        row("楽天ペイ", "399999-20261207-000001005", "11005", "5006:1", "123456789013"),
        row("楽天ペイ", "399999-20261207-000001005", "21005", "5007:2", "123456789024"),
        row("EC-CUBE", "1005", "91005", "17:1", "123456789035"),
        row("Qoo10", "44401002", "", "55502:1 55503:1", "123456789046"),
        row("Yahoo!ショッピング", "teashop-10001001", "", "1:1", "123456789050"),
        row("Shopify", "#1001", "", "", "123456789061"),
        row("", "250-1234567-1234567", "", "11111111111111:1", "123456789072"),  // recorded before platforms were kept
    };
    const Carriers carrier;
    const struct {
        const char* layout;
        std::string file;
    } cases[] = {
        {"rakuten", *sjis::fromUtf8("\"注文番号\",\"送付先ID\",\"発送明細ID\",\"お荷物伝票番号\",\"配送会社\",\"発送日\"\r\n"
                                    "\"399999-20261207-000001005\",\"11005\",\"\",\"123456789013\",\"1021\",\"2026-12-07\"\r\n"
                                    "\"399999-20261207-000001005\",\"21005\",\"\",\"123456789024\",\"1021\",\"2026-12-07\"\r\n")},
        {"ec-cube", *sjis::fromUtf8("\"出荷ID\",\"お問い合わせ番号\",\"出荷日\"\r\n"
                                    "\"91005\",\"123456789035\",\"2026-12-07\"\r\n")},
        {"qoo10", "\xEF\xBB\xBF\"注文番号\",\"カート番号\",\"配送会社\",\"送り状番号\",\"発送日\"\r\n"
                  "\"55502\",\"44401002\",\"日本通運\",\"123456789046\",\"2026/12/07\"\r\n"
                  "\"55503\",\"44401002\",\"日本通運\",\"123456789046\",\"2026/12/07\"\r\n"},
        {"yahoo", "\xEF\xBB\xBF\"注文番号\",\"伝票番号\",\"出荷日\",\"配送会社\"\r\n"
                  "\"teashop-10001001\",\"123456789050\",\"2026/12/07\",\"日本通運\"\r\n"},
        {"amazon", "order-id\torder-item-id\tquantity\tship-date\tcarrier-code\tcarrier-name\ttracking-number\tship-method\r\n"
                   "250-1234567-1234567\t11111111111111\t1\t2026-12-07\tOther\t日本通運\t123456789072\tペリカン便\r\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(shippedExport(rows, *shippedLayout(c.layout), carrier), c.file) << c.layout;
    // The plain list takes every platform's rows.
    const std::string plain = shippedExport(rows, *shippedLayout("plain"), carrier);
    EXPECT_EQ(std::count(plain.begin(), plain.end(), '\n'), 8);
    // The files an export of these rows offers, one per platform present;
    // a row of no known platform goes in the plain list.
    std::vector<std::string_view> offered;
    for (const ShippedLayout* l : shippedLayoutsOf(rows)) offered.push_back(l->name);
    EXPECT_EQ(offered, (std::vector<std::string_view>{"rakuten", "ec-cube", "qoo10", "yahoo", "plain"}));
    const std::vector<WaybillRecord> rakutenOnly(rows.begin(), rows.begin() + 2);
    try {
        shippedExport(rakutenOnly, *shippedLayout("ec-cube"), carrier);
        ADD_FAILURE() << "an export without the platform's rows was written";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "出荷済みの注文 (注文番号と伝票番号のある行) がありません (ec-cube)");
    }
}

// Rows printed on two forms go into one platform's file, each with the
// carrier of its own form; a row without a form is the built-in form's, and
// a row of a form no longer known stops the export by name.
TEST(ShippedExport, EachRowCarriesTheCarrierOfItsForm) {
    auto row = [](const char* platform, const char* order, const char* form, const char* tracking) {
        WaybillRecord r = shippedRow(order, "", tracking);
        r.platform = *sjis::fromUtf8(platform);
        r.shipment = "1";
        r.form = form;
        return r;
    };
    Carriers carriers;
    carriers.builtin.name = "日通";  // the settings file's own name for the built-in form
    carriers.byForm["pelican"] = carriers.builtin;
    carriers.byForm["yupack"] = Carrier{"日本郵便", "Japan Post", "ゆうパック", "1003"};
    const std::vector<WaybillRecord> rows = {
        row("楽天ペイ", "R-1", "pelican", "123456789013"),
        row("楽天ペイ", "R-2", "yupack", "1234567890"),
        row("Yahoo!ショッピング", "Y-1", "", "123456789024"),
        row("Yahoo!ショッピング", "Y-2", "yupack", "1234567891"),
        row("Amazon", "A-1", "yupack", "1234567892"),
    };
    EXPECT_EQ(shippedExport(rows, *shippedLayout("rakuten"), carriers),
              *sjis::fromUtf8("\"注文番号\",\"送付先ID\",\"発送明細ID\",\"お荷物伝票番号\",\"配送会社\",\"発送日\"\r\n"
                              "\"R-1\",\"1\",\"\",\"123456789013\",\"1021\",\"2026-12-07\"\r\n"
                              "\"R-2\",\"1\",\"\",\"1234567890\",\"1003\",\"2026-12-07\"\r\n"));
    EXPECT_EQ(shippedExport(rows, *shippedLayout("yahoo"), carriers),
              "\xEF\xBB\xBF\"注文番号\",\"伝票番号\",\"出荷日\",\"配送会社\"\r\n"
              "\"Y-1\",\"123456789024\",\"2026/12/07\",\"日通\"\r\n"
              "\"Y-2\",\"1234567891\",\"2026/12/07\",\"日本郵便\"\r\n");
    EXPECT_EQ(shippedExport(rows, *shippedLayout("amazon"), carriers),
              "order-id\torder-item-id\tquantity\tship-date\tcarrier-code\tcarrier-name\ttracking-number\tship-method\r\n"
              "A-1\t\t\t2026-12-07\tJapan Post\t日本郵便\t1234567892\tゆうパック\r\n");
    carriers.byForm.erase("yupack");
    try {
        shippedExport(rows, *shippedLayout("rakuten"), carriers);
        ADD_FAILURE() << "a row of an unknown form was written with another carrier";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "送り状の形式 yupack が見つからないため、注文 R-2 の配送会社が分かりません");
    }
}
