// Orders from the sales platforms: Shopify-style exports (5,000 and 21,621 rows) read,
// grouped into waybills and checked; header recognition of a 100-column
// header; the tracking-number check; the shipping files (Amazon's, 楽天's)
// of 10,000 history rows read from the store.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "batch/batch_file.h"
#include "bench/batch/read_group_check.h"
#include "batch/order_check.h"
#include "batch/platform_layouts.h"
#include "batch/postal_check.h"
#include "batch/tracking_number.h"
#include "postal/table_locator.h"
#include "history/history_store.h"
#include "history/shipped_export.h"
#include "text/sjis_convert.h"

namespace {

// Orders of one to four items (or, with `orders`, that many orders with
// the rows spread evenly among them), the address on each order's first row.
std::string shopifyCsv(int rows, int orders = 0) {
    std::string csv =
        "Name,Email,Financial Status,Lineitem quantity,Lineitem name,Lineitem price,Billing Name,Billing Zip,"
        "Shipping Name,Shipping Street,Shipping Address1,Shipping Address2,Shipping Company,Shipping City,"
        "Shipping Zip,Shipping Province,Shipping Country,Shipping Phone\n";
    int order = 1000;
    for (int i = 0; i < rows; ++order) {
        const int n = order - 1000;
        const int items = orders > 0 ? rows / orders + (n < rows % orders ? 1 : 0) : 1 + order % 4;
        for (int k = 0; k < items && i < rows; ++k, ++i) {
            csv += "#" + std::to_string(order) + ",a@example.jp,paid," + std::to_string(1 + k) + ",商品" +
                   std::to_string(k) + ",1200,";
            if (k == 0)
                csv += "山田 花子,'1050011,山田 太郎" + std::to_string(order) + ",芝公園4-2-8 芝ビル,芝公園4-2-8,芝ビル" +
                       std::to_string(order % 9 + 1) + "F,,港区,'1050011,東京都,JP,'0334331111\n";
            else
                csv += ",,,,,,,,,,,\n";
        }
    }
    return csv;
}

void BM_ShopifyReadGroupCheck5000(benchmark::State& state) { readGroupCheck(state, shopifyCsv(5000)); }
BENCHMARK(BM_ShopifyReadGroupCheck5000)->Unit(benchmark::kMillisecond);
// A day of a growing shop: 21,621 rows, some 8,600 orders of one to four items.
void BM_ShopifyReadGroupCheck21621(benchmark::State& state) { readGroupCheck(state, shopifyCsv(21621)); }
BENCHMARK(BM_ShopifyReadGroupCheck21621)->Unit(benchmark::kMillisecond);
// The same rows as 10,000 orders, as a day's export of a larger shop.
void BM_ShopifyReadGroupCheck10000Orders(benchmark::State& state) { readGroupCheck(state, shopifyCsv(21621, 10000)); }
BENCHMARK(BM_ShopifyReadGroupCheck10000Orders)->Unit(benchmark::kMillisecond);

// A Shopify header padded with other columns to 100, known and unknown.
void BM_HeaderRecognition100(benchmark::State& state) {
    std::vector<std::string> header = {"Name", "Shipping Name", "Shipping Address1", "Lineitem name",
                                       "送付先郵便番号1", "送付先住所：都道府県", "注文者名字", "ship-phone-number"};
    for (int i = 0; header.size() < 100; ++i)
        header.push_back(i % 2 ? "Custom Field " + std::to_string(i) : "お届け先電話番号" + std::to_string(i % 3 + 1));
    for (auto _ : state) {
        benchmark::DoNotOptimize(batch::guessMapping(header, true));
        benchmark::DoNotOptimize(batch::recogniseLayout(header));
    }
}
BENCHMARK(BM_HeaderRecognition100)->Unit(benchmark::kMicrosecond);

void BM_TrackingCheck(benchmark::State& state) {
    const std::string scanned = "A1234-5678-9013D";
    for (auto _ : state) benchmark::DoNotOptimize(batch::parseTracking(scanned));
}
BENCHMARK(BM_TrackingCheck);

void BM_TrackingCheckDigits(benchmark::State& state) {
    const std::string digits = "123456789013";
    for (auto _ : state) benchmark::DoNotOptimize(batch::isValidTracking(digits));
}
BENCHMARK(BM_TrackingCheckDigits);

// A platform's shipping file of 10,000 shipped rows (Amazon's
// confirmation, 楽天's 発送完了報告), from the query to the finished text.
void BM_ConfirmationExport10000(benchmark::State& state, const char* layout, const char* platform) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "vp_orders_bench";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    store::HistoryStore history((dir / "h.db").string());
    std::vector<store::WaybillRecord> rows(10000);
    std::string tracking = "123456789013";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        store::WaybillRecord& r = rows[i];
        r.time = "2026-12-07 10:00:00";
        r.date = "2026/12/07";
        r.consignee = {"105-0011", *sjis::fromUtf8("東京都港区芝公園4-2-8"), "", *sjis::fromUtf8("山田 太郎"),
                       "03-3433-1111"};
        r.orderNo = "250-" + std::to_string(1000000 + i) + "-1234567";
        r.orderItems = std::to_string(10000000000000 + i) + ":1 " + std::to_string(20000000000000 + i) + ":2";
        r.tracking = tracking;
        r.platform = *sjis::fromUtf8(platform);
        r.shipment = std::to_string(1 + i % 2);
        tracking = batch::nextTracking(tracking);
    }
    history.record(rows);
    const store::Carriers carrier;
    std::size_t bytes = 0;
    for (auto _ : state) {
        store::HistoryQuery q;
        q.shippedOnly = true;
        q.limit = -1;
        const std::vector<store::WaybillRecord> shipped = history.list(q);
        bytes = store::shippedExport(shipped, *store::shippedLayout(layout), carrier).size();
    }
    state.counters["kb"] = static_cast<double>(bytes) / 1024.0;
    std::filesystem::remove_all(dir);
}
BENCHMARK_CAPTURE(BM_ConfirmationExport10000, amazon, "amazon", "Amazon")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ConfirmationExport10000, rakuten, "rakuten", "楽天ペイ")->Unit(benchmark::kMillisecond);

}  // namespace
