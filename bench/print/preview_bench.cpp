// The preview and the overflow check: opening the preview window on the
// main form, redrawing it after one keystroke in a field, and the overflow
// check of one filled waybill (as for every row of a batch).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <memory>

#include "app/main_form/app_windows.h"
#include "app/main_form/form_main.h"
#include "app/preview/preview_window.h"
#include "widgets/sjis_line_edit.h"
#include "print/Wb_d97_Dot.h"
#include "print/Wbprn/WbPrinters.h"
#include "print/Wbprn/fake/fake_printer_system.h"
#include "print/Wbprn/painter_canvas.h"
#include "print/core/overflow.h"
#include "tests/print/sample_waybill.h"
#include "tests/support/scripted_boxes.h"
#include "text/sjis_qt.h"

namespace {

QApplication& app() {
    static int argc = 1;
    static char name[] = "preview_bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication a(argc, argv);
    return a;
}

// The main form over one scripted printer in a scratch folder, filled in.
struct Form {
    bool appReady = (app(), true);  // before any widget
    QTemporaryDir dir;
    QString previous = QDir::currentPath();
    ScriptedBoxes boxes;
    TWb_d97_Dot dot;
    std::unique_ptr<TForm_Main> form;
    Form() {
        WbPrinter().ResetSystem(std::make_unique<wbprn::FakePrinterSystem>(
            std::vector<wbprn::FakePrinter>{wbprn::FakePrinter{QStringLiteral("Fake")}}));
        QDir::setCurrent(dir.path());
        Wb_d97_Dot = &dot;
        form = std::make_unique<TForm_Main>();
        form->show();
        QCoreApplication::processEvents();
        form->Edit_Zip->setText(QStringLiteral("123-4567"));
        form->Edit_Add1->setText(QStringLiteral("東京都千代田区丸の内１－２－３"));
        form->Edit_Custo1->setText(QStringLiteral("日通太郎"));
        form->Edit_tel->setText(QStringLiteral("03-1234-5678"));
        form->Edit_G1->setText(QStringLiteral("書籍"));
        form->Edit_My->setText(QStringLiteral("依頼主商店"));
    }
    ~Form() {
        form.reset();
        Wb_d97_Dot = nullptr;
        QDir::setCurrent(previous);
    }
};

void BM_PreviewOpen(benchmark::State& state) {
    Form f;
    for (auto _ : state) {
        auto preview = std::make_unique<TForm_Preview>(*f.form, nullptr);
        preview->show();
        preview->View->repaint();
        state.PauseTiming();
        preview.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PreviewOpen)->Unit(benchmark::kMillisecond);

void BM_PreviewRedrawAfterKeystroke(benchmark::State& state) {
    Form f;
    TForm_Preview preview(*f.form, nullptr);
    preview.show();
    preview.zoomToFit();
    QCoreApplication::processEvents();
    const QString base = f.form->Edit_Custo1->text();
    int n = 0;
    for (auto _ : state) {
        // One character typed: the coalesced refresh runs, then the paint.
        f.form->Edit_Custo1->setText(base + QString(QChar(u'ア' + (n++ % 10))));
        QCoreApplication::processEvents();
        preview.View->repaint();
    }
}
BENCHMARK(BM_PreviewRedrawAfterKeystroke)->Unit(benchmark::kMillisecond);

// Per waybill with one measure for the run, as a batch runs it: every
// waybill has a consignee (address, name, telephone) not seen before; the
// rest repeats. Planning is included, the fields' parsing too.
void BM_OverflowCheckPerWaybill(benchmark::State& state) {
    app();
    print::WaybillFields f = layout_test::sampleFields();
    const std::string add1 = f.add1, name = f.custo1;
    wbprn::PrintFontMeasure measure(360, 360);
    const print::TextWidth width = [&](int points, const std::string& text) { return measure.width(points, text); };
    const print::ImageableArea page{2975, 4210, 360};
    long n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string row = std::to_string(n++);
        f.add1 = add1 + row;
        f.custo1 = name + row;
        f.tel = "03-" + row;
        state.ResumeTiming();
        const auto items = print::planWaybill(f);
        benchmark::DoNotOptimize(print::findOverflows(items, print::DeviceMap::of(f), width, page));
    }
}
BENCHMARK(BM_OverflowCheckPerWaybill)->Unit(benchmark::kMicrosecond);

// The parts of the check: text conversion, and shaping in the print font.
void BM_ToQStringPerWaybill(benchmark::State& state) {
    const print::WaybillFields f = layout_test::sampleFields();
    const auto items = print::planWaybill(f);
    for (auto _ : state)
        for (const auto& item : items) benchmark::DoNotOptimize(sjis::toQString(item.text));
}
BENCHMARK(BM_ToQStringPerWaybill)->Unit(benchmark::kMicrosecond);

}  // namespace
