// Orders from the sales platforms: a 5,000-row Shopify-style export read,
// grouped into waybills and checked; header recognition of a 100-column
// header; the tracking-number check; the shipping confirmation of 10,000
// history rows read from the store.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "batch/batch_file.h"
#include "batch/order_check.h"
#include "batch/platform_layouts.h"
#include "batch/postal_check.h"
#include "batch/tracking_number.h"
#include "postal/table_locator.h"
#include "history/history_store.h"
#include "history/shipped_export.h"
#include "text/sjis_convert.h"

namespace {

// 2,000 orders of one to four items, the address on each order's first row.
std::string shopifyCsv(int rows) {
    std::string csv =
        "Name,Email,Financial Status,Lineitem quantity,Lineitem name,Lineitem price,Billing Name,Billing Zip,"
        "Shipping Name,Shipping Street,Shipping Address1,Shipping Address2,Shipping Company,Shipping City,"
        "Shipping Zip,Shipping Province,Shipping Country,Shipping Phone\n";
    int order = 1000;
    for (int i = 0; i < rows; ++order) {
        const int items = 1 + order % 4;
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

void readGroupCheck(benchmark::State& state, int rows) {
    const std::string bytes = shopifyCsv(rows);
    postal::LazyTable table(".", postal::executableFolder());
    batch::Checks checks;
    if (const postal::Table* t = table.get()) checks.postal = batch::postalCheckOf(*t);
    print::WaybillFields d;
    d.date = "2026/12/07";
    std::size_t waybills = 0, printable = 0;
    for (auto _ : state) {
        const batch::OrderFile file = batch::readOrderFile(bytes);
        const std::vector<batch::Order> orders = batch::ordersOf(file, batch::guessMapping(file.header, false));
        waybills = orders.size();
        printable = 0;
        for (const batch::Order& o : orders) printable += batch::checkOrder(o, d, checks).printable() ? 1 : 0;
        benchmark::DoNotOptimize(printable);
    }
    state.counters["waybills"] = static_cast<double>(waybills);
    state.counters["printable"] = static_cast<double>(printable);
    state.counters["postal_table"] = checks.postal ? 1 : 0;
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024;
}
void BM_ShopifyReadGroupCheck5000(benchmark::State& state) { readGroupCheck(state, 5000); }
BENCHMARK(BM_ShopifyReadGroupCheck5000)->Unit(benchmark::kMillisecond);
// A day of a growing shop: 21,621 rows, some 8,600 orders of one to four items.
void BM_ShopifyReadGroupCheck21621(benchmark::State& state) { readGroupCheck(state, 21621); }
BENCHMARK(BM_ShopifyReadGroupCheck21621)->Unit(benchmark::kMillisecond);

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

// The Amazon confirmation of 10,000 shipped rows, from the query to the
// finished text.
void BM_ConfirmationExport10000(benchmark::State& state) {
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
        tracking = batch::nextTracking(tracking);
    }
    history.record(rows);
    const store::Carrier carrier;
    std::size_t bytes = 0;
    for (auto _ : state) {
        store::HistoryQuery q;
        q.shippedOnly = true;
        q.limit = -1;
        const std::vector<store::WaybillRecord> shipped = history.list(q);
        bytes = store::shippedExport(shipped, *store::shippedLayout("amazon"), carrier).size();
    }
    state.counters["kb"] = static_cast<double>(bytes) / 1024.0;
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ConfirmationExport10000)->Unit(benchmark::kMillisecond);

}  // namespace
