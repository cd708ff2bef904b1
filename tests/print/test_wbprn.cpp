// The printer access layer over the scripted printing system.
#include <gtest/gtest.h>

#include <functional>

#include "tests/print/test_wbprn_fake_support.h"

using namespace wbprn_test;
using wbprn::FakePrinter;

namespace {

template <class E>
std::string messageOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const E& e) {
        return e.what();
    } catch (const std::exception& e) {
        return std::string("wrong exception: ") + e.what();
    }
    return "no exception";
}

std::vector<QString> names(const QStringList& l) { return {l.begin(), l.end()}; }

}  // namespace

TEST(WbPrinterNoPrinter, EveryGuardedOperationRaisesAndPortsStillWork) {
    for (bool allHidden : {false, true}) {
        SCOPED_TRACE(allHidden ? "all hidden" : "none installed");
        std::vector<FakePrinter> list;
        if (allHidden) list = {printer("A", true), printer("B", true)};
        Rig rig(list);
        rig.fake->ports = {QStringLiteral("usb://x")};
        TWbPrinter& wb = *rig.wb;
        const std::vector<std::pair<const char*, std::function<void()>>> ops{
            {"CheckNoPrinter", [&] { wb.CheckNoPrinter(); }},
            {"GetIndex", [&] { wb.GetIndex(); }},
            {"SetIndex", [&] { wb.SetIndex(0); }},
            {"SetIndex(-5)", [&] { wb.SetIndex(-5); }},
            {"PrinterNames", [&] { wb.PrinterNames(); }},
            {"GetPaperSizeNumber", [&] { wb.GetPaperSizeNumber(); }},
            {"GetPaperSizeNames", [&] { wb.GetPaperSizeNames(); }},
            {"GetPaperSizeIndex", [&] { wb.GetPaperSizeIndex(); }},
            {"GetBinNumber", [&] { wb.GetBinNumber(); }},
            {"GetBinNames", [&] { wb.GetBinNames(); }},
            {"GetBinIndex", [&] { wb.GetBinIndex(); }},
            {"Dpi", [&] { wb.Dpi(); }},
            {"Scale", [&] { wb.Scale(); }},
        };
        for (const auto& [name, op] : ops)
            EXPECT_EQ(messageOf<EWbPrinterNoPrinter>(op), "TWbPrinter.CheckNoPrinter: No Printer") << name;
        EXPECT_EQ(names(wb.PortNames()), std::vector<QString>{QStringLiteral("usb://x")});
        // The no-printer error is an EWbPrinter, so callers can catch them all.
        EXPECT_THROW(wb.CheckNoPrinter(), EWbPrinter);
    }
}

TEST(WbPrinterIndex, HiddenPrintersAreSkippedInUsableIndices) {
    Rig rig({printer("A"), printer("B", true), printer("C")}, /*default*/ 2);
    TWbPrinter& wb = *rig.wb;
    EXPECT_EQ(wb.GetIndex(), 1);
    EXPECT_EQ(names(wb.PrinterNames()), (std::vector<QString>{QStringLiteral("A"), QStringLiteral("C")}));

    wb.SetIndex(0);
    EXPECT_EQ(rig.fake->currentIndex(), 0);
    EXPECT_EQ(wb.GetIndex(), 0);
    wb.SetIndex(1);
    EXPECT_EQ(rig.fake->currentIndex(), 2);  // C, behind the hidden B
    EXPECT_EQ(wb.GetIndex(), 1);

    for (int bad : {2, 3, -2, -100}) {
        EXPECT_EQ(messageOf<EWBPrinterRangeError>([&] { wb.SetIndex(bad); }),
                  "TWbPrinter.SetIndex: Index is out of Range")
            << bad;
        EXPECT_EQ(rig.fake->currentIndex(), 2) << "a refused index changes nothing";
    }
}

TEST(WbPrinterIndex, HiddenCurrentPrinterIsIllegal) {
    Rig rig({printer("A"), printer("B", true), printer("C")}, /*default*/ 1);
    const std::string msg = "TWbPrinter.GetIndex: Printers.PrinterIndex is Illegal";
    EXPECT_EQ(messageOf<EWbPrinterIllegalIndex>([&] { rig.wb->GetIndex(); }), msg);
    EXPECT_EQ(messageOf<EWbPrinterIllegalIndex>([&] { rig.wb->SetIndex(0); }), msg);
}

TEST(WbPrinterIndex, MinusOneSelectsTheDefaultPrinter) {
    Rig rig({printer("A"), printer("B"), printer("C")}, /*default*/ 2);
    rig.wb->SetIndex(0);
    ASSERT_EQ(rig.wb->GetIndex(), 0);
    rig.wb->SetIndex(-1);
    EXPECT_EQ(rig.wb->GetIndex(), 2);
}

TEST(WbPrinterIndex, SameIndexKeepsSettingsAnotherStartsFromDefaults) {
    Rig rig({printer("A"), printer("B")});
    TWbPrinter& wb = *rig.wb;
    ASSERT_EQ(wb.GetPaperSizeNumber(), 9);
    // A paper and bin chosen in the set-up dialog.
    auto chosen = *rig.fake->currentSettings();
    chosen.paperSize = 8;
    chosen.defaultSource = 256;
    rig.fake->applySettings(chosen);
    wb.ForceUpdateCapabilities();

    wb.SetIndex(0);  // the current printer: nothing changes
    EXPECT_EQ(wb.GetPaperSizeNumber(), 8);
    EXPECT_EQ(wb.GetPaperSizeIndex(), 1);
    EXPECT_EQ(wb.GetBinIndex(), 0);

    wb.SetIndex(1);
    wb.SetIndex(0);  // back again: the driver's defaults
    EXPECT_EQ(wb.GetPaperSizeNumber(), 9);
    EXPECT_EQ(wb.GetBinNumber(), 257);
}

TEST(WbPrinterIndex, DeviceNameMissingFromSnapshotIsAnAssertionFault) {
    Rig rig({printer("A"), printer("B")});
    // The system renamed its printer, but the object was rebuilt without the
    // layer seeing a new snapshot.
    rig.fake->printers[0].name = QStringLiteral("A2");
    rig.fake->discard();
    EXPECT_EQ(messageOf<EWbAssertionFailed>([&] { rig.wb->GetIndex(); }), "Assertion failure");
    EXPECT_EQ(messageOf<EWbAssertionFailed>([&] { rig.wb->SetIndex(1); }), "Assertion failure");
    EXPECT_EQ(rig.fake->currentIndex(), 0) << "a failed GetIndex changes nothing";
}

TEST(WbPrinterSettings, BrokenOrLateSettingsBlock) {
    {
        auto p = printer("A");
        p.defaults.size = 0;
        Rig rig({p});
        EXPECT_EQ(messageOf<EWbAssertionFailed>([&] { rig.wb->Scale(); }), "Assertion failure");
    }
    {
        // The system object creates the block only when its index is written.
        Rig rig({printer("A")});
        rig.fake->settingsCreatedLazily = true;
        rig.fake->discard();
        EXPECT_EQ(rig.wb->GetPaperSizeNumber(), 9);
    }
}

TEST(WbPrinterCapabilities, PaperScanTakesFirstMatchBinScanTakesLast) {
    auto p = printer("A");
    p.papers = {4, {9, 8, 9, 65535}, {"A4", "A3", "A4 again", "odd"}};
    p.bins = {4, {256, 257, 256, 258}, {"1", "2", "1 again", "3"}};
    p.defaults = {wbprn::kFieldPaperSize | wbprn::kFieldDefaultSource, 9, 100, 256, 1, 1};
    Rig rig({p});
    EXPECT_EQ(rig.wb->GetPaperSizeIndex(), 0);
    EXPECT_EQ(rig.wb->GetBinIndex(), 2);
}

TEST(WbPrinterCapabilities, CodesNotInTheListRaise) {
    struct Case {
        std::int16_t paper, bin;
    };
    // -1 sign-extends and never matches the unsigned 65535 entry.
    for (Case c : {Case{-1, -1}, Case{70, 300}}) {
        auto p = printer("A");
        p.papers = {2, {9, 65535}, {"A4", "odd"}};
        p.bins = {2, {256, 65535}, {"1", "odd"}};
        p.defaults = {wbprn::kFieldPaperSize | wbprn::kFieldDefaultSource, c.paper, 100, c.bin, 1, 1};
        Rig rig({p});
        EXPECT_EQ(rig.wb->GetPaperSizeNumber(), c.paper);
        EXPECT_EQ(messageOf<EWBPrinterPaperSizeError>([&] { rig.wb->GetPaperSizeIndex(); }),
                  "TWbPrinter.GetPaperSizeIndex: Cannot Get Paper Index");
        EXPECT_EQ(messageOf<EWbPrinterBinError>([&] { rig.wb->GetBinIndex(); }),
                  "TWbPrinter.GetBinIndex: Cannot Get Bin Index");
    }
}

TEST(WbPrinterCapabilities, NoListInformation) {
    for (int count : {0, -1}) {
        SCOPED_TRACE(count);
        auto p = printer("A");
        p.papers = {count, {}, {}};
        p.bins = {count, {}, {}};
        Rig rig({p});
        TWbPrinter& wb = *rig.wb;
        EXPECT_EQ(messageOf<EWbPrinterNoInfo>([&] { wb.GetPaperSizeNames(); }),
                  "TWbPrinter.GetPaperSizeNames: No Papersize Info Available");
        EXPECT_EQ(messageOf<EWbPrinterNoInfo>([&] { wb.GetPaperSizeIndex(); }),
                  "TWbPrinter.GetPaperSizeIndex: No Papersize Info Available");
        EXPECT_EQ(messageOf<EWbPrinterNoInfo>([&] { wb.GetBinNames(); }),
                  "TWbPrinter.GetBinNames: No Bin Info Available");
        EXPECT_EQ(messageOf<EWbPrinterNoInfo>([&] { wb.GetBinIndex(); }),
                  "TWbPrinter.GetBinIndex: No Bin Info Available");
    }
}

TEST(WbPrinterCapabilities, UnsupportedFieldsComeBeforeMissingLists) {
    auto p = printer("A");
    p.papers = {0, {}, {}};
    p.bins = {-1, {}, {}};
    p.defaults.fields = 0;
    Rig rig({p});
    TWbPrinter& wb = *rig.wb;
    const std::vector<std::pair<std::string, std::function<void()>>> cases{
        {"TWbPrinter.GetPaperSizeNumber: PaperSize is not Supported", [&] { wb.GetPaperSizeNumber(); }},
        {"TWbPrinter.GetPaperSizeNames: PaperSize is not Supported", [&] { wb.GetPaperSizeNames(); }},
        {"TWbPrinter.GetPaperSizeIndex: PaperSize is not Supported", [&] { wb.GetPaperSizeIndex(); }},
        {"TWbPrinter.GetBinNumber: Bin is not Supported", [&] { wb.GetBinNumber(); }},
        {"TWbPrinter.GetBinNames: Bin is not Supported", [&] { wb.GetBinNames(); }},
        {"TWbPrinter.GetBinIndex: Bin is not Supported", [&] { wb.GetBinIndex(); }},
    };
    for (const auto& [msg, op] : cases) EXPECT_EQ(messageOf<EWbPrinterNotSupported>(op), msg);
}

TEST(WbPrinterCapabilities, NamesEndAtZeroByteOrSlotWidth) {
    const std::string full64(64, 'x');
    auto p = printer("A");
    p.papers = {3, {9, 8, 11}, {full64, full64 + "yz", std::string("A4\0junk", 7)}};
    p.bins = {2, {256, 257}, {std::string(24, 'b'), std::string(30, 'c')}};
    Rig rig({p});
    const QStringList papers = rig.wb->GetPaperSizeNames();
    ASSERT_EQ(papers.size(), 3);
    EXPECT_EQ(papers[0], QString(64, QLatin1Char('x')));
    EXPECT_EQ(papers[1], QString(64, QLatin1Char('x')));
    EXPECT_EQ(papers[2], QStringLiteral("A4"));
    const QStringList bins = rig.wb->GetBinNames();
    EXPECT_EQ(bins[0], QString(24, QLatin1Char('b')));
    EXPECT_EQ(bins[1], QString(24, QLatin1Char('c')));
}

TEST(WbPrinterCapabilities, ListsAreCachedPerPrinter) {
    auto b = printer("B");
    b.papers = {1, {13}, {"B5"}};
    b.defaults.paperSize = 13;
    Rig rig({printer("A"), b});
    TWbPrinter& wb = *rig.wb;
    wb.GetPaperSizeNames();
    const int loaded = rig.fake->capabilityCalls;
    wb.GetPaperSizeNames();
    wb.GetPaperSizeIndex();
    wb.GetBinNames();
    wb.GetBinIndex();
    EXPECT_EQ(rig.fake->capabilityCalls, loaded) << "same printer: no driver calls";

    wb.SetIndex(1);
    EXPECT_EQ(names(wb.GetPaperSizeNames()), std::vector<QString>{QStringLiteral("B5")});
    EXPECT_EQ(wb.GetPaperSizeIndex(), 0);
    EXPECT_GT(rig.fake->capabilityCalls, loaded);
}

TEST(WbPrinterDevice, ScaleAndResolution) {
    struct Case {
        std::uint32_t fields;
        std::int16_t scale;
        std::uint16_t expected;
    };
    for (Case c : {Case{0, 50, 100}, Case{wbprn::kFieldScale, 50, 50}, Case{wbprn::kFieldScale, 0, 0},
                   Case{wbprn::kFieldScale, -1, 65535}}) {
        auto p = printer("A");
        p.defaults.fields = c.fields;
        p.defaults.scale = c.scale;
        p.dpi = {600, 300};
        Rig rig({p});
        EXPECT_EQ(rig.wb->Scale(), c.expected) << c.fields << " " << c.scale;
        EXPECT_EQ(rig.wb->Dpi().x, 600);
        EXPECT_EQ(rig.wb->Dpi().y, 300);
    }
}

TEST(WbPrinterPorts, DuplicatesIgnoringCaseAppearOnce) {
    Rig rig({printer("A")});
    rig.fake->ports = {QStringLiteral("USB001"), QStringLiteral("LPT1:"), QStringLiteral("usb001"),
                       QStringLiteral("lpt1:"), QStringLiteral("FILE:")};
    EXPECT_EQ(names(rig.wb->PortNames()),
              (std::vector<QString>{QStringLiteral("USB001"), QStringLiteral("LPT1:"), QStringLiteral("FILE:")}));
}

TEST(WbPrinterWatch, PrinterAddedIsNoticed) {
    Rig rig({printer("B"), printer("C")}, /*default*/ 1);
    TWbPrinter& wb = *rig.wb;
    int fired = 0;
    wb.OnChange = [&](TWbPrinter* sender) {
        EXPECT_EQ(sender, &wb);
        ++fired;
    };
    ASSERT_EQ(wb.GetIndex(), 1);
    wb.GetPaperSizeNames();
    const int loaded = rig.fake->capabilityCalls;

    wb.WindowHook();  // nothing changed
    EXPECT_EQ(fired, 0);

    rig.fake->printers.insert(rig.fake->printers.begin(), printer("A"));
    wb.WindowHook();
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(rig.fake->discards, 1);
    EXPECT_EQ(wb.Snapshot().Count(), 3);
    // The object was rebuilt; its current printer is counted in the new list.
    EXPECT_EQ(names(wb.PrinterNames()),
              (std::vector<QString>{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
    EXPECT_EQ(wb.GetIndex(), 1);
    wb.GetPaperSizeNames();
    EXPECT_GT(rig.fake->capabilityCalls, loaded) << "cache dropped";

    rig.fake->printers[2].hidden = true;  // an attribute change is a change too
    wb.WindowHook();
    EXPECT_EQ(fired, 2);
}

TEST(WbPrinterWatch, PortChangeFiresOnce) {
    Rig rig({printer("A")});
    int fired = 0;
    rig.wb->OnChange = [&](TWbPrinter*) { ++fired; };
    rig.fake->ports = {QStringLiteral("a"), QStringLiteral("b")};
    rig.wb->PortNames();
    rig.wb->WindowHook();
    EXPECT_EQ(fired, 0);
    rig.fake->ports = {QStringLiteral("a"), QStringLiteral("c")};
    rig.wb->WindowHook();
    EXPECT_EQ(fired, 1);
    rig.fake->ports = {QStringLiteral("a")};
    rig.wb->WindowHook();
    EXPECT_EQ(fired, 2);
}

TEST(WbPrinterSnapshot, IsSameComparesNamesAndAttributes) {
    wbprn::FakePrinterSystem a({printer("A"), printer("B")}), b({printer("A"), printer("B")});
    wbprn::FakePrinterSystem c({printer("A"), printer("B", true)}), d({printer("A"), printer("b")});
    wbprn::FakePrinterSystem none1, none2;
    EXPECT_TRUE(TWbAllPrintersInfo(a).IsSame(TWbAllPrintersInfo(b)));
    EXPECT_FALSE(TWbAllPrintersInfo(a).IsSame(TWbAllPrintersInfo(c)));
    EXPECT_FALSE(TWbAllPrintersInfo(a).IsSame(TWbAllPrintersInfo(d)));
    EXPECT_TRUE(TWbAllPrintersInfo(none1).IsSame(TWbAllPrintersInfo(none2)));
}

TEST(WbPrinterDocuments, PagesTitleAndAbortAreRecorded) {
    Rig rig({printer("A")});
    TWbPrinter& wb = *rig.wb;
    wb.BeginDoc(QStringLiteral("vamu_Pelican  "));
    wb.Canvas().setFontSize(12);
    wb.Canvas().textOut(10, 20, "abc");
    wb.NewPage();
    wb.EndDoc();
    wb.BeginDoc(QStringLiteral("second"));
    wb.Canvas().textOut(1, 2, "x");
    wb.Abort();
    ASSERT_EQ(rig.fake->documents.size(), 2u);
    const auto& d = rig.fake->documents[0];
    EXPECT_EQ(d.title, QStringLiteral("vamu_Pelican  "));
    ASSERT_EQ(d.pages.size(), 2u);
    ASSERT_EQ(d.pages[0].size(), 1u);
    EXPECT_EQ(d.pages[0][0].x, 10);
    EXPECT_EQ(d.pages[0][0].size, 12);
    EXPECT_TRUE(d.pages[1].empty());
    EXPECT_TRUE(d.ended);
    EXPECT_TRUE(rig.fake->documents[1].aborted);
    EXPECT_FALSE(rig.fake->documents[1].ended);
}
