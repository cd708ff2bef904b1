// The print command on the real main window with a scripted printer: the
// question, the effective resolution in the labels, one one-page document
// per command, abort on a drawing error, and the command-line layout
// drawing exactly what the program sends to the printer.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTest>
#include <memory>

#include "app/main_form/app_windows.h"
#include "print/Wb_d97_Dot.h"
#include "print/Wbprn/WbPrinters.h"
#include "print/Wbprn/fake/fake_printer_system.h"
#include "print/core/layout.h"
#include "print/core/recording_surface.h"
#include "tests/app/test_form_fixture.h"
#include "tests/print/layout_test_form.h"
#include "tests/support/cli_run.h"

using print::RecordingSurface;

namespace {

const QString kTitle = QStringLiteral("vamu_Pelican  ");

struct Printer {
    int dpiX = 360, dpiY = 360;
    int scale = 100;        // reported through the settings block's scale field
    bool installed = true;
};

std::vector<wbprn::FakePrinter> printers(const Printer& p) {
    std::vector<wbprn::FakePrinter> list;
    if (p.installed) {
        wbprn::FakePrinter fp;
        fp.name = QStringLiteral("Fake");
        fp.dpi = {p.dpiX, p.dpiY};
        fp.defaults.fields |= wbprn::kFieldScale;
        fp.defaults.scale = static_cast<std::int16_t>(p.scale);
        list.push_back(fp);
    }
    return list;
}

// The form and the hidden layout window, as main() creates them.
struct PrintFixture {
    ShownForm shown;
    wbprn::FakePrinterSystem* printer;
    TWb_d97_Dot dot;

    explicit PrintFixture(const Printer& p = {})
        : shown(printers(p)), printer(dynamic_cast<wbprn::FakePrinterSystem*>(&WbPrinter().System())) {
        Form_Main = shown.form.get();
        Wb_d97_Dot = &dot;
    }
    ~PrintFixture() {
        Form_Main = nullptr;
        Wb_d97_Dot = nullptr;
    }
    TForm_Main& form() { return *shown.form; }
    QString label(const char* name) { return form().findChild<QLabel*>(QLatin1String(name))->text(); }
    // Presses F11 answering the question; only what this press shows is kept
    // (showing the form may already have reported a missing sender file).
    void press(bool yes) {
        shown.boxes.errors.clear();
        shown.boxes.questions.clear();
        shown.boxes.answer(yes);
        form().SpeedButton_F11Click();
    }
    // What the layout draws for the form's present fields.
    std::vector<RecordingSurface::Call> expectedPage() {
        RecordingSurface s;
        print::layoutWaybill(gatherWaybillFields(form()), s);
        return s.calls;
    }
};

// The JSON the command-line tool reads for a field value.
QByteArray toJson(const print::WaybillFields& f) {
    auto s = [](const std::string& sj) { return QJsonValue(sjis::toQString(sj)); };
    auto bools = [](const auto& a) {
        QJsonArray out;
        for (bool b : a) out.append(b);
        return out;
    };
    QJsonObject o{{QStringLiteral("zip"), s(f.zip)}, {QStringLiteral("add1"), s(f.add1)},
                  {QStringLiteral("add2"), s(f.add2)}, {QStringLiteral("name"), s(f.custo1)},
                  {QStringLiteral("tel"), s(f.tel)}, {QStringLiteral("g1"), s(f.g1)},
                  {QStringLiteral("g2"), s(f.g2)}, {QStringLiteral("g3"), s(f.g3)},
                  {QStringLiteral("date"), s(f.date)}, {QStringLiteral("print_date"), f.printDate},
                  {QStringLiteral("de1"), s(f.deDate1)}, {QStringLiteral("de2"), s(f.deDate2)},
                  {QStringLiteral("de3"), s(f.deDate3)}, {QStringLiteral("print_sender"), f.printSender},
                  {QStringLiteral("my_zip"), s(f.myZip)}, {QStringLiteral("my_add1"), s(f.myAdd1)},
                  {QStringLiteral("my_add2"), s(f.myAdd2)}, {QStringLiteral("my_name"), s(f.my)},
                  {QStringLiteral("my_tel"), s(f.myTel)}, {QStringLiteral("time_band"), bools(f.timeBand)},
                  {QStringLiteral("special"), bools(f.special)}, {QStringLiteral("dpix"), s(f.dpix)},
                  {QStringLiteral("dpiy"), s(f.dpiy)}, {QStringLiteral("top"), s(f.prnTop)},
                  {QStringLiteral("left"), s(f.prnLeft)}};
    return QJsonDocument(o).toJson();
}

}  // namespace

class TestLayoutPrint : public QObject {
    Q_OBJECT
private slots:
    void noLeavesEverythingAndFocusesGoodsLine() {
        PrintFixture fx;
        fx.form().findChild<QLineEdit*>(QStringLiteral("Edit_Zip"))->setFocus();
        const QString before = fx.label("Label_dpix");
        fx.press(false);
        QCOMPARE(fx.shown.boxes.questions, QStringList{QStringLiteral("印刷しますか?")});
        QTRY_COMPARE(fx.shown.focusedName(), QStringLiteral("Edit_G1"));
        QCOMPARE(fx.printer->documents.size(), std::size_t{0});
        QCOMPARE(fx.label("Label_dpix"), before);
    }

    void yesPrintsOneOnePageDocumentAtTheEffectiveResolution_data() {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("scale");
        QTest::addColumn<QString>("effective");
        QTest::newRow("360 at 100") << 360 << 100 << QStringLiteral("360");
        QTest::newRow("600 at 50") << 600 << 50 << QStringLiteral("1200");
        QTest::newRow("203 at 99 truncates") << 203 << 99 << QStringLiteral("205");
        QTest::newRow("scale read unsigned") << 300 << 65535 << QStringLiteral("0");  // -1 as 16-bit
    }
    void yesPrintsOneOnePageDocumentAtTheEffectiveResolution() {
        QFETCH(int, dpi);
        QFETCH(int, scale);
        QFETCH(QString, effective);
        PrintFixture fx({dpi, dpi, scale});
        layout_test::fill(&fx.form(), layout_test::sampleFields());
        fx.press(true);
        QCOMPARE(fx.shown.boxes.errors, QStringList{});
        QCOMPARE(fx.label("Label_dpix"), effective);
        QCOMPARE(fx.label("Label_dpiy"), effective);
        QCOMPARE(fx.printer->documents.size(), std::size_t{1});
        const auto& doc = fx.printer->documents[0];
        QCOMPARE(doc.title, kTitle);
        QVERIFY(doc.ended && !doc.aborted);
        QCOMPARE(doc.pages.size(), std::size_t{1});  // no empty page after the waybill
        QCOMPARE(doc.pages[0] == fx.expectedPage(), true);
        QVERIFY(!doc.pages[0].empty());
    }

    void emptyFormStillPrintsTheShippingDate() {
        PrintFixture fx;
        print::WaybillFields f;  // all empty, date and sender boxes checked
        f.date = "2026/12/07";
        layout_test::fill(&fx.form(), f);
        fx.press(true);
        const auto& page = fx.printer->documents.at(0).pages.at(0);
        QCOMPARE(page.size(), std::size_t{3});
        QCOMPARE(page[0].text, std::string("26"));
        QCOMPARE(page[1].text, std::string("12"));
        QCOMPARE(page[2].text, std::string("07"));
    }

    void failuresAreReportedAndLeaveNoJob_data() {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<int>("scale");
        QTest::addColumn<QString>("top");
        QTest::addColumn<QString>("error");
        QTest::addColumn<bool>("labelsWritten");
        QTest::addColumn<bool>("aborted");
        QTest::newRow("no printer") << false << 100 << QString() << QStringLiteral("TWbPrinter.CheckNoPrinter: No Printer.")
                                    << false << false;
        QTest::newRow("scale 0") << true << 0 << QString() << QStringLiteral("Division by zero.") << false << false;
        QTest::newRow("margin Top") << true << 100 << QStringLiteral("Top")
                                    << QStringLiteral("'Top' is not a valid integer value.") << true << true;
    }
    void failuresAreReportedAndLeaveNoJob() {
        QFETCH(bool, installed);
        QFETCH(int, scale);
        QFETCH(QString, top);
        QFETCH(QString, error);
        QFETCH(bool, labelsWritten);
        QFETCH(bool, aborted);
        PrintFixture fx({360, 360, scale, installed});
        layout_test::fill(&fx.form(), layout_test::sampleFields());
        fx.form().findChild<QLabel*>(QStringLiteral("Label_dpix"))->setText(QStringLiteral("old"));
        fx.form().findChild<QLabel*>(QStringLiteral("Label_Prn_Top"))->setText(top);
        fx.press(true);
        QCOMPARE(fx.shown.boxes.errors, QStringList{error});
        QCOMPARE(fx.label("Label_dpix"), labelsWritten ? QStringLiteral("360") : QStringLiteral("old"));
        int ended = 0;
        for (const auto& d : fx.printer->documents) ended += d.ended;
        QCOMPARE(ended, 0);
        QCOMPARE(fx.printer->documents.size(), std::size_t{aborted ? 1u : 0u});
        if (aborted) QVERIFY(fx.printer->documents[0].aborted);
        // The fields are as they were.
        QCOMPARE(gatherWaybillFields(fx.form()).zip, std::string("123-4567"));
    }

    void twoPrintsGiveTwoDocuments() {
        PrintFixture fx;
        layout_test::fill(&fx.form(), layout_test::sampleFields());
        fx.press(true);
        fx.press(true);
        QCOMPARE(fx.printer->documents.size(), std::size_t{2});
        for (const auto& d : fx.printer->documents) {
            QCOMPARE(d.title, kTitle);
            QCOMPARE(d.pages.size(), std::size_t{1});
            QVERIFY(d.ended);
        }
        QCOMPARE(fx.printer->documents[0].pages == fx.printer->documents[1].pages, true);
    }

    void commandLineLayoutDrawsWhatTheProgramPrints() {
        PrintFixture fx({600, 600, 50});
        auto fields = layout_test::sampleFields();
        fields.special = {true, false, true, true, true};
        layout_test::fill(&fx.form(), fields);
        fx.press(true);
        const auto& page = fx.printer->documents.at(0).pages.at(0);

        fields.dpix = fields.dpiy = "1200";  // what the command wrote for 600 dpi at 50 %
        const CliRun cli = runCli({QStringLiteral("layout")}, toJson(fields));
        QCOMPARE(cli.exitCode, 0);
        const QList<QByteArray> lines = cli.out.split('\n');
        QCOMPARE(lines.size(), static_cast<qsizetype>(page.size() + 1));  // last line ends with \n
        for (std::size_t i = 0; i < page.size(); ++i) {
            const QJsonObject o = QJsonDocument::fromJson(lines[static_cast<qsizetype>(i)]).object();
            QCOMPARE(o.value(QStringLiteral("x")).toInt(), page[i].x);
            QCOMPARE(o.value(QStringLiteral("y")).toInt(), page[i].y);
            QCOMPARE(o.value(QStringLiteral("size")).toInt(), page[i].size);
            QCOMPARE(o.value(QStringLiteral("text")).toString(), sjis::toQString(page[i].text));
        }
    }
};

QTEST_MAIN(TestLayoutPrint)
#include "test_layout_print.moc"
