// Form files: reading and checking the bundled form file (from disk, and
// from its text alone), and the layout of one full waybill on the form
// read from that file against the compiled built-in form.
#include <benchmark/benchmark.h>

#include <stdexcept>

#include "bench/print/full_waybill.h"
#include "print/core/form_check.h"
#include "print/core/form_file.h"
#include "print/core/form_library.h"
#include "print/core/layout.h"

namespace {

const std::string kFile = std::string(VP_SOURCE_FORMS) + "/pelican.form";

void BM_ReadAndCheckFormFile(benchmark::State& state) {
    for (auto _ : state) {
        print::FormEntry entry = print::readFormFile(kFile);
        if (!entry.form) throw std::runtime_error("the bundled form file is not usable");
        benchmark::DoNotOptimize(entry.form->items.data());
    }
}
BENCHMARK(BM_ReadAndCheckFormFile)->Unit(benchmark::kMicrosecond);

void BM_ParseAndCheckFormText(benchmark::State& state) {
    const std::string text = print::formText(print::builtinForm());
    for (auto _ : state) {
        print::FormRead read = print::parseForm(text, "pelican");
        std::vector<print::FormProblem> problems = print::checkForm(*read.form);
        benchmark::DoNotOptimize(problems.data());
    }
}
BENCHMARK(BM_ParseAndCheckFormText)->Unit(benchmark::kMicrosecond);

// planWaybill of one full waybill; range(0): 0 the compiled form, 1 the file's.
void BM_PlanWaybill(benchmark::State& state) {
    const print::FormEntry entry = print::readFormFile(kFile);
    if (!entry.form) throw std::runtime_error("the bundled form file is not usable");
    print::WaybillFields f = bench_print::fullWaybill();
    f.form = state.range(0) == 0 ? nullptr : &*entry.form;
    for (auto _ : state) {
        std::vector<print::DrawItem> items = print::planWaybill(f);
        benchmark::DoNotOptimize(items.data());
    }
    state.SetLabel(state.range(0) == 0 ? "compiled form" : "form file");
}
BENCHMARK(BM_PlanWaybill)->Arg(0)->Arg(1);

}  // namespace
