// The shared history on a local PostgreSQL server (a private one on a Unix
// socket, made for this run) over 100,000 rows: recording one waybill,
// search as you type, the completion lists, draining an outbox of 1,000
// prints, and how soon a listening station hears of another's print.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <poll.h>

#include <chrono>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/history/sample_waybill.h"
#include "history/history_push.h"
#include "history/history_store.h"
#include "history/pg_db.h"
#include "history/pg_history_store.h"
#include "history/pg_schema.h"
#include "history/shared_history.h"
#include "tests/support/pg_server.h"
#include "tests/support/scratch_folder.h"

namespace {

using bench::S;
using bench::sampleRow;

PgServer& server() {
    static PgServer s;
    return s;
}

// The station's file the server's rows came from (its record ids), kept
// for the push benchmark.
std::string& stationFile() {
    static std::string file;
    return file;
}

// A database of historyRows() rows, filled once per run by pushing a
// station's file of them (history push). The search index of pieces is
// made after the rows are in, as a restore would; the stations' inserts
// after that keep it up row by row.
const std::string& filledDatabase() {
    static ScratchFolder folder;
    static const std::string conninfo = [] {
        const std::string c = server().createDatabase("bench");
        store::PgDb admin(c, std::chrono::minutes(10));
        store::initPgSchema(admin);
        admin.exec("DROP INDEX history_grams_index");
        stationFile() = folder.file("station.db");
        {
            store::HistoryStore local(stationFile());
            std::mt19937 random(1);
            std::vector<store::WaybillRecord> batch;
            for (int i = 0, rows = bench::historyRows(); i < rows; ++i) {
                batch.push_back(sampleRow(random));
                if (batch.size() == 5000 || i + 1 == rows) {
                    local.record(batch);
                    batch.clear();
                }
            }
            store::PgHistoryStore h(c, std::chrono::minutes(10));
            const auto started = std::chrono::steady_clock::now();
            store::pushHistory(local, h);
            std::fprintf(stderr, "first push of %d rows: %.1f s\n", bench::historyRows(),
                         std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
        }
        admin.exec("CREATE INDEX history_grams_index ON history_grams USING gin(grams)");
        admin.exec("ANALYZE");
        return c;
    }();
    return conninfo;
}

store::PgHistoryStore& sharedStore() {
    static store::PgHistoryStore h(filledDatabase());
    return h;
}

// Removes what a writing benchmark added when it ends, so that the search
// benchmarks see the table as filled, not thousands of copies of one row
// at its newest end.
class AddedRowsRemoved {
public:
    AddedRowsRemoved() : newest_(newest()) {}
    ~AddedRowsRemoved() {
        store::PgDb(filledDatabase()).exec("DELETE FROM history WHERE id > $1", {std::to_string(newest_)});
    }
    AddedRowsRemoved(const AddedRowsRemoved&) = delete;
    AddedRowsRemoved& operator=(const AddedRowsRemoved&) = delete;

private:
    static std::int64_t newest() {
        return store::PgDb(filledDatabase()).exec("SELECT coalesce(max(id), 0) FROM history").integer(0, 0);
    }
    std::int64_t newest_;
};

void BM_SharedRecordOne(benchmark::State& state) {
    store::PgHistoryStore& h = sharedStore();
    const AddedRowsRemoved cleanup;
    std::mt19937 random(2);
    const store::WaybillRecord row = sampleRow(random);  // a fresh record id each time
    for (auto _ : state) h.record(row);
}
BENCHMARK(BM_SharedRecordOne)->Unit(benchmark::kMillisecond);

void search(benchmark::State& state, const std::string& utf8) {
    store::PgHistoryStore& h = sharedStore();
    store::HistoryQuery q;
    q.search = S(utf8);
    std::size_t n = 0;
    for (auto _ : state) n = h.list(q).size();
    state.counters["rows"] = static_cast<double>(n);
}

void complete(benchmark::State& state, store::CompleteBy by, const std::string& utf8) {
    store::PgHistoryStore& h = sharedStore();
    const std::string prefix = S(utf8);
    std::size_t n = 0;
    for (auto _ : state) n = h.complete(by, prefix).size();
    state.counters["offered"] = static_cast<double>(n);
}

// A second push of the station's whole history: the server has every row.
void BM_SharedPushNothingNew(benchmark::State& state) {
    store::PgHistoryStore& h = sharedStore();
    store::HistoryStore local(stationFile());
    std::size_t kept = 0;
    for (auto _ : state) kept = store::pushHistory(local, h).kept;
    state.counters["rows"] = static_cast<double>(kept);
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024;
}
BENCHMARK(BM_SharedPushNothingNew)->Unit(benchmark::kMillisecond)->Iterations(3);

// The first search after the server was restarted (its buffers empty; the
// system's file cache stays as it was).
void searchAfterRestart(benchmark::State& state, const std::string& utf8) {
    const std::string& conninfo = filledDatabase();
    store::HistoryQuery q;
    q.search = S(utf8);
    std::size_t n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        server().stop();
        server().start();
        store::PgHistoryStore h(conninfo);
        state.ResumeTiming();
        n = h.list(q).size();
    }
    state.counters["rows"] = static_cast<double>(n);
}

// 1,000 prints made while the server was away, sent when it answers.
void BM_SharedOutboxDrain1000(benchmark::State& state) {
    const std::string& conninfo = filledDatabase();
    const AddedRowsRemoved cleanup;
    std::mt19937 random(3);
    for (auto _ : state) {
        state.PauseTiming();
        ScratchFolder dir;
        auto station = std::make_unique<store::SharedHistory>(dir.file("station.db"), conninfo);
        std::vector<store::WaybillRecord> prints;
        for (int i = 0; i < 1000; ++i) prints.push_back(sampleRow(random));
        station->record(prints);
        state.ResumeTiming();
        if (station->sendUnsent() != 1000) state.SkipWithError("not every print went");
        state.PauseTiming();
        station.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SharedOutboxDrain1000)->Unit(benchmark::kMillisecond)->Iterations(3);

// From one station's commit to another station's listening connection
// hearing of it.
void BM_SharedPrintHeardElsewhere(benchmark::State& state) {
    store::PgHistoryStore& h = sharedStore();
    const AddedRowsRemoved cleanup;
    store::PgDb listener(filledDatabase());
    listener.exec(std::string("LISTEN ") + store::kPgHistoryChannel);
    std::mt19937 random(4);
    const store::WaybillRecord row = sampleRow(random);
    for (auto _ : state) {
        h.record(row);
        pollfd p{listener.socket(), POLLIN, 0};
        while (listener.notifications().empty()) ::poll(&p, 1, 1000);
    }
}
BENCHMARK(BM_SharedPrintHeardElsewhere)->Unit(benchmark::kMillisecond);

const int registered = [] {
    const struct {
        const char* name;
        const char* text;
    } searches[] = {
        {"BM_SharedSearchAll", ""},
        {"BM_SharedSearchOneChar", "東"},
        {"BM_SharedSearchTwoCharsRare", "基町"},
        {"BM_SharedSearchOneCharNone", "鬱"},
        {"BM_SharedSearchCity", "名古屋市"},
        {"BM_SharedSearchName", "山田太郎"},
        {"BM_SharedSearchTelDigits", "0901234"},
        {"BM_SharedSearchNoMatch", "ペリカン便"},
        {"BM_SharedSearchPostalCode", "530-1234"},
        {"BM_SharedSearchPostalPrefix", "100-00"},
        {"BM_SharedSearchTelFragment", "5678"},
        {"BM_SharedSearchTracking", "1234-5678-9013"},
        {"BM_SharedSearchTrackingEnd", "9013"},
        {"BM_SharedSearchOrder", "#10042"},
        {"BM_SharedSearchFamilyName", "山田"},
    };
    for (const auto& c : searches)
        benchmark::RegisterBenchmark(c.name, [text = std::string(c.text)](benchmark::State& st) { search(st, text); })
            ->Unit(benchmark::kMillisecond);
    // After the warm ones: each restart empties the server's buffers.
    for (const auto& c : searches)
        benchmark::RegisterBenchmark((std::string(c.name) + "AfterRestart").c_str(),
                                     [text = std::string(c.text)](benchmark::State& st) {
                                         searchAfterRestart(st, text);
                                     })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(2);
    const struct {
        const char* name;
        store::CompleteBy by;
        const char* text;
    } completions[] = {
        {"BM_SharedCompleteTel2", store::CompleteBy::Telephone, "09"},
        {"BM_SharedCompleteTel6", store::CompleteBy::Telephone, "090-123"},
        {"BM_SharedCompleteName1", store::CompleteBy::Name, "山"},
        {"BM_SharedCompleteName2", store::CompleteBy::Name, "山田"},
    };
    for (const auto& c : completions)
        benchmark::RegisterBenchmark(c.name, [by = c.by, text = std::string(c.text)](benchmark::State& st) {
            complete(st, by, text);
        })->Unit(benchmark::kMillisecond);
    return 0;
}();

}  // namespace
