// The two dialogs on the printer layer: what OK applies, what Cancel keeps.
#include <QComboBox>
#include <QRadioButton>
#include <QtTest>

#include "print/WbPrintDialog.h"
#include "print/WbPrinterSetupDialog.h"
#include "tests/print/test_printer_box_support.h"

using namespace printer_box_test;

class TestWbPrinterDialogs : public QObject {
    Q_OBJECT

    static wbprn::FakePrinter second() {
        auto b = fakePrinter("B");
        b.papers = {2, {13, 70}, {"B5", "A6"}};
        b.bins = {0, {}, {}};
        b.defaults = {wbprn::kFieldPaperSize | wbprn::kFieldDefaultSource, 70, 100, 0, 1, 1};
        return b;
    }

    // Runs a dialog with a scripted choice; returns Execute's result.
    template <class Dialog>
    static bool run(std::function<bool(WbPrinterSetupWindow&)> choice) {
        Dialog::runner() = std::move(choice);
        Dialog dialog;
        const bool result = dialog.Execute();
        Dialog::runner() = nullptr;
        return result;
    }

private slots:
    void opensOnTheCurrentPrinterAndItsSettings() {
        usePrinters({fakePrinter("A"), second()});
        WbPrinter().SetIndex(0);
        auto s = WbPrinter().System().currentSettings().value();
        s.paperSize = 8;
        s.orientation = 2;
        WbPrinter().System().applySettings(s);
        QStringList seen;
        bool landscape = false, binsEnabled = true;
        int otherPapers = 0;
        run<TWbPrinterSetupDialog>([&](WbPrinterSetupWindow& w) {
            seen << w.ComboBox_Printer->currentText() << w.ComboBox_Paper->currentText()
                 << w.ComboBox_Bin->currentText();
            landscape = w.RadioButton_Landscape->isChecked();
            // Choosing another printer shows its lists; one without bins disables the line.
            w.ComboBox_Printer->setCurrentIndex(1);
            otherPapers = w.ComboBox_Paper->count();
            binsEnabled = w.ComboBox_Bin->isEnabled();
            return false;
        });
        QCOMPARE(seen, QStringList({QStringLiteral("A"), QStringLiteral("A3"), QStringLiteral("手差し")}));
        QVERIFY(landscape);
        QCOMPARE(otherPapers, 2);
        QVERIFY(!binsEnabled);
    }

    void okAppliesTheChoiceCancelKeepsEverything() {
        for (bool confirm : {false, true}) {
            usePrinters({fakePrinter("A"), second()});
            WbPrinter().SetIndex(0);
            WbPrinter().GetPaperSizeNames();  // cache loaded for A
            const bool result = run<TWbPrinterSetupDialog>([&](WbPrinterSetupWindow& w) {
                w.ComboBox_Printer->setCurrentIndex(1);
                w.ComboBox_Paper->setCurrentIndex(1);
                w.RadioButton_Landscape->setChecked(true);
                return confirm;
            });
            QCOMPARE(result, confirm);
            TWbPrinter& wb = WbPrinter();
            if (!confirm) {
                QCOMPARE(wb.GetIndex(), 0);
                QCOMPARE(wb.GetPaperSizeNames().size(), 4);  // A's list, with its continuous form page
                continue;
            }
            QCOMPARE(wb.GetIndex(), 1);
            QCOMPARE(wb.GetPaperSizeNames(), QStringList({QStringLiteral("B5"), QStringLiteral("A6")}));
            QCOMPARE(wb.GetPaperSizeIndex(), 1);
            QCOMPARE(wb.System().currentSettings()->orientation, std::int16_t{2});
            // Without bin information the bin line reports it, as the box shows.
            QVERIFY_THROWS_EXCEPTION(EWbPrinterNoInfo, wb.GetBinNames());
        }
    }

    void printDialogRefreshesTheCacheToo() {
        usePrinters({fakePrinter("A")});
        WbPrinter().SetIndex(0);
        QCOMPARE(WbPrinter().GetPaperSizeIndex(), 0);
        QString title;
        QVERIFY(run<TWbPrintDialog>([&](WbPrinterSetupWindow& w) {
            title = w.windowTitle();
            w.ComboBox_Paper->setCurrentIndex(2);
            w.ComboBox_Bin->setCurrentIndex(1);
            return true;
        }));
        QCOMPARE(title, QStringLiteral("印刷"));
        QCOMPARE(WbPrinter().GetPaperSizeIndex(), 2);
        QCOMPARE(WbPrinter().GetBinIndex(), 1);
    }
};

QTEST_MAIN(TestWbPrinterDialogs)
#include "test_wbprn_dialogs.moc"
