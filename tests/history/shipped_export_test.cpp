// Shipping-confirmation files: Amazon's one line per item, the plain list,
// rows without a number left out, nothing at all refused.
#include <gtest/gtest.h>

#include "history/shipped_export.h"
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
