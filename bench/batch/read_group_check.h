#pragma once
// The benchmark loop of an order file as the batch window takes it: read,
// grouped into waybills and each checked, against the program's postal
// table when there is one.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <string>

#include "batch/batch_file.h"
#include "batch/order_check.h"
#include "batch/postal_check.h"
#include "postal/table_locator.h"

inline void readGroupCheck(benchmark::State& state, const std::string& bytes) {
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
