// The shared history on a local PostgreSQL server (a private one on a Unix
// socket, made for this run) over 100,000 rows (VP_BENCH_HISTORY_ROWS):
// recording one waybill, search as you type, warm and right after a
// restart, the completion lists, pushing a station's history, draining an
// outbox of 1,000 prints, and how soon a listening station hears of
// another's print.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/history/history_loader.h"
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

// VP_BENCH_PG_FOLDER names a folder that keeps the server and the
// station's file from one run to the next: a history of a million rows
// takes half an hour to make on a small machine. Without it both are made
// in temporary folders and removed.
const char* keptFolder() { return std::getenv("VP_BENCH_PG_FOLDER"); }

PgServer& server() {
    static const std::unique_ptr<PgServer> s =
        keptFolder() ? std::make_unique<PgServer>(std::string(keptFolder())) : std::make_unique<PgServer>();
    return *s;
}

// The station's file the server's rows came from (its record ids), kept
// for the push benchmarks.
std::string& stationFile() {
    static std::string file;
    return file;
}

// Whether the database holds a whole history: its indexes of pieces and
// number keys are made once every row is in.
bool filled(const std::string& conninfo) {
    if (store::PgDb(server().conninfo("postgres"))
            .exec("SELECT 1 FROM pg_database WHERE datname = 'bench'")
            .rows() == 0)
        return false;
    return store::PgDb(conninfo)
        .exec("SELECT to_regclass('history_grams_index') IS NOT NULL AND "
              "to_regclass('history_numbers_by_key') IS NOT NULL")
        .boolean(0, 0);
}

// A database of historyRows() rows, and the station's file they came
// from, made once per run (or once per kept folder). The rows go to the
// server in one transaction, a part per statement (history_loader.h),
// with the values the store writes for them; the indexes of pieces and
// number keys are made after the rows are in, as a restore would, and the
// tables vacuumed and analysed, as autovacuum leaves them. The stations'
// inserts after that keep the indexes up row by row.
const std::string& filledDatabase() {
    static ScratchFolder folder;
    static const std::string conninfo = [] {
        stationFile() = keptFolder() ? std::string(keptFolder()) + "/station.db" : folder.file("station.db");
        std::string c = server().conninfo("bench");
        if (filled(c)) {
            std::fprintf(stderr, "the kept history of %lld rows\n",
                         static_cast<long long>(store::PgDb(c).exec("SELECT count(*) FROM history").integer(0, 0)));
            return c;
        }
        store::PgDb(server().conninfo("postgres"), std::chrono::minutes(10)).exec("DROP DATABASE IF EXISTS bench");
        std::filesystem::remove(stationFile());
        server().createDatabase("bench");
        store::PgDb admin(c, std::chrono::hours(2));
        store::initPgSchema(admin);
        // As a restore does: the rows are whole, their references need no
        // check, and nobody listens yet.
        admin.exec("SET session_replication_role = replica");
        admin.exec("SET maintenance_work_mem = '1GB'");
        admin.exec("SET work_mem = '256MB'");
        admin.exec("DROP INDEX history_grams_index");
        admin.exec("DROP INDEX history_numbers_by_key");
        const auto started = std::chrono::steady_clock::now();
        const auto seconds = [&] {
            return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        };
        {
            store::HistoryStore local(stationFile());
            bench::HistoryLoader loader(admin);
            store::PgTransaction t(admin);
            std::mt19937 random(1);
            std::vector<store::WaybillRecord> part;
            for (int i = 0, rows = bench::historyRows(); i < rows; ++i) {
                part.push_back(sampleRow(random));
                part.back().uid = store::newRecordUid();
                if (part.size() == 5000 || i + 1 == rows) {
                    // The server takes a part while the station's file takes it.
                    auto sent = std::async(std::launch::async, [&] { loader.load(part); });
                    local.record(part);
                    sent.get();
                    part.clear();
                }
            }
            t.commit();
        }
        std::fprintf(stderr, "%d rows into the station's file and the server: %.1f s\n", bench::historyRows(),
                     seconds());
        admin.exec("CREATE INDEX history_grams_index ON history_grams USING gin(grams)");
        admin.exec("CREATE INDEX history_numbers_by_key ON history_numbers(key, id)");
        admin.exec("VACUUM ANALYZE");
        std::fprintf(stderr, "with the indexes made and the tables vacuumed: %.1f s\n", seconds());
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
    if (!std::filesystem::exists(stationFile())) return state.SkipWithError("the kept folder has no station's file");
    store::HistoryStore local(stationFile());
    std::size_t kept = 0;
    for (auto _ : state) kept = store::pushHistory(local, h).kept;
    // The push's memory is measured by BM_SharedPushWholeHistory, in a
    // process of its own: this one's peak holds the filling of the server.
    state.counters["rows"] = static_cast<double>(kept);
}
BENCHMARK(BM_SharedPushNothingNew)->Unit(benchmark::kMillisecond)->Iterations(3);

// history push of the station's whole history by the command-line tool
// into an empty database, as an administrator runs it: its time and the
// tool's peak memory (its largest resident set). Once per run: it sends
// every row.
void BM_SharedPushWholeHistory(benchmark::State& state) {
    filledDatabase();
    if (!std::filesystem::exists(stationFile())) return state.SkipWithError("the kept folder has no station's file");
    store::PgDb(server().conninfo("postgres"), std::chrono::minutes(10)).exec("DROP DATABASE IF EXISTS pushed");
    const std::string conninfo = server().createDatabase("pushed");
    {
        store::PgDb admin(conninfo);
        store::initPgSchema(admin);
    }
    const std::vector<std::string> args = {VP_CLI_PATH, "history", "push", "--server", conninfo, "--db", stationFile()};
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    ::posix_spawn_file_actions_init(&quiet);
    ::posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    for (auto _ : state) {
        pid_t child = 0;
        if (::posix_spawn(&child, argv[0], &quiet, nullptr, argv.data(), environ) != 0) {
            state.SkipWithError("the command-line tool did not start");
            break;
        }
        int status = 0;
        rusage usage{};
        while (::wait4(child, &status, 0, &usage) < 0) {
        }
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("history push failed");
        state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024;
    }
    ::posix_spawn_file_actions_destroy(&quiet);
    state.counters["rows"] = bench::historyRows();
    // Dropping a million rows may take longer than a station's time-out.
    store::PgDb(server().conninfo("postgres"), std::chrono::minutes(10)).exec("DROP DATABASE pushed");
}
BENCHMARK(BM_SharedPushWholeHistory)->Unit(benchmark::kSecond)->Iterations(1)->Repetitions(1);

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
        prints.reserve(1000);
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
        {"BM_SharedSearchFirstDigit", "1"},  // the first key of a postal code or a telephone number
        {"BM_SharedSearchTwoDigits", "10"},
        {"BM_SharedSearchThreeDigitsHyphen", "100-"},
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
