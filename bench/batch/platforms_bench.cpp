// Order files of the Japanese platforms at a busy shop's size: a
// 楽天ペイ受注CSV of 20,000 rows (8,000 orders) read, grouped and checked;
// Yahoo!ショッピング's order and item files of 10,000 orders read and joined.
#include <benchmark/benchmark.h>

#include <string>

#include "batch/batch_file.h"
#include "bench/batch/read_group_check.h"
#include "batch/item_file.h"
#include "batch/order_check.h"
#include "batch/postal_check.h"
#include "postal/table_locator.h"
#include "text/sjis_convert.h"

namespace {

std::string sjisOf(const std::string& utf8) { return *sjis::fromUtf8(utf8); }

// 8,000 orders of two or three items (20,000 rows), every tenth to two
// destinations, in Shift-JIS as 楽天 writes it.
std::string rakutenPayCsv() {
    std::string csv =
        "注文番号,ステータス,注文日時,注文者郵便番号1,注文者郵便番号2,注文者住所都道府県,注文者住所郡市区,"
        "注文者住所それ以降の住所,注文者姓,注文者名,注文者電話番号1,注文者電話番号2,注文者電話番号3,送付先ID,"
        "送付先郵便番号1,送付先郵便番号2,送付先住所都道府県,送付先住所郡市区,送付先住所それ以降の住所,送付先姓,"
        "送付先名,送付先姓カナ,送付先名カナ,送付先電話番号1,送付先電話番号2,送付先電話番号3,商品明細ID,商品ID,"
        "商品名,個数,お届け日指定\r\n";
    int row = 0;
    for (int order = 0; order < 8000; ++order) {
        const int items = 2 + order % 2;  // 2.5 rows an order on average
        const std::string no = "399999-20261207-" + std::to_string(1000000000 + order);
        for (int k = 0; k < items; ++k, ++row) {
            const std::string dest = std::to_string(order * 10 + (order % 10 == 0 && k > 0 ? 2 : 1));
            csv += no + ",発送待ち,2026-12-07 10:00:00,530,0001,大阪府,大阪市北区,梅田1-1-1,木村,拓也,06,6345,0000," + dest +
                   ",105,0011,東京都,港区,芝公園4-2-" + std::to_string(order % 50 + 1) + " 芝ビル3F,山田,太郎" +
                   std::to_string(order) + ",ヤマダ,タロウ,03,3433,1111," + std::to_string(row) + ",item" +
                   std::to_string(k) + ",有機緑茶 100g," + std::to_string(1 + k) + ",\r\n";
        }
    }
    return sjisOf(csv);
}

void BM_RakutenPayReadGroupCheck20000(benchmark::State& state) { readGroupCheck(state, rakutenPayCsv()); }
BENCHMARK(BM_RakutenPayReadGroupCheck20000)->Unit(benchmark::kMillisecond);

// 10,000 orders and their 15,000 items.
void BM_YahooOrderAndItemJoin10000(benchmark::State& state) {
    std::string orders =
        "OrderId,OrderTime,BillName,BillFirstName,BillLastName,BillZipCode,BillPrefecture,BillCity,BillAddress1,"
        "BillAddress2,BillPhoneNumber,ShipName,ShipFirstName,ShipLastName,ShipZipCode,ShipPrefecture,ShipCity,"
        "ShipAddress1,ShipAddress2,ShipPhoneNumber,ShipRequestDate,ShipMethodName\r\n";
    std::string items = "OrderId,LineId,Quantity,ItemId,SubCode,Title,UnitPrice\r\n";
    for (int i = 0; i < 10000; ++i) {
        const std::string id = "teashop-" + std::to_string(10000000 + i);
        orders += id + ",2026/12/07 10:00:00,鈴木 一郎,一郎,鈴木,900-0001,沖縄県,那覇市,港町1-1,,0988889999,山田 太郎" +
                  std::to_string(i) + ",太郎,山田,105-0011,東京都,港区,芝公園4-2-8,芝ビル3F,0334331111,,宅配便\r\n";
        for (int k = 0; k < 1 + i % 2; ++k)
            items += id + "," + std::to_string(k + 1) + ",1,tea" + std::to_string(k) + ",,有機緑茶 100g,1200\r\n";
    }
    const std::string orderBytes = sjisOf(orders), itemBytes = sjisOf(items);
    std::size_t waybills = 0;
    for (auto _ : state) {
        const batch::OrderFile joined =
            batch::joinItemFile(batch::readOrderFile(orderBytes), batch::readOrderFile(itemBytes));
        waybills = batch::ordersOf(joined, batch::guessMapping(joined.header, false)).size();
        benchmark::DoNotOptimize(waybills);
    }
    state.counters["waybills"] = static_cast<double>(waybills);
}
BENCHMARK(BM_YahooOrderAndItemJoin10000)->Unit(benchmark::kMillisecond);

}  // namespace
