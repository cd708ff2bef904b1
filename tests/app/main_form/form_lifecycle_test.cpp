// The main window's frame after the first showing, and the end of a run.
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QMap>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QtTest>

#include "print/core/form_library.h"
#include "widgets/sjis_line_edit.h"
#include "controls/TNumEdit.h"
#include "tests/app/test_form_fixture.h"

namespace {
// Boxes that close the main window while the first error box is open, as a
// stop signal or the session's end does.
class ClosingBoxes final : public MessageBoxes {
public:
    ClosingBoxes() { setMessageBoxes(this); }
    ~ClosingBoxes() override { setMessageBoxes(nullptr); }
    bool question(QWidget*, const QString&) override { return false; }
    void notice(QWidget*, const QString&) override {}
    void error(QWidget* parent, const QString& text) override {
        errors << text;
        if (QWidget* w = parent ? parent->window() : nullptr) w->close();
    }
    QStringList errors;
};

QByteArray readSettings(const QString& dir) {
    QFile f(dir + QStringLiteral("/vamu_Pelican.ini"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
}  // namespace

class TestFormLifecycle : public QObject {
    Q_OBJECT
private slots:
    void frameAfterFirstShowing() {
        ShownForm f;
        TForm_Main& w = *f.form;
        QCOMPARE(w.windowTitle(), QStringLiteral("vamu　送り状印刷　< 日本通運　ペリカン便　> ver1.10"));
        QCOMPARE(w.size(), QSize(682, 656));
        QCOMPARE(w.minimumSize(), w.maximumSize());  // the user cannot resize it
        QCOMPARE(w.font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
        QCOMPARE(w.font().pixelSize(), 16);
        // Regions top to bottom.
        const struct {
            const char* name;
            int top, height;
        } regions[] = {{"Panel3", 0, 130},         {"Panel1", 130, 176},   {"Panel_Sender", 306, 136},
                       {"Panel4", 442, 140},       {"Panel_HelpMess", 582, 30}, {"Panel_Fnc", 612, 28},
                       {"StatusBar1", 640, 16}};
        for (const auto& r : regions) {
            const QRect g = f.find(QLatin1String(r.name))->geometry();
            QVERIFY2(g.top() == r.top && g.height() == r.height && g.width() == 682, r.name);
        }
        QCOMPARE(f.find<QStatusBar>(QStringLiteral("StatusBar1"))->currentMessage(), QStringLiteral("  "));
    }

    void formsAreReadAtStart() {
        // A build that was never installed reads the source tree's forms.
        ShownForm f;
        const print::FormLibrary& forms = f.form->formLibrary();
        QVERIFY(!forms.entries().empty());
        QVERIFY(QString::fromStdString(forms.entries().front().path).endsWith(QStringLiteral("data/forms/pelican.form")));
        QVERIFY(forms.builtin() == print::builtinForm());
        QCOMPARE(f.boxes.notices, QStringList());
    }

    void functionKeyBar() {
        ShownForm f;
        const int left[12] = {0, 55, 110, 165, 230, 285, 340, 395, 460, 515, 570, 625};
        for (int i = 1; i <= 12; ++i) {
            auto* b = f.find<QPushButton>(QStringLiteral("SpeedButton_F%1").arg(i));
            QCOMPARE(b->geometry(), QRect(left[i - 1], b->y(), 55, 26));
            const bool live = i == 2 || (i >= 8 && i <= 11);
            QCOMPARE(b->isEnabled(), live);
            // F5/F6 carry their captions but wait for a code or an address.
            const QString caption = i == 2    ? QStringLiteral("中止")
                                    : i == 8  ? QStringLiteral("履歴")
                                    : i == 10 ? QStringLiteral("プレビュー")
                                    : i == 11 ? QStringLiteral("印刷")
                                    : i == 5  ? QStringLiteral("住所検索")
                                    : i == 6  ? QStringLiteral("〒検索")
                                    : i == 9  ? QStringLiteral("一括印刷")
                                              : QStringLiteral("F%1").arg(i);
            QCOMPARE(b->text(), caption);
            QVERIFY2(b->fontMetrics().horizontalAdvance(caption) <= b->width() - 6, qPrintable(caption));
        }
    }

    void startValues() {
        ShownForm f;
        QCOMPARE(f.find<QDateEdit>(QStringLiteral("DateTimePicker_1"))->date(), QDate(2026, 12, 7));
        QCOMPARE(f.find<QDateEdit>(QStringLiteral("DateTimePicker_1"))->text(), QStringLiteral("2026/12/07"));
        QVERIFY(f.find<QDateEdit>(QStringLiteral("DateTimePicker_1"))->calendarPopup());
        for (const char* n : {"Edit_de_date1", "Edit_de_date2", "Edit_de_date3", "Edit_Zip", "Edit_Add3", "Edit_My"})
            QVERIFY2(f.find<QLineEdit>(QLatin1String(n))->text().isEmpty(), n);
        QCOMPARE(f.find<QLabel>(QStringLiteral("Label_CurrentDir"))->text(), QDir(f.dir.path()).absolutePath());
        QVERIFY(f.find<QCheckBox>(QStringLiteral("CheckBox_My"))->isChecked());
        QVERIFY(f.find<QCheckBox>(QStringLiteral("CheckBox_Date_1"))->isChecked());
        for (int n : {1, 2, 3, 4, 5, 6, 21, 22, 23, 24, 25})
            QVERIFY(!f.find<QCheckBox>(QStringLiteral("CheckBox_Pelican_%1").arg(n))->isChecked());
        QCOMPARE(f.find<TNumEdit>(QStringLiteral("NumEdit_KOSUU"))->text(), QStringLiteral("1"));
        QVERIFY(!f.find(QStringLiteral("NumEdit_KOSUU"))->isVisible());
        QCOMPARE(f.find<QComboBox>(QStringLiteral("ComboBox_SEL"))->currentText(), QStringLiteral("手差し"));
        QCOMPARE(f.find<QComboBox>(QStringLiteral("ComboBox_SEL"))->itemText(1), QStringLiteral("連続(４インチ)"));
        QCOMPARE(f.find<QComboBox>(QStringLiteral("ComboBox_FontSize"))->currentIndex(), 1);
        auto* tabs = f.find<QTabBar>(QStringLiteral("PageControl_My"));
        QCOMPARE(tabs->count(), 10);
        QCOMPARE(tabs->tabText(9), QStringLiteral("依頼主10"));
        QCOMPARE(tabs->currentIndex(), 0);
        // The focus starts in the postal code with its prompt.
        QCOMPARE(f.focusedName(), QStringLiteral("Edit_Zip"));
        QCOMPARE(f.find<QLabel>(QStringLiteral("Panel_HelpMess"))->text(),
                 QStringLiteral("お届け先の郵便番号を入力して下さい（F5：住所検索）"));
    }

    void firstStartInAnEmptyFolderReportsTheMissingSenderFile() {
        ShownForm f;
        QCOMPARE(f.boxes.errors, QStringList{QStringLiteral("File not found.")});
        QCOMPARE(f.focusedName(), QStringLiteral("Edit_Zip"));
        QVERIFY(f.form->isVisible());
    }

    void startGoesOnWithoutAnyPrinter() {
        ShownForm f(std::vector<wbprn::FakePrinter>{});
        QCOMPARE(f.boxes.errors.size(), 2);  // the printer problem, then the missing sender file
        QCOMPARE(f.boxes.errors.last(), QStringLiteral("File not found."));
        QVERIFY(f.find(QStringLiteral("SpeedButton_F2"))->isEnabled());
        QVERIFY(f.find(QStringLiteral("SpeedButton_F11"))->isEnabled());
        QCOMPARE(f.find<QStatusBar>(QStringLiteral("StatusBar1"))->currentMessage(), QStringLiteral("  "));
        QCOMPARE(f.focusedName(), QStringLiteral("Edit_Zip"));
        QCOMPARE(f.find<QLabel>(QStringLiteral("Panel_HelpMess"))->text(),
                 QStringLiteral("お届け先の郵便番号を入力して下さい（F5：住所検索）"));
        f.boxes.answer(true);
        f.key(Qt::Key_F2);
        QVERIFY(!f.form->isVisible());
    }

    void stopDuringThePrinterBoxEndsTheStartQuietly_data() {
        QTest::addColumn<bool>("senderFile");
        QTest::newRow("sender file present") << true;
        QTest::newRow("sender file missing") << false;
    }
    void stopDuringThePrinterBoxEndsTheStartQuietly() {
        QFETCH(bool, senderFile);
        QTemporaryDir dir;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        if (senderFile) {
            QFile f(dir.filePath(QStringLiteral("my0.txt")));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("105-0004\r\nTokyo\r\nMinato\r\nYamada\r\n03\r\n");
        }
        usePrinters({});  // no printer: the start shows an error box
        ClosingBoxes boxes;
        {
            TForm_Main form;
            form.show();
            QCOMPARE(boxes.errors.size(), 1);  // no further box after the stop
            QVERIFY(!form.isVisible());
            QCOMPARE(form.findChild<QLineEdit*>(QStringLiteral("Edit_My"))->text(),
                     senderFile ? QStringLiteral("Yamada") : QString());
        }
        QDir::setCurrent(previous);
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("vamu_Pelican.ini"))));
    }

    void controlsOtherPartsFindByName() {
        ShownForm f;
        const char* names[] = {
            "Edit_Zip", "Edit_Add1", "Edit_Add2", "Edit_Add3", "Edit_Custo1", "Edit_tel", "Label_Warning",
            "BitBtn_CLS", "CheckBox_My", "PageControl_My", "Edit_MyZip", "Edit_MyADD1", "Edit_MyADD2", "Edit_My",
            "Edit_MyTEL", "BitBtn_My", "CheckBox_Date_1", "DateTimePicker_1", "Edit_de_date1", "Edit_de_date2",
            "Edit_de_date3", "Edit_G1", "Edit_G2", "Edit_G3", "NumEdit_KOSUU", "GroupBox_Pelican_1",
            "GroupBox_Pelican_2", "ComboBox_SEL", "ComboBox_FontSize", "BitBtn_WebHelp", "BitBtn_SendMail",
            "GroupBox1", "Label_Prn_Top", "Label_Prn_Left", "Label_CurrentDir", "Label_PrinterIndex",
            "Label_dpix", "Label_dpiy", "Label_CutCut", "Label_0X", "Label_org"};
        for (const char* n : names) QVERIFY2(f.find(QLatin1String(n)), n);
        // The margin labels show small in the printer box; the other carriers are hidden.
        for (const char* n : {"Label_Prn_Top", "Label_Prn_Left"}) {
            QVERIFY(f.find(QLatin1String(n))->isVisible());
            QCOMPARE(f.find(QLatin1String(n))->parentWidget(), f.find(QStringLiteral("GroupBox1")));
        }
        QCOMPARE(f.find(QStringLiteral("Label_Prn_Top"))->pos(), QPoint(82, 103));
        QCOMPARE(f.find(QStringLiteral("Label_Prn_Left"))->pos(), QPoint(82, 114));
        for (const char* n : {"Label_CurrentDir", "Label_PrinterIndex", "Label_dpix", "Label_dpiy", "Label_CutCut",
                              "Label_0X", "Label_org"})
            QVERIFY2(!f.find(QLatin1String(n))->isVisible(), n);
        QCOMPARE(f.find<SjisLineEdit>(QStringLiteral("Edit_Zip"))->byteLimit(), 16);
        QCOMPARE(f.find<SjisLineEdit>(QStringLiteral("Edit_Custo1"))->byteLimit(), 80);
        QCOMPARE(f.find<SjisLineEdit>(QStringLiteral("Edit_MyZip"))->byteLimit(), 8);
        QCOMPARE(f.find<SjisLineEdit>(QStringLiteral("Edit_G2"))->byteLimit(), 30);
        QCOMPARE(f.find<SjisLineEdit>(QStringLiteral("Edit_Add1"))->byteLimit(), 0);
    }

    void hintsOnlyWhereTheFormGivesThem() {
        ShownForm f;
        const QMap<QString, QString> hints = {
            {QStringLiteral("CheckBox_My"), QStringLiteral("チェックをはずすとご依頼主を印字しません")},
            {QStringLiteral("PageControl_My"),
             QStringLiteral("依頼主番号ごとに登録してください。　登録後切り替えが可能になります。")},
            {QStringLiteral("BitBtn_My"), QStringLiteral("ご依頼主を保存します")},
            {QStringLiteral("BitBtn_AddrBook"), QStringLiteral("お届け先をアドレス帳に登録します")},
            {QStringLiteral("CheckBox_Date_1"), QStringLiteral("チェックをはずすと日付を印字しません")},
            {QStringLiteral("Edit_G1"), QStringLiteral("30文字入力可")},
            {QStringLiteral("ComboBox_FontSize"), QStringLiteral("住所/品名の印字サイズを選択をします")},
            {QStringLiteral("BitBtn_SendMail"), QStringLiteral("support@vamu.example.jp")},
        };
        const QWidget* parts[] = {f.find(QStringLiteral("Panel1")), f.find(QStringLiteral("Panel_Sender")),
                                  f.find(QStringLiteral("Panel4")), f.find(QStringLiteral("Panel_Fnc"))};
        for (const QWidget* part : parts)
            for (const QWidget* w : part->findChildren<QWidget*>()) {
                if (w->objectName().isEmpty() || w->parentWidget() == f.find(QStringLiteral("GroupBox1"))) continue;
                QVERIFY2(w->toolTip() == hints.value(w->objectName()), qPrintable(w->objectName()));
            }
    }

    void showingAgainDoesNotRunTheFirstShowingAgain() {
        ShownForm f;
        f.find<QLineEdit>(QStringLiteral("Edit_de_date1"))->setText(QStringLiteral("12"));
        f.form->hide();
        f.form->show();
        QCOMPARE(f.find<QLineEdit>(QStringLiteral("Edit_de_date1"))->text(), QStringLiteral("12"));
    }

    void everyEndSavesExactlyOnce() {
        QString dir;
        {
            ShownForm f;
            dir = f.dir.path();
            f.find<QLineEdit>(QStringLiteral("Edit_Zip"))->setText(QStringLiteral("100-0001"));
            QVERIFY(f.form->close());            // the close box: no question
            f.form->runFormDestroyOnce();        // the end of the event loop
            QVERIFY(readSettings(dir).contains("E_ZIP=100-0001\r\n"));
            f.find<QLineEdit>(QStringLiteral("Edit_Zip"))->setText(QStringLiteral("999"));
            f.form.reset();                      // destruction does not save a second time
            QVERIFY(readSettings(dir).contains("E_ZIP=100-0001\r\n"));
            QVERIFY(f.boxes.questions.isEmpty());
        }
    }

    void aWindowNeverShownWritesNothing() {
        QTemporaryDir dir;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        ScriptedBoxes boxes;
        { TForm_Main never; }
        QDir::setCurrent(previous);
        QVERIFY(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
        QVERIFY(boxes.errors.isEmpty());
    }
};

QTEST_MAIN(TestFormLifecycle)
#include "form_lifecycle_test.moc"
