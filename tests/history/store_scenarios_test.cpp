// Whole-shop scenarios on a private PostgreSQL server: station processes
// printing at once, and a server that dies in the middle of their batches.
// Each station is a process of its own with its own SQLite file.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <future>
#include <thread>

#include "history/pg_db.h"
#include "history/pg_schema.h"
#include "history/shared_history.h"
#include "tests/support/pg_server.h"
#include "tests/support/scratch_folder.h"
#include "text/sjis_convert.h"

namespace {

using namespace std::chrono_literals;

struct Shop : ::testing::Test {
    PgServer server;
    ScratchFolder dir;
    std::string conninfo = server.createDatabase("shop");

    Shop() {
        store::PgDb admin(conninfo);
        store::initPgSchema(admin);
    }

    // Runs `station(n)` in `count` processes at once; true when all ended well.
    static bool stations(int count, const std::function<void(int)>& station) {
        std::vector<pid_t> children;
        for (int n = 0; n < count; ++n) {
            const pid_t child = ::fork();
            if (child == 0) {
                int code = 0;
                try {
                    station(n);
                } catch (const std::exception& e) {
                    std::fprintf(stderr, "station %d: %s\n", n, e.what());
                    code = 1;
                }
                ::_exit(code);  // no destructors of the parent's objects (the server!)
            }
            children.push_back(child);
        }
        bool good = true;
        for (const pid_t c : children) {
            int status = 0;
            ::waitpid(c, &status, 0);
            good = good && WIFEXITED(status) && WEXITSTATUS(status) == 0;
        }
        return good;
    }

    static store::WaybillRecord waybill(int station, int n) {
        store::WaybillRecord r;
        r.consignee = {"100-0005", *sjis::fromUtf8("東京都千代田区"), "", *sjis::fromUtf8("山田太郎"),
                       "03-" + std::to_string(station) + "-" + std::to_string(n)};
        r.g1 = std::to_string(n);
        return r;
    }

    // Prints and sends each waybill; whatever the server does, a station
    // ends only once its outbox is empty (or after a minute).
    void printBatch(int station, int count, std::chrono::milliseconds pause = 0ms) const {
        store::SharedHistory h(dir.file("station" + std::to_string(station) + ".db"), conninfo);
        for (int n = 0; n < count; ++n) {
            h.record(waybill(station, n));
            try {
                h.sendUnsent();
            } catch (const store::PgError&) {
            }
            std::this_thread::sleep_for(pause);
        }
        const auto until = std::chrono::steady_clock::now() + 60s;
        while (h.status().unsent > 0 && std::chrono::steady_clock::now() < until) {
            try {
                h.sendUnsent();
            } catch (const store::PgError&) {
                std::this_thread::sleep_for(200ms);
            }
        }
        if (h.status().unsent > 0) throw std::runtime_error("rows left unsent");
    }

    std::pair<std::int64_t, std::int64_t> rowsAndDistinct() const {
        const store::PgResult r =
            store::PgDb(conninfo).exec("SELECT count(*), count(DISTINCT (tel, g1)) FROM history");
        return {r.integer(0, 0), r.integer(0, 1)};
    }
};

}  // namespace

TEST_F(Shop, FourStationsPrintingAtOnceLeaveEveryWaybillOnce) {
    ASSERT_TRUE(stations(4, [&](int n) { printBatch(n, 250); }));
    EXPECT_EQ(rowsAndDistinct(), std::make_pair(std::int64_t{1000}, std::int64_t{1000}));
}

TEST_F(Shop, AServerThatDiesMidBatchGetsEveryRecordOnceWhenItIsBack) {
    // The stations are forked only once the thread runs: a fork while a
    // thread is starting can copy a lock it holds, and the child waits on it
    // for ever.
    std::promise<void> running;
    std::thread outage([&] {
        running.set_value();
        std::this_thread::sleep_for(300ms);
        server.stop(true);  // as a crash: pg_ctl stop -m immediate
        std::this_thread::sleep_for(1s);
        server.start();
    });
    running.get_future().wait();
    const bool good = stations(2, [&](int n) { printBatch(n, 250, 4ms); });
    outage.join();
    ASSERT_TRUE(good);
    EXPECT_EQ(rowsAndDistinct(), std::make_pair(std::int64_t{500}, std::int64_t{500}));
}
