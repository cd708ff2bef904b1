// Shipping-confirmation files: Amazon's one line per item, the plain list,
// rows without a number left out, nothing at all refused.
#include <gtest/gtest.h>

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
    const Carrier carrier;
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
    EXPECT_EQ(shippedExport(rows, *shippedLayout("amazon"), carrier),
              "order-id\torder-item-id\tquantity\tship-date\tcarrier-code\tcarrier-name\ttracking-number\tship-method\r\n"
              "'+cmd|' /C calc'!A0\t'=1+1\t2\t2026-12-07\t'@SUM(A1:A9)\t'=HYPERLINK(\"http://example.com\",\"x\")"
              "\t123456789013\t'-2+3+cmd|' /C calc'!A0\r\n");
    EXPECT_EQ(shippedExport(rows, *shippedLayout("plain"), carrier),
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
    EXPECT_EQ(shippedExport(rows, *shippedLayout("amazon"), Carrier{}), expected);

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
