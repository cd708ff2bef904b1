// The printer layer against a real CUPS scheduler: queues, capabilities,
// and waybills rendered, submitted and captured as the printer gets them.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <chrono>
#include <memory>

#include "print/Wbprn/WbPrinters.h"
#include "print/Wbprn/cups/cups_printer_system.h"
#include "tests/e2e/cups_test.h"
#include "tests/print/sample_waybill.h"

using namespace std::chrono_literals;

namespace {

// What the print command does: effective resolution into the labels, one
// document, the layout, end (or abort and rethrow).
std::vector<print::DrawItem> printWaybill(print::WaybillFields f) {
    TWbPrinter& wb = WbPrinter();
    const int effX = wb.Dpi().x * 100 / wb.Scale();
    const int effY = wb.Dpi().y * 100 / wb.Scale();
    f.dpix = std::to_string(effX);
    f.dpiy = std::to_string(effY);
    wb.BeginDoc(QStringLiteral("vamu_Pelican  "));
    std::vector<print::DrawItem> items;
    try {
        items = print::planWaybill(f);
        print::drawItems(items, wb.Canvas());
    } catch (...) {
        wb.Abort();
        throw;
    }
    wb.EndDoc();
    return items;
}

std::vector<QString> names(const QStringList& l) { return {l.begin(), l.end()}; }

using CupsE2E = e2e::MainSchedulerTest;

}  // namespace

TEST_F(CupsE2E, QueuesCapabilitiesAndTheRejectingQueueHidden) {
    TWbPrinter& wb = WbPrinter();
    EXPECT_EQ(names(wb.PrinterNames()), (std::vector<QString>{QStringLiteral("Wb203"), QStringLiteral("Wb360")}));
    EXPECT_EQ(wb.GetIndex(), 1) << "the CUPS default queue is current";
    EXPECT_EQ(wb.Dpi().x, 360);
    EXPECT_EQ(wb.Dpi().y, 360);
    EXPECT_EQ(wb.Scale(), 100);
    EXPECT_EQ(names(wb.GetPaperSizeNames()),
              (std::vector<QString>{QStringLiteral("送り状"), QStringLiteral("A4"), QStringLiteral("Letter")}));
    EXPECT_EQ(wb.GetPaperSizeIndex(), 0);
    EXPECT_EQ(names(wb.GetBinNames()),
              (std::vector<QString>{QStringLiteral("手差し"), QStringLiteral("トラクタ"), QStringLiteral("自動")}));
    EXPECT_EQ(wb.GetBinIndex(), 0);
    // Three queues print into the same capture device: one port.
    EXPECT_EQ(wb.PortNames().size(), 1);

    wb.SetIndex(0);
    EXPECT_EQ(wb.System().currentDeviceName(), QStringLiteral("Wb203"));
    EXPECT_EQ(wb.Dpi().x, 203);
    EXPECT_EQ(wb.GetPaperSizeNames()[wb.GetPaperSizeIndex()], QStringLiteral("A4"));
    EXPECT_EQ(wb.GetBinNames().size(), 2);
    EXPECT_THROW(wb.SetIndex(2), EWBPrinterRangeError);
}

TEST_F(CupsE2E, WaybillReachesThePrinterAsLaidOut) {
    TWbPrinter& wb = WbPrinter();
    // The feed chosen in the set-up dialog: tractor.
    wb.GetBinNumber();  // the settings block exists from here on
    auto settings = wb.System().currentSettings().value();
    settings.defaultSource = static_cast<std::int16_t>(wb.GetBinNumber() + 1);
    wb.System().applySettings(settings);
    wb.ForceUpdateCapabilities();
    ASSERT_EQ(wb.GetBinNames()[wb.GetBinIndex()], QStringLiteral("トラクタ"));

    const auto items = printWaybill(layout_test::sampleFields());
    const auto jobs = e2e::waitForJobs(1, 10s);
    ASSERT_EQ(jobs.size(), 1u);
    const auto& job = jobs[0];
    EXPECT_EQ(job.queue, QStringLiteral("Wb360"));
    EXPECT_EQ(job.title, QStringLiteral("vamu_Pelican  "));
    const QStringList options = job.options.split(QLatin1Char(' '));
    // CUPS hands a false boolean to the backend as "no<name>".
    for (const char* expected : {"media=Slip", "InputSlot=Tractor", "print-scaling=none", "nofit-to-page"})
        EXPECT_TRUE(options.contains(QString::fromUtf8(expected))) << expected << " in " << job.options.toStdString();

    const auto info = e2e::run(QStringLiteral("pdfinfo"), {job.pdfPath});
    ASSERT_TRUE(info);
    EXPECT_TRUE(info->contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n")))) << info->toStdString();
    EXPECT_TRUE(info->contains(QStringLiteral("612 x 396 pts"))) << info->toStdString();
    const auto fonts = e2e::run(QStringLiteral("pdffonts"), {job.pdfPath});
    ASSERT_TRUE(fonts);
    EXPECT_TRUE(fonts->contains(QStringLiteral("IPAPMincho"))) << fonts->toStdString();
    EXPECT_TRUE(e2e::notEmbedded(*fonts).isEmpty()) << fonts->toStdString();

    // Every text where the layout put it: printable area at (9, 9) pt.
    e2e::expectAtPositions(job.pdfPath, items, 360, QPointF(9, 9));
}

TEST_F(CupsE2E, EmptySchedulerAndUnreachableSchedulerMeanNoPrinter) {
    const QString servers[] = {e2e::emptySocket(), e2e::fixtureDir(nullptr) + QStringLiteral("/nowhere.sock"),
                               QStringLiteral("10.255.255.1:631")};
    for (const QString& server : servers) {
        SCOPED_TRACE(server.toStdString());
        const auto start = std::chrono::steady_clock::now();
        e2e::useScheduler(server);
        try {
            printWaybill(layout_test::sampleFields());
            ADD_FAILURE() << "no error";
        } catch (const EWbPrinterNoPrinter& e) {
            EXPECT_STREQ(e.what(), "TWbPrinter.CheckNoPrinter: No Printer");
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
    }
    e2e::useScheduler(e2e::mainSocket());
    EXPECT_TRUE(e2e::waitForJobs(1, 500ms).empty());
}

// The queue list asked for ahead of the start serves its first list and its
// first printer object; every later asking goes to the scheduler again.
TEST_F(CupsE2E, PrefetchedQueuesServeTheStartOnce) {
    wbprn::prefetchQueues();
    const auto names = [](wbprn::PrinterSystem& system) {
        std::vector<QString> out;
        for (const auto& r : system.enumPrinters()) out.push_back(r.name + (r.attributes ? QStringLiteral("*") : QString()));
        return out;
    };
    const std::vector<QString> atStart{QStringLiteral("Wb203"), QStringLiteral("Wb300Reject*"), QStringLiteral("Wb360")};
    const auto first = wbprn::makeCupsPrinterSystem();
    EXPECT_EQ(names(*first), atStart);
    EXPECT_EQ(first->currentDeviceName(), QStringLiteral("Wb360")) << "the scheduler's default, from the same answer";

    // Wb203 stops accepting jobs (hidden) after the start, and accepts again
    // whatever happens below.
    const auto accepting = [](const char* command) {
        return e2e::run(QString::fromLatin1(command), {QStringLiteral("-h"), e2e::mainSocket(), QStringLiteral("Wb203")});
    };
    ASSERT_TRUE(accepting("cupsreject"));
    const std::shared_ptr<void> reaccept(nullptr, [&](void*) { accepting("cupsaccept"); });
    const auto later = wbprn::makeCupsPrinterSystem();
    const std::vector<QString> now{QStringLiteral("Wb203*"), QStringLiteral("Wb300Reject*"), QStringLiteral("Wb360")};
    EXPECT_EQ(names(*later), now);
    later->discard();
    EXPECT_EQ(later->currentDeviceName(), QStringLiteral("Wb360"));
    EXPECT_EQ(names(*first), now) << "a second list of the same object asks again";
}
