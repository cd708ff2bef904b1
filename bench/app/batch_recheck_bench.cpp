// Checking the batch window's 5,000 rows again, as a change of the main
// form's margins or values does: the real main window and batch window
// (offscreen) over a fake printer, message boxes answered at once.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>
#include <memory>

#include "app/batch/batch_window.h"
#include "app/main_form/form_main.h"
#include "bench/app/offscreen_app.h"
#include "print/Wbprn/WbPrinters.h"
#include "print/Wbprn/fake/fake_printer_system.h"
#include "services/message_boxes.h"

namespace {

// Every box answered No without showing (the first start's missing sender file).
class SilentBoxes final : public MessageBoxes {
public:
    bool question(QWidget*, const QString&) override { return false; }
    void notice(QWidget*, const QString&) override {}
    void error(QWidget*, const QString&) override {}
};

void recheckFiveThousandRows(benchmark::State& state) {
    const bench::OffscreenApp app("bench_batch_recheck");
    SilentBoxes boxes;
    setMessageBoxes(&boxes);
    WbPrinter().ResetSystem(std::make_unique<wbprn::FakePrinterSystem>(
        std::vector<wbprn::FakePrinter>{wbprn::FakePrinter{QStringLiteral("Fake")}}, 0));
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    QByteArray csv = "郵便番号,住所,氏名,電話番号,品名\n";
    for (int i = 0; i < 5000; ++i)
        csv += "1050011,東京都港区芝公園4-2-8,山田太郎" + QByteArray::number(i) + ",03-3433-1111,りんご\n";
    QFile file(dir.filePath(QStringLiteral("orders.csv")));
    if (!file.open(QIODevice::WriteOnly) || file.write(csv) != csv.size()) state.SkipWithError("orders not written");
    file.close();
    {
        TForm_Main form;
        form.show();
        form.SpeedButton_F9Click();
        auto* batch = form.findChild<TBatchWindow*>(QStringLiteral("Form_Batch"));
        batch->openFile(file.fileName());
        for (auto _ : state) batch->recheckAll();
        state.counters["rows"] = batch->Table_Orders->rowCount();
    }
    QDir::setCurrent(previous);
    setMessageBoxes(nullptr);
}
BENCHMARK(recheckFiveThousandRows)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
