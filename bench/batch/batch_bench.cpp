// A day's orders: reading and checking 1,000 rows of a Shift-JIS CSV file
// (decoding, records, mapping, checks against the postal table), and
// building the print document of 200 waybills as the printer gets it (the
// PDF at 360 dpi, fonts embedded). Peak memory is reported as a counter.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QGuiApplication>
#include <QFileInfo>
#include <QTemporaryFile>
#include <memory>
#include <string>

#include "batch/batch_file.h"
#include "batch/order_check.h"
#include "batch/overflow_problems.h"
#include "batch/postal_check.h"
#include "postal/table_locator.h"
#include "print/Wbprn/pdf_canvas.h"
#include "print/Wbprn/waybill_fit.h"
#include "print/core/layout.h"
#include "text/sjis_convert.h"

namespace {

std::string ordersCsv(int rows) {
    std::string csv = "注文番号,送付先郵便番号,都道府県,市区町村,番地,建物名,送付先名,電話番号,商品名,配達希望日,時間帯\r\n";
    for (int i = 0; i < rows; ++i) {
        csv += std::to_string(1000 + i) +
               ",105-0011,東京都,港区,芝公園4-2-" + std::to_string(i % 50) +
               ",ペリカンビル" + std::to_string(i % 9 + 1) + "階,山田 太郎" + std::to_string(i) +
               ",03-3433-1111,ギフトセット(大),2026/12/09,1416\r\n";
    }
    return *sjis::fromUtf8(csv);
}

double peakMegabytes() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

print::WaybillFields defaults() {
    print::WaybillFields d;
    d.dpix = d.dpiy = "360";
    d.date = "2026/12/07";
    d.my = *sjis::fromUtf8("ペリカン商店");
    d.myZip = "530-0001";
    d.myAdd1 = *sjis::fromUtf8("大阪府大阪市北区梅田1-1-1");
    d.myTel = "06-6345-0000";
    return d;
}

// Fonts need a GUI application; no display is needed.
void ensureApplication() {
    static int argc = 1;
    static char name[] = "batch_bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
    wbprn::registerFontSubstitutes();
}

// withFit: every text also measured against its place on the form in the
// print font, as the batch window and the command line do.
void readAndCheck1000(benchmark::State& state, bool withFit) {
    const std::string bytes = ordersCsv(1000);
    postal::LazyTable table(".", postal::executableFolder());
    batch::Checks checks;
    if (const postal::Table* t = table.get()) checks.postal = batch::postalCheckOf(*t);
    std::unique_ptr<wbprn::WaybillFit> fit;
    if (withFit) {
        ensureApplication();
        fit = std::make_unique<wbprn::WaybillFit>(QSizeF(595, 842));
        checks.waybill = batch::overflowCheckOf([&](const print::WaybillFields& f) { return fit->overflows(f); });
    }
    const print::WaybillFields d = defaults();
    std::size_t printable = 0;
    for (auto _ : state) {
        const batch::OrderFile file = batch::readOrderFile(bytes);
        const std::vector<batch::Order> orders = batch::ordersOf(file, batch::guessMapping(file.header, false));
        printable = 0;
        for (const batch::Order& o : orders) printable += batch::checkOrder(o, d, checks).printable() ? 1 : 0;
        benchmark::DoNotOptimize(printable);
    }
    state.counters["printable"] = static_cast<double>(printable);
    state.counters["postal_table"] = checks.postal ? 1 : 0;
}
void BM_ReadAndCheck1000(benchmark::State& state) { readAndCheck1000(state, true); }
BENCHMARK(BM_ReadAndCheck1000)->Unit(benchmark::kMillisecond);
void BM_ReadAndCheck1000NoFit(benchmark::State& state) { readAndCheck1000(state, false); }
BENCHMARK(BM_ReadAndCheck1000NoFit)->Unit(benchmark::kMillisecond);

void BM_Document200(benchmark::State& state) {
    ensureApplication();

    const batch::OrderFile file = batch::readOrderFile(ordersCsv(200));
    std::vector<print::WaybillFields> waybills;
    for (const batch::Order& o : batch::ordersOf(file, batch::guessMapping(file.header, false)))
        waybills.push_back(batch::checkOrder(o, defaults(), {}).fields);
    qint64 bytes = 0;
    for (auto _ : state) {
        QTemporaryFile tmp;
        if (!tmp.open()) state.SkipWithError("no temporary file");
        tmp.close();
        wbprn::PdfPageSetup setup;
        setup.dpi = 360;
        wbprn::PdfCanvas canvas(tmp.fileName(), setup, QStringLiteral("vamu_Pelican  "));
        for (std::size_t i = 0; i < waybills.size(); ++i) {
            if (i > 0) canvas.newPage();
            print::layoutWaybill(waybills[i], canvas);
        }
        if (!canvas.finish()) state.SkipWithError("PDF not written");
        bytes = QFileInfo(tmp.fileName()).size();
    }
    state.counters["pdf_kb"] = static_cast<double>(bytes) / 1024.0;
    state.counters["peak_mb"] = peakMegabytes();
}
BENCHMARK(BM_Document200)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
