// Postal table speed on the bundled table: code → places, address → codes,
// the first load of the file, and the memory the loaded table holds.
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>
#include <vector>

#include "postal/ken_all_import.h"
#include "postal/postal_search.h"
#include "postal/postal_table.h"
#include "text/sjis_convert.h"

namespace {

const postal::Table& table() {
    static const postal::Table t = postal::Table::load(VP_BUNDLED_TABLE);
    return t;
}

std::string sj(const char* utf8) { return sjis::fromUtf8(utf8).value(); }

// Resident memory of the process in bytes.
double residentBytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * 4096.0;
}

void BM_PostalLookupCode(benchmark::State& state) {
    const std::vector<std::string> codes{"1050011", "4380078", "0600042", "9071801", "1006001", "0000000"};
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(table().lookup(codes[i++ % codes.size()]));
}
BENCHMARK(BM_PostalLookupCode);

// Address → codes, the slowest kinds: no prefecture (every city is tried)
// and a city with many towns.
void BM_PostalReverse(benchmark::State& state) {
    const std::vector<std::string> addresses{sj("港区芝公園４－２－８"), sj("京都府京都市下京区四条通烏丸東入"),
                                             sj("東京都港区芝"), sj("札幌市中央区大通西5丁目")};
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(postal::reverseLookup(table(), addresses[i++ % addresses.size()]));
}
BENCHMARK(BM_PostalReverse)->Unit(benchmark::kMicrosecond);

// The code against the address down to the town: a city of a hundred
// towns, and the city with the most (富山市, over a thousand).
void BM_PostalCheck(benchmark::State& state) {
    const std::string address = sj("東京都港区芝公園4-2-8");
    for (auto _ : state) benchmark::DoNotOptimize(postal::checkAddress(table(), "1050011", address));
}
BENCHMARK(BM_PostalCheck);

void BM_PostalCheckLargestCity(benchmark::State& state) {
    const std::string address = sj("富山県富山市布市1-2");
    for (auto _ : state) benchmark::DoNotOptimize(postal::checkAddress(table(), "9300001", address));
}
BENCHMARK(BM_PostalCheckLargestCity)->Unit(benchmark::kMicrosecond);

// Reading and checking the whole file, as the first lookup does; the
// counter is the memory the loaded table adds.
void BM_PostalFirstLoad(benchmark::State& state) {
    double added = 0;
    for (auto _ : state) {
        const double before = residentBytes();
        const postal::Table t = postal::Table::load(VP_BUNDLED_TABLE);
        added = residentBytes() - before;
        benchmark::DoNotOptimize(t.entryCount());
    }
    state.counters["resident_MB"] = added / (1024.0 * 1024.0);
}
BENCHMARK(BM_PostalFirstLoad)->Unit(benchmark::kMillisecond);

// Japan Post's file read by the importer when it is hostile: 3 MB of rows of
// one code whose town opens "（" and never closes it, so that every row
// asks to be joined to the next.
void BM_PostalImportUnclosedTowns(benchmark::State& state) {
    const std::string row = sj("\"13101\",\"100  \",\"1000001\",\"ﾄｳｷｮｳﾄ\",\"ﾁﾖﾀﾞｸ\",\"ﾁﾖﾀﾞ(\",\"東京都\",\"千代田区\","
                               "\"千代田（一丁目\",0,0,0,0,0,0\r\n");
    std::string csv;
    while (csv.size() < static_cast<std::size_t>(state.range(0)) << 20) csv += row;
    for (auto _ : state) benchmark::DoNotOptimize(postal::readKenAll(csv, "KEN_ALL.CSV"));
    state.counters["MB"] = static_cast<double>(csv.size()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_PostalImportUnclosedTowns)->Arg(3)->Unit(benchmark::kMillisecond);

}  // namespace
