// Printer layer against a private CUPS scheduler (started here with the
// test fixture script): snapshot + capability load of a queue, and from
// the user's Yes to the job handed to CUPS (rendering + submission).
#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>

#include <cups/cups.h>

#include "print/Wbprn/WbPrinters.h"
#include "print/Wbprn/cups/cups_printer_system.h"
#include "print/core/layout.h"
#include "tests/print/sample_waybill.h"

namespace {

const std::string kDir = "/tmp/vp_bench_cups";

void useScheduler(const std::string& socket) {
    setenv("CUPS_SERVER", socket.c_str(), 1);
    cupsSetServer(nullptr);
    WbPrinter().ResetSystem(wbprn::makeCupsPrinterSystem());
}

void BM_SnapshotAndCapabilityLoad(benchmark::State& state) {
    for (auto _ : state) {
        useScheduler(kDir + "/main/cups.sock");
        TWbPrinter& wb = WbPrinter();
        benchmark::DoNotOptimize(wb.GetIndex());
        benchmark::DoNotOptimize(wb.GetPaperSizeNames().size());
        benchmark::DoNotOptimize(wb.GetBinNames().size());
        benchmark::DoNotOptimize(wb.Dpi());
    }
}
BENCHMARK(BM_SnapshotAndCapabilityLoad)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

void BM_YesToJobHanded(benchmark::State& state) {
    useScheduler(kDir + "/main/cups.sock");
    TWbPrinter& wb = WbPrinter();
    wb.GetPaperSizeNames();  // the printer box has loaded these before any print
    print::WaybillFields f = layout_test::sampleFields();
    for (auto _ : state) {
        const int effX = wb.Dpi().x * 100 / wb.Scale();
        const int effY = wb.Dpi().y * 100 / wb.Scale();
        f.dpix = std::to_string(effX);
        f.dpiy = std::to_string(effY);
        wb.BeginDoc(QStringLiteral("vamu_Pelican  "));
        print::layoutWaybill(f, wb.Canvas());
        wb.EndDoc();
    }
}
BENCHMARK(BM_YesToJobHanded)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(5)->ReportAggregatesOnly();

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const std::string fixture = std::string(VP_CUPS_FIXTURE) + " ";
    if (std::system(("sh " + fixture + "start " + kDir + " >/dev/null").c_str()) != 0 ||
        std::system(("test -S " + kDir + "/main/cups.sock").c_str()) != 0) {
        std::fprintf(stderr, "cupsd could not be started; nothing measured\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::system(("sh " + fixture + "stop " + kDir).c_str());
    return 0;
}
