// The printer box of the main window: feed-mode records, the printer,
// paper and bin lines, and registration, over the scripted printers.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <functional>

#include "app/main_form/app_windows.h"
#include "controls/TNumEdit.h"
#include "print/Form_SLIP97YPrn.h"
#include "print/WbPrinterSetupDialog.h"
#include "print/Wb_d97_Dot.h"
#include "print/printer_file.h"
#include "tests/print/test_printer_box_support.h"

using namespace printer_box_test;

namespace {
const QString kNoFormPage = QStringLiteral("このプリンタは4インチの連続用紙を選べません");

// Calls `seen` whenever `watched` gets an event of type `type`.
class EventWatch final : public QObject {
public:
    EventWatch(QObject* watched, QEvent::Type type, std::function<void()> seen)
        : type_(type), seen_(std::move(seen)) {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == type_) seen_();
        return false;
    }

private:
    QEvent::Type type_;
    std::function<void()> seen_;
};
}  // namespace

class TestPrinterBox : public QObject {
    Q_OBJECT

    // Errors other than the missing sender file of a fresh folder.
    static QStringList printerErrors(const BoxForm& f) {
        QStringList e = f.boxes.errors;
        e.removeAll(QStringLiteral("File not found."));
        return e;
    }

    static void selectFeed(BoxForm& f, int i) {
        f.form->ComboBox_SEL->setCurrentIndex(i);
        emit f.form->ComboBox_SEL->activated(i);  // as the user's choice
    }

    LayoutWindow layout_;

private slots:
    void initTestCase() { layout_.open(); }
    void cleanupTestCase() { layout_.close(); }
    void init() { TWbPrinterSetupDialog::runner() = nullptr; }

    void controlsOfTheBox() {
        BoxForm f({fakePrinter("A")});
        struct Want {
            const char* name;
            QRect place;
        };
        for (Want w : {Want{"ComboBox1", {6, 14, 271, 21}}, Want{"ComboBox2", {6, 34, 271, 21}},
                       Want{"ComboBox3", {6, 54, 271, 21}}, Want{"BitBtn_PrnSet2", {6, 104, 74, 22}},
                       Want{"BitBtn_PrnSet", {115, 104, 161, 22}}}) {
            auto* w2 = f.find(QString::fromLatin1(w.name));
            QVERIFY2(w2, w.name);
            QCOMPARE(w2->geometry(), w.place);
            QCOMPARE(w2->focusPolicy(), Qt::NoFocus);
        }
        auto* c1 = f.find<QComboBox>(QStringLiteral("ComboBox1"));
        QVERIFY(c1->isEditable());
        QVERIFY(c1->lineEdit()->isReadOnly());
        QCOMPARE(f.find<QLabel>(QStringLiteral("Label_4"))->text(), QStringLiteral("用紙選択"));
        QCOMPARE(f.find<QPushButton>(QStringLiteral("BitBtn_PrnSet2"))->text(), QStringLiteral("余白調整"));
        QCOMPARE(f.find<QPushButton>(QStringLiteral("BitBtn_PrnSet2"))->toolTip(),
                 QStringLiteral("印刷する用紙の上余白、左余白を調整します"));
        QCOMPARE(f.find<QPushButton>(QStringLiteral("BitBtn_PrnSet"))->text(), QStringLiteral("セットするプリンタを登録"));
        QCOMPARE(f.find<QPushButton>(QStringLiteral("BitBtn_PrnSet"))->toolTip(),
                 QStringLiteral("送り状ごとに使用にするプリンタをセットします"));
    }

    void freshFolderUsesPrinterZeroAndZeroMargins() {
        BoxForm f({fakePrinter("A", true), fakePrinter("B"), fakePrinter("C")}, 2);
        QVERIFY2(printerErrors(f).isEmpty(), qPrintable(printerErrors(f).join(u'|')));
        QCOMPARE(f.form->Label_PrinterIndex->text(), QStringLiteral("0"));
        QCOMPARE(f.form->Label_Prn_Top->text(), QStringLiteral("0"));
        QCOMPARE(f.form->Label_Prn_Left->text(), QStringLiteral("0"));
        QCOMPARE(WbPrinter().GetIndex(), 0);
        QCOMPARE(f.form->ComboBox1->count(), 2);
        QCOMPARE(f.form->ComboBox1->currentText(), QStringLiteral("B"));
        QCOMPARE(f.form->ComboBox2->currentText(), QStringLiteral("A4"));
        QCOMPARE(f.form->ComboBox3->currentText(), QStringLiteral("手差し"));
        QVERIFY2(!QFile::exists(iniPath()), "reading creates no file");
        QCOMPARE(f.form->ComboBox_SEL->currentIndex(), 0);  // the feed list always has a selection
    }

    void switchingFeedModeLoadsTheOtherRecordAtOnce() {
        auto c = fakePrinter("C");
        c.papers = {1, {13}, {"B5"}};
        c.bins = {1, {300}, {"連続紙"}};
        c.defaults.paperSize = 13;
        c.defaults.defaultSource = 300;
        BoxForm f({fakePrinter("A"), fakePrinter("B", true), c}, 0,
                  sj("[連続(４インチ)]\r\nPrnName=C\r\nPrnNoIndex=1\r\nvamPrn_Top=-15\r\nvamPrn_Left=7\r\n"));
        QCOMPARE(f.form->ComboBox1->currentText(), QStringLiteral("A"));

        selectFeed(f, 1);
        QCOMPARE(f.form->Label_PrinterIndex->text(), QStringLiteral("1"));
        QCOMPARE(f.form->Label_Prn_Top->text(), QStringLiteral("-15"));
        QCOMPARE(f.form->Label_Prn_Left->text(), QStringLiteral("7"));
        QCOMPARE(f.form->ComboBox1->currentText(), QStringLiteral("C"));
        // No page one form long on C: the paper line says so.
        QCOMPARE(f.form->ComboBox2->itemText(0), QStringLiteral("B5"));
        QCOMPARE(f.form->ComboBox2->currentText(), kNoFormPage);
        QCOMPARE(f.form->Panel_HelpMess->text(), kNoFormPage);
        QCOMPARE(f.form->ComboBox3->currentText(), QStringLiteral("連続紙"));

        selectFeed(f, 0);
        QCOMPARE(f.form->ComboBox1->currentText(), QStringLiteral("A"));
        QCOMPARE(f.form->Label_Prn_Top->text(), QStringLiteral("0"));
        QCOMPARE(f.form->ComboBox2->currentText(), QStringLiteral("A4"));
        QCOMPARE(f.form->Panel_HelpMess->text(), QString());
    }

    void storedIndexProblems() {
        struct Case {
            const char* stored;
            const char* error;  // empty: none
            int current;
        };
        for (Case c : {Case{"5", "", 0}, Case{"abc", "'abc' is not a valid integer value.", 1},
                       Case{"-7", "", 0}}) {
            BoxForm f({fakePrinter("A"), fakePrinter("B")}, 1);
            f.boxes.errors.clear();
            writeFile(iniPath(), sj("[連続(４インチ)]\r\nPrnNoIndex=") + c.stored + "\r\n");
            const QString boxBefore = f.form->ComboBox1->currentText();
            WbPrinter().SetIndex(1);
            selectFeed(f, 1);
            QCOMPARE(f.form->Label_PrinterIndex->text(), QString::fromLatin1(c.stored));
            if (*c.error) {
                QCOMPARE(f.boxes.errors, QStringList{QString::fromUtf8(c.error)});
            } else {
                QVERIFY2(printerErrors(f).isEmpty(), qPrintable(printerErrors(f).join(u'|')));
                QCOMPARE(f.form->ComboBox1->currentText(), boxBefore);  // not refreshed
            }
            QCOMPARE(WbPrinter().GetIndex(), c.current);
        }
    }

    void printerWithoutPaperOrBinInformation() {
        auto p = fakePrinter("A");
        p.papers = {-1, {}, {}};
        p.defaults.fields = wbprn::kFieldDefaultSource;  // no paper size at all
        BoxForm f({p});
        QVERIFY2(printerErrors(f).isEmpty(), qPrintable(printerErrors(f).join(u'|')));
        QCOMPARE(f.form->ComboBox1->currentText(), QStringLiteral("A"));
        QCOMPARE(f.form->ComboBox2->currentIndex(), -1);
        QCOMPARE(f.form->ComboBox3->currentText(), QStringLiteral("手差し"));
    }

    void noPrinterReportsAndKeepsTheLabels() {
        BoxForm f(std::vector<wbprn::FakePrinter>{});
        QCOMPARE(printerErrors(f), QStringList{QStringLiteral("TWbPrinter.CheckNoPrinter: No Printer.")});
        QCOMPARE(f.form->Label_PrinterIndex->text(), QStringLiteral("0"));
        QCOMPARE(f.form->Label_Prn_Top->text(), QStringLiteral("0"));
    }

    void registrationCancelledStillWritesTheCurrentPrinter() {
        BoxForm f({fakePrinter("A"), fakePrinter("B"), fakePrinter("C")});
        bool ran = false;
        TWbPrinterSetupDialog::runner() = [&](WbPrinterSetupWindow& w) {
            ran = true;
            w.ComboBox_Printer->setCurrentIndex(2);  // chosen, then cancelled
            return false;
        };
        f.form->Label_Prn_Top->setText(QStringLiteral("3"));  // as shown; the record holds 0
        f.find<QPushButton>(QStringLiteral("BitBtn_PrnSet"))->click();
        QVERIFY(ran);
        QVERIFY2(printerErrors(f).isEmpty(), qPrintable(printerErrors(f).join(u'|')));
        // Byte for byte: Shift-JIS section, CR LF, four keys in order.
        QCOMPARE(readFile(iniPath()), sj("[手差し]\r\nPrnName=A\r\nPrnNoIndex=0\r\nvamPrn_Top=0\r\nvamPrn_Left=0\r\n"
                                         "PrnPaperSize=A4\r\nPrnBin=手差し\r\n"));
        QCOMPARE(WbPrinter().GetIndex(), 0);
    }

    void registrationConfirmedKeepsTheDialogsChoice() {
        BoxForm f({fakePrinter("A"), fakePrinter("B ")});
        selectFeed(f, 1);
        TWbPrinterSetupDialog::runner() = [&](WbPrinterSetupWindow& w) {
            w.ComboBox_Printer->setCurrentIndex(1);
            w.ComboBox_Paper->setCurrentIndex(2);
            w.ComboBox_Bin->setCurrentIndex(1);
            return true;
        };
        f.find<QPushButton>(QStringLiteral("BitBtn_PrnSet"))->click();
        QVERIFY2(printerErrors(f).isEmpty(), qPrintable(printerErrors(f).join(u'|')));
        QCOMPARE(f.form->Label_PrinterIndex->text(), QStringLiteral("1"));
        QCOMPARE(f.form->ComboBox1->currentText(), QStringLiteral("B "));
        QCOMPARE(f.form->ComboBox2->currentText(), QStringLiteral("送り状"));
        QCOMPARE(f.form->ComboBox3->currentText(), QStringLiteral("トラクタ"));
        QCOMPARE(readFile(iniPath()), sj("[連続(４インチ)]\r\nPrnName=B\r\nPrnNoIndex=1\r\nvamPrn_Top=0\r\nvamPrn_Left=0\r\n"
                                         "PrnPaperSize=送り状\r\nPrnBin=トラクタ\r\n"));

        // The feed mode keeps its paper and bin when another mode used
        // another printer in between; the other mode has its own.
        selectFeed(f, 0);
        QCOMPARE(f.form->ComboBox2->currentText(), QStringLiteral("A4"));
        selectFeed(f, 1);
        QCOMPARE(f.form->ComboBox2->currentText(), QStringLiteral("送り状"));
        QCOMPARE(f.form->ComboBox3->currentText(), QStringLiteral("トラクタ"));
        f.boxes.answer(true);  // 送り状 is no continuous form page: printed all the same
        f.boxes.answer(true);
        f.form->SpeedButton_F11Click();
        QCOMPARE(f.printers->documents.size(), std::size_t{1});
        QCOMPARE(f.printers->documents[0].printer, QStringLiteral("B "));
        QCOMPARE(f.printers->documents[0].settings.paperSize, std::int16_t{256});
        QCOMPARE(f.printers->documents[0].settings.defaultSource, std::int16_t{257});
    }

    void theNameChoosesAndTheIndexOnlyWithoutOne_data() {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<QString>("printer");
        QTest::addColumn<QString>("index");
        QTest::addColumn<QString>("paper");
        QTest::addColumn<QString>("question");  // F11's first question
        const QString form = wbprn::continuousFormPaperName();
        const QString plain = QStringLiteral("印刷しますか?");
        QTest::newRow("name wins over a stale index") << sj("PrnName=X\r\nPrnNoIndex=1\r\n") << "X" << "0" << form << plain;
        QTest::newRow("a file without names goes by the index") << sj("PrnNoIndex=1\r\n") << "Y" << "1" << form << plain;
        QTest::newRow("an empty name too") << sj("PrnName=\r\nPrnNoIndex=1\r\n") << "Y" << "1" << form << plain;
        QTest::newRow("the user's paper wins and is asked about")
            << sj("PrnName=Y\r\nPrnPaperSize=A3\r\nPrnBin=トラクタ\r\n") << "Y" << "1" << "A3"
            << "用紙の長さが11.69インチのため、送り状1枚ごとに連続用紙を2.92枚分送り、次の送り状はミシン目にかかります。"
               "このまま印刷しますか?";
        QTest::newRow("a paper this printer lacks gives the mode's own")
            << sj("PrnName=Y\r\nPrnPaperSize=Letter\r\n") << "Y" << "1" << form << plain;
    }
    void theNameChoosesAndTheIndexOnlyWithoutOne() {
        QFETCH(QByteArray, record);
        QFETCH(QString, printer);
        QFETCH(QString, index);
        QFETCH(QString, paper);
        QFETCH(QString, question);
        BoxForm f({fakePrinter("X"), fakePrinter("Y")}, 0, sj("[連続(４インチ)]\r\n") + record);
        selectFeed(f, 1);
        QCOMPARE(f.form->ComboBox1->currentText(), printer);
        QCOMPARE(f.form->Label_PrinterIndex->text(), index);
        QCOMPARE(f.form->ComboBox2->currentText(), paper);
        QVERIFY2(printerErrors(f).isEmpty(), qPrintable(printerErrors(f).join(u'|')));
        // The margin dialog writes the record back with the name.
        TForm_SLIP97YPrn margins(f.form.get());
        margins.setMainForm(f.form.get());
        f.boxes.answer(true);
        margins.BitBtn_MRGNClick();
        QCOMPARE(printer_file::readRecord(QDir::currentPath(), f.form->ComboBox_SEL->currentText()).name, printer);
        f.boxes.questions.clear();
        f.form->SpeedButton_F11Click();  // answered No
        QCOMPARE(f.boxes.questions.value(0), question);
    }

    // The window is drawn before the printer's papers and bins are asked
    // for; the box then shows the registered printer, paper and bin, and a
    // print that comes first still goes out on them.
    void theBoxFillsOnceTheWindowIsDrawn_data() {
        QTest::addColumn<bool>("printFirst");
        QTest::newRow("drawn, then filled") << false;
        QTest::newRow("a print before the first paint") << true;
    }
    void theBoxFillsOnceTheWindowIsDrawn() {
        QFETCH(bool, printFirst);
        QTemporaryDir dir;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        writeFile(iniPath(), sj("[手差し]\r\nPrnName=Y\r\nPrnNoIndex=0\r\nPrnPaperSize=A3\r\nPrnBin=トラクタ\r\n"));
        ScriptedBoxes boxes;
        wbprn::FakePrinterSystem* printers = usePrinters({fakePrinter("X"), fakePrinter("Y")});
        {
            TForm_Main form;
            QStringList paintedPaper;  // ComboBox2's text at each of its paints
            EventWatch watch(form.ComboBox2->lineEdit(), QEvent::Paint,
                             [&] { paintedPaper << form.ComboBox2->currentText(); });
            form.show();
            QCOMPARE(form.ComboBox1->currentText(), QString());  // nothing shown from before
            QCOMPARE(form.ComboBox2->count(), 0);
            QCOMPARE(printers->capabilityCalls, 0);
            if (printFirst) {
                boxes.answer(true);
                form.SpeedButton_F11Click();
                QCOMPARE(printers->documents.size(), std::size_t{1});
                QCOMPARE(printers->documents[0].printer, QStringLiteral("Y"));
                QCOMPARE(printers->documents[0].settings.paperSize, std::int16_t{8});  // A3
                QCOMPARE(printers->documents[0].settings.defaultSource, std::int16_t{257});
            }
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            QCOMPARE(form.ComboBox1->currentText(), QStringLiteral("Y"));
            QCOMPARE(form.ComboBox2->currentText(), QStringLiteral("A3"));
            QCOMPARE(form.ComboBox3->currentText(), QStringLiteral("トラクタ"));
            QCOMPARE(form.ComboBox2->count(), 4);
            if (!printFirst) QCOMPARE(paintedPaper.value(0), QString());
            QTRY_COMPARE(paintedPaper.last(), QStringLiteral("A3"));
            QCOMPARE(boxes.errors, QStringList{QStringLiteral("File not found.")});
        }
        QDir::setCurrent(previous);
    }

    void aRegisteredPrinterThatIsGonePrintsNowhere() {
        const QString gone = QStringLiteral("登録したプリンタ PdfOut が見つかりません");
        const QByteArray file = sj("[手差し]\r\nPrnName=PdfOut\r\nPrnNoIndex=0\r\nvamPrn_Top=5\r\nPrnPaperSize=A3\r\n");
        BoxForm f({fakePrinter("A"), fakePrinter("B")}, 0, file);
        QCOMPARE(f.form->ComboBox1->currentText(), gone);
        QCOMPARE(f.form->ComboBox2->currentText(), QString());
        QCOMPARE(f.form->Panel_HelpMess->text(), gone);  // still there once the first field has the focus
        QCOMPARE(f.focusedName(), QStringLiteral("Edit_Zip"));

        // F11 asks nothing and prints nowhere; the calibration print neither.
        f.boxes.errors.clear();
        f.boxes.answer(true);
        f.form->SpeedButton_F11Click();
        QVERIFY(f.boxes.questions.isEmpty());
        QCOMPARE(f.boxes.errors, QStringList{gone + u'.'});
        TForm_SLIP97YPrn margins(f.form.get());
        margins.setMainForm(f.form.get());
        QVERIFY_THROWS_EXCEPTION(EWbPrinterWithheld, margins.BitBtn_TestPrnClick());
        QVERIFY_THROWS_EXCEPTION(EWbPrinterWithheld, WbPrinter().BeginDoc(QStringLiteral("batch")));
        QVERIFY(f.printers->documents.empty());

        // Saving margins keeps the registered printer; a cancelled
        // registration changes nothing.
        margins.NumEdit_TOP->setText(QStringLiteral("7"));
        f.boxes.answer(true);
        margins.BitBtn_MRGNClick();
        const QByteArray saved = readFile(iniPath());
        QVERIFY2(saved.startsWith(sj("[手差し]\r\nPrnName=PdfOut\r\nPrnNoIndex=0\r\nvamPrn_Top=7\r\nPrnPaperSize=A3\r\n")),
                 saved.constData());
        TWbPrinterSetupDialog::runner() = [](WbPrinterSetupWindow&) { return false; };
        f.find<QPushButton>(QStringLiteral("BitBtn_PrnSet"))->click();
        QCOMPARE(readFile(iniPath()), saved);
        QCOMPARE(f.form->ComboBox1->currentText(), gone);

        // Another feed mode with its printer there prints; back again, not.
        selectFeed(f, 1);
        QCOMPARE(f.form->ComboBox1->currentText(), QStringLiteral("A"));
        QCOMPARE(f.form->Panel_HelpMess->text(), QString());
        f.boxes.answer(true);
        f.form->SpeedButton_F11Click();
        QCOMPARE(f.printers->documents.size(), std::size_t{1});
        selectFeed(f, 0);
        QCOMPARE(f.form->ComboBox1->currentText(), gone);

        // The user's choice replaces it.
        TWbPrinterSetupDialog::runner() = [](WbPrinterSetupWindow& w) {
            w.ComboBox_Printer->setCurrentIndex(1);
            return true;
        };
        f.find<QPushButton>(QStringLiteral("BitBtn_PrnSet"))->click();
        QCOMPARE(f.form->ComboBox1->currentText(), QStringLiteral("B"));
        QCOMPARE(printer_file::readRecord(QDir::currentPath(), QStringLiteral("手差し")).name, QStringLiteral("B"));
        f.boxes.answer(true);
        f.form->SpeedButton_F11Click();
        QCOMPARE(f.printers->documents.size(), std::size_t{2});
        QCOMPARE(f.printers->documents[1].printer, QStringLiteral("B"));
    }

    // The printer watch finds the registered printer back: it is taken at
    // once, the warning goes, and F11 prints on it; another printer coming
    // in changes nothing.
    void aMissingPrinterIsTakenAgainWhenItComesBack() {
        const QString gone = QStringLiteral("登録したプリンタ PdfOut が見つかりません");
        BoxForm f({fakePrinter("A"), fakePrinter("B")}, 0, sj("[手差し]\r\nPrnName=PdfOut\r\nPrnNoIndex=0\r\n"));
        QCOMPARE(f.form->ComboBox1->currentText(), gone);
        f.printers->printers.push_back(fakePrinter("C"));
        WbPrinter().WindowHook();
        QCOMPARE(f.form->ComboBox1->currentText(), gone);
        QCOMPARE(f.form->Panel_HelpMess->text(), gone);

        f.printers->printers.push_back(fakePrinter("PdfOut"));
        WbPrinter().WindowHook();
        QCOMPARE(f.form->ComboBox1->currentText(), QStringLiteral("PdfOut"));
        QCOMPARE(f.form->Panel_HelpMess->text(), QString());
        f.boxes.answer(true);
        f.form->SpeedButton_F11Click();
        QCOMPARE(f.printers->documents.size(), std::size_t{1});
        QCOMPARE(f.printers->documents[0].printer, QStringLiteral("PdfOut"));
    }
};

QTEST_MAIN(TestPrinterBox)
#include "test_printer_box.moc"
