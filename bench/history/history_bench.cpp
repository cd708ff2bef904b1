// The history store over 100,000 rows: opening, recording one waybill with
// its commit, search as you type and the completion list.
#include <benchmark/benchmark.h>
#include <stdlib.h>  // NOLINT(modernize-deprecated-headers): mkdtemp() is POSIX
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/history/sample_waybill.h"
#include "history/history_store.h"
#include "text/sjis_convert.h"

namespace {

using bench::S;
using bench::sampleRow;

// One database of bench::historyRows() rows, made once per run in a
// temporary folder.
const std::string& filledDatabase() {
    static const std::string path = [] {
        std::string dir = (std::filesystem::temp_directory_path() / "vp_bench_XXXXXX").string();
        if (!::mkdtemp(dir.data())) std::abort();
        static std::string made;
        made = dir;
        std::atexit([] { std::filesystem::remove_all(made); });
        const std::string file = dir + "/" + store::kHistoryFileName;
        // A copy of a kept station's file (VP_BENCH_STATION_FILE), since a
        // million rows take many minutes to write on a small machine.
        if (const char* kept = std::getenv("VP_BENCH_STATION_FILE")) {
            std::filesystem::copy_file(kept, file);
            ::sync();  // its writing-back would take a core from the measured searches
            return file;
        }
        store::HistoryStore h(file);
        std::mt19937 random(1);
        std::vector<store::WaybillRecord> batch;
        for (int i = 0, rows = bench::historyRows(); i < rows; ++i) {
            batch.push_back(sampleRow(random));
            if (batch.size() == 5000) {
                h.record(batch);
                batch.clear();
            }
        }
        return file;
    }();
    return path;
}

store::HistoryStore& sharedStore() {
    static store::HistoryStore h(filledDatabase());
    return h;
}

void BM_HistoryOpen(benchmark::State& state) {
    const std::string& file = filledDatabase();
    for (auto _ : state) {
        store::HistoryStore h(file);
        benchmark::DoNotOptimize(h.readOnly());
    }
}
BENCHMARK(BM_HistoryOpen)->Unit(benchmark::kMillisecond);

void BM_HistoryRecordOne(benchmark::State& state) {
    store::HistoryStore& h = sharedStore();
    std::mt19937 random(2);
    const store::WaybillRecord row = sampleRow(random);
    for (auto _ : state) h.record(row);
}
BENCHMARK(BM_HistoryRecordOne)->Unit(benchmark::kMillisecond);

// One keystroke of the history window's search: the query the window runs
// (at most 1000 rows, newest first) with every row read and converted.
void search(benchmark::State& state, const std::string& utf8) {
    store::HistoryStore& h = sharedStore();
    store::HistoryQuery q;
    q.search = S(utf8);
    std::size_t n = 0;
    for (auto _ : state) n = h.list(q).size();
    state.counters["rows"] = static_cast<double>(n);
}

void complete(benchmark::State& state, store::CompleteBy by, const std::string& utf8) {
    store::HistoryStore& h = sharedStore();
    const std::string prefix = S(utf8);
    std::size_t n = 0;
    for (auto _ : state) n = h.complete(by, prefix).size();
    state.counters["offered"] = static_cast<double>(n);
}

// Each case under a name of its own, so reports can tell them apart.
const int registered = [] {
    const struct {
        const char* name;
        const char* text;
    } searches[] = {
        {"BM_HistorySearchAll", ""},
        {"BM_HistorySearchOneChar", "東"},             // common: the first 1000 rows come quickly
        {"BM_HistorySearchTwoCharsRare", "基町"},
        {"BM_HistorySearchOneCharNone", "鬱"},         // in no row
        {"BM_HistorySearchCity", "名古屋市"},
        {"BM_HistorySearchName", "山田太郎"},
        {"BM_HistorySearchTelDigits", "0901234"},
        {"BM_HistorySearchNoMatch", "ペリカン便"},
        {"BM_HistorySearchPostalCode", "530-1234"},
        {"BM_HistorySearchPostalPrefix", "100-00"},
        {"BM_HistorySearchTelFragment", "5678"},
        {"BM_HistorySearchTracking", "1234-5678-9013"},
        {"BM_HistorySearchTrackingEnd", "9013"},
        {"BM_HistorySearchOrder", "#10042"},
        {"BM_HistorySearchFamilyName", "山田"},
        {"BM_HistorySearchFirstDigit", "1"},  // the first key of a postal code or a telephone number
        {"BM_HistorySearchTwoDigits", "10"},
        {"BM_HistorySearchThreeDigitsHyphen", "100-"},
    };
    for (const auto& c : searches)
        benchmark::RegisterBenchmark(c.name, [text = std::string(c.text)](benchmark::State& st) { search(st, text); })
            ->Unit(benchmark::kMillisecond);
    const struct {
        const char* name;
        store::CompleteBy by;
        const char* text;
    } completions[] = {
        {"BM_HistoryCompleteTel2", store::CompleteBy::Telephone, "09"},
        {"BM_HistoryCompleteTel6", store::CompleteBy::Telephone, "090-123"},
        {"BM_HistoryCompleteName1", store::CompleteBy::Name, "山"},
        {"BM_HistoryCompleteName2", store::CompleteBy::Name, "山田"},
    };
    for (const auto& c : completions)
        benchmark::RegisterBenchmark(c.name, [by = c.by, text = std::string(c.text)](benchmark::State& st) {
            complete(st, by, text);
        })->Unit(benchmark::kMillisecond);
    return 0;
}();

}  // namespace
