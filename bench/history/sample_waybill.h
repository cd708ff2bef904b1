#pragma once
// Waybills for the history benchmarks: 20,000 different consignees with
// realistic Japanese texts, the same sequence for the same seed.
#include <cstdlib>
#include <random>
#include <string>

#include "history/waybill_record.h"
#include "text/sjis_convert.h"

namespace bench {

inline std::string S(const std::string& utf8) { return sjis::fromUtf8Lossy(utf8); }

// Waybills to 20,000 different consignees with realistic Japanese texts.
inline store::WaybillRecord sampleRow(std::mt19937& random) {
    static const char* const family[] = {"佐藤", "鈴木", "高橋", "田中", "伊藤", "渡辺", "山本", "中村", "小林", "加藤",
                                         "吉田", "山田", "佐々木", "山口", "松本", "井上", "木村", "林", "斎藤", "清水"};
    static const char* const given[] = {"太郎", "花子", "一郎", "美咲", "健", "陽子", "翔太", "由美", "大輔", "恵"};
    static const char* const places[] = {"東京都千代田区丸の内", "大阪府大阪市北区梅田", "愛知県名古屋市中村区名駅",
                                         "福岡県福岡市博多区博多駅前", "北海道札幌市中央区北五条西",
                                         "宮城県仙台市青葉区中央", "広島県広島市中区基町", "京都府京都市下京区烏丸通"};
    static const char* const goods[] = {"りんご", "書籍", "衣類", "食品", "精密機器", "日用品", "お菓子", "化粧品"};
    const unsigned customer = random() % 20000;
    std::mt19937 c(customer);
    store::WaybillRecord r;
    r.time = "2026-" + std::to_string(1 + random() % 12 + 100).substr(1) + "-" +
             std::to_string(1 + random() % 28 + 100).substr(1) + " 10:00:00";
    r.consignee.name = S(std::string(family[c() % 20]) + given[c() % 10]);
    r.consignee.tel = "0" + std::to_string(c() % 9 + 1) + "0-" + std::to_string(1000 + c() % 9000) + "-" +
                      std::to_string(1000 + c() % 9000);
    r.consignee.zip = std::to_string(100 + c() % 900) + "-" + std::to_string(1000 + c() % 9000);
    r.consignee.add1 = S(std::string(places[c() % 8]) + std::to_string(1 + c() % 9) + "-" + std::to_string(1 + c() % 30));
    r.consignee.add2 = S("第" + std::to_string(1 + c() % 20) + "ビル");
    r.g1 = S(goods[random() % 8]);
    r.myName = S("ペリカン商店");
    r.printer = "waybill";
    r.feedMode = S("手差し");
    r.job = static_cast<std::int64_t>(random() % 100000);
    // A form's number on every waybill, an order number on every other one.
    r.tracking = std::to_string(100000 + random() % 900000) + std::to_string(100000 + random() % 900000);
    if (random() % 2 == 0) r.orderNo = "#" + std::to_string(1000 + random() % 1000000);
    return r;
}

// How many rows the history benchmarks fill: VP_BENCH_HISTORY_ROWS, else
// 100,000 (a million takes many minutes to fill on a small machine).
inline int historyRows() {
    const char* rows = std::getenv("VP_BENCH_HISTORY_ROWS");
    const int n = rows ? std::atoi(rows) : 0;
    return n > 0 ? n : 100000;
}

}  // namespace bench
