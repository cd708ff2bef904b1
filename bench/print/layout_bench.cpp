// The layout of a full waybill (every field filled, marks checked) on a
// recording surface: parsing the captions, mapping all positions, drawing.
#include <benchmark/benchmark.h>

#include "print/core/layout.h"
#include "print/core/recording_surface.h"

namespace {

print::WaybillFields fullWaybill() {
    print::WaybillFields f;
    f.dpix = f.dpiy = "360";
    f.prnTop = "12";
    f.prnLeft = "-3";
    f.zip = "123-4567";
    f.date = "2010/12/18";
    f.deDate1 = "10"; f.deDate2 = "12"; f.deDate3 = "24";
    // Full-width texts (Shift-JIS) of typical length.
    const std::string kana = "\x82\xa0\x82\xa2\x82\xa4\x82\xa6\x82\xa8";  // あいうえお
    f.add1 = kana + kana + kana + kana;
    f.add2 = kana + kana;
    f.g1 = f.g2 = f.g3 = kana + kana + kana;
    f.custo1 = kana + kana;
    f.tel = "03-1234-5678";
    f.myZip = "530-0001";
    f.myAdd1 = kana + kana + kana;
    f.myAdd2 = kana;
    f.my = kana + kana;
    f.myTel = "06-1111-2222";
    f.timeBand[1] = true;
    f.special = {true, false, true, true, true};
    return f;
}

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
