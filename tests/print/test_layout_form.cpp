// SLIP97_Prn: the fields gathered from the main form by name, drawn on the
// printer's canvas of the open document, then a new page.
#include <QApplication>
#include <QTest>
#include <memory>

#include "print/Wb_d97_Dot.h"
#include "print/Wbprn/WbPrinters.h"
#include "print/Wbprn/fake/fake_printer_system.h"
#include "print/core/layout.h"
#include "print/core/recording_surface.h"
#include "print/core/str_to_int.h"
#include "tests/print/layout_test_form.h"

using print::RecordingSurface;

namespace {

wbprn::FakePrinterSystem* installFakePrinter() {
    auto fake = std::make_unique<wbprn::FakePrinterSystem>(std::vector<wbprn::FakePrinter>{{QStringLiteral("Fake360")}});
    auto* raw = fake.get();
    WbPrinter().ResetSystem(std::move(fake));
    return raw;
}

}  // namespace

class TestLayoutForm : public QObject {
    Q_OBJECT
private slots:
    void gathersEveryFieldByName() {
        std::unique_ptr<QWidget> form(layout_test::makeForm());
        const auto want = layout_test::sampleFields();
        layout_test::fill(form.get(), want);
        QCOMPARE(gatherWaybillFields(*form) == want, true);

        // Unchecked boxes and empty captions come through as such.
        auto other = want;
        other.printDate = other.printSender = false;
        other.timeBand = {};
        other.special = {true, false, false, false, true};
        other.prnTop.clear();
        layout_test::fill(form.get(), other);
        QCOMPARE(gatherWaybillFields(*form) == other, true);
    }

    // Given the form, or finding the top-level "Form_Main" by itself.
    void drawsTheLayoutOnItsPage_data() {
        QTest::addColumn<bool>("formGiven");
        QTest::newRow("form given") << true;
        QTest::newRow("top-level form found by name") << false;
    }
    void drawsTheLayoutOnItsPage() {
        QFETCH(bool, formGiven);
        auto* fake = installFakePrinter();
        std::unique_ptr<QWidget> form(layout_test::makeForm());
        const auto fields = layout_test::sampleFields();
        layout_test::fill(form.get(), fields);
        TWb_d97_Dot dot;
        if (formGiven) dot.setMainForm(form.get());

        WbPrinter().BeginDoc(QStringLiteral("t"));
        dot.SLIP97_Prn();
        WbPrinter().EndDoc();

        RecordingSurface expected;
        print::layoutWaybill(fields, expected);
        QCOMPARE(fake->documents.size(), std::size_t{1});
        const auto& pages = fake->documents[0].pages;
        QCOMPARE(pages.size(), std::size_t{1});  // no empty page after it
        QCOMPARE(pages[0] == expected.calls, true);
        QVERIFY(!dot.isVisible());
    }

    void badMarginDrawsNothingAndStartsNoPage() {
        auto* fake = installFakePrinter();
        std::unique_ptr<QWidget> form(layout_test::makeForm());
        auto fields = layout_test::sampleFields();
        fields.prnTop = "Top";
        layout_test::fill(form.get(), fields);
        TWb_d97_Dot dot;
        dot.setMainForm(form.get());
        WbPrinter().BeginDoc(QStringLiteral("t"));
        QVERIFY_THROWS_EXCEPTION(print::ConvertError, dot.SLIP97_Prn());
        WbPrinter().Abort();
        QCOMPARE(fake->documents.at(0).pages.size(), std::size_t{0});
        QCOMPARE(fake->documents.at(0).aborted, true);
    }

    void missingControlIsNamed() {
        std::unique_ptr<QWidget> form(layout_test::makeForm());
        delete form->findChild<QWidget*>(QStringLiteral("Edit_G2"));
        try {
            gatherWaybillFields(*form);
            QFAIL("no error");
        } catch (const std::logic_error& e) {
            QVERIFY(QString::fromUtf8(e.what()).contains(QStringLiteral("Edit_G2")));
        }
    }
};

QTEST_MAIN(TestLayoutForm)
#include "test_layout_form.moc"
