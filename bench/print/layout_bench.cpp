// The layout of a full waybill (every field filled, marks checked) on a
// recording surface: parsing the captions, mapping all positions, drawing.
#include <benchmark/benchmark.h>

#include "print/core/layout.h"
#include "print/core/recording_surface.h"
#include "bench/print/full_waybill.h"

namespace {

using bench_print::fullWaybill;

void BM_LayoutFullWaybill(benchmark::State& state) {
    const print::WaybillFields f = fullWaybill();
    print::RecordingSurface surface;
    for (auto _ : state) {
        surface.calls.clear();
        print::layoutWaybill(f, surface);
        benchmark::DoNotOptimize(surface.calls.data());
    }
    state.counters["texts"] = static_cast<double>(surface.calls.size());
}
BENCHMARK(BM_LayoutFullWaybill);

// The same with a fresh surface each time (the allocation of the record).
void BM_LayoutFullWaybillFreshSurface(benchmark::State& state) {
    const print::WaybillFields f = fullWaybill();
    for (auto _ : state) {
        print::RecordingSurface surface;
        print::layoutWaybill(f, surface);
        benchmark::DoNotOptimize(surface.calls.data());
    }
}
BENCHMARK(BM_LayoutFullWaybillFreshSurface);

}  // namespace
