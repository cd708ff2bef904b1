// The main window's settings and sender records across runs: each "run" is
// a fresh main window in the same folder, shown (first showing) and
// destroyed, over a scripted printer and scripted message boxes.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "store/atomic_file.h"
#include "app/main_form/form_main.h"
#include "controls/TNumEdit.h"
#include "print/Wbprn/WbPrinters.h"
#include "print/Wbprn/fake/fake_printer_system.h"
#include "tests/support/file_bytes.h"
#include "tests/support/scripted_boxes.h"
#include "text/sjis_qt.h"

namespace {

// One run of the program's main window in a folder.
struct Run {
    QString previousDir = QDir::currentPath();
    ScriptedBoxes boxes;
    std::unique_ptr<TForm_Main> form;

    explicit Run(const QString& dir, std::initializer_list<bool> answers = {}) {
        for (bool a : answers) boxes.answer(a);
        QDir::setCurrent(dir);
        form = std::make_unique<TForm_Main>();
        form->show();
        form->activateWindow();
        if (!QTest::qWaitForWindowActive(form.get())) qWarning("main window did not become active");
    }
    ~Run() {
        form.reset();  // the end of the run: saves unless already saved
        QDir::setCurrent(previousDir);
    }

    template <class T = QLineEdit>
    T* w(const char* name) const {
        return form->findChild<T*>(QLatin1String(name));
    }
    QString text(const char* name) const { return w(name)->text(); }
    void set(const char* name, const QString& value) { w(name)->setText(value); }
    QTabBar* tabs() const { return w<QTabBar>("PageControl_My"); }
    // Selects a tab as the user does, with a click on it.
    void clickTab(int index) {
        QTest::mouseClick(tabs(), Qt::LeftButton, {}, tabs()->tabRect(index).center());
        QCoreApplication::processEvents();
    }
    void click(const char* name) { QTest::mouseClick(w<QPushButton>(name), Qt::LeftButton); }
    QString focusedName() const {
        QWidget* f = QApplication::focusWidget();
        return f ? f->objectName() : QString();
    }
    static constexpr const char* kSenderEdits[] = {"Edit_MyZip", "Edit_MyADD1", "Edit_MyADD2", "Edit_My", "Edit_MyTEL"};
    QStringList senderFields() const {
        QStringList fields;
        for (const char* name : kSenderEdits) fields << text(name);
        return fields;
    }
    void setSenderFields(const QStringList& fields) {
        for (int i = 0; i < 5; ++i) set(kSenderEdits[i], fields[i]);
    }
};

const QStringList kSenderA = {QStringLiteral("105-0004"), QStringLiteral("東京都港区新橋１－２"),
                              QStringLiteral("ペリカンビル４Ｆ"), QStringLiteral("山田商店"),
                              QStringLiteral("03-1234-5678")};
const QStringList kSenderB = {QStringLiteral("530-0001"), QStringLiteral("大阪市北区"), QString(),
                              QStringLiteral("ソ表能株式会社"), QStringLiteral("06-0000-0000")};

// "a|b|c" as the list of its parts.
QStringList lines(const char* joined) { return QString::fromUtf8(joined).split(QLatin1Char('|')); }

QByteArray recordBytes(const QStringList& lines) {
    QByteArray out;
    for (const QString& l : lines) out += sj(l) + "\r\n";
    return out;
}

}  // namespace

class TestSettingsForm : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    QString path(const char* name) const { return dir->filePath(QLatin1String(name)); }

private slots:
    void initTestCase() {
        WbPrinter().ResetSystem(
            std::make_unique<wbprn::FakePrinterSystem>(std::vector<wbprn::FakePrinter>{{QStringLiteral("Fake360")}}));
    }
    void init() { dir = std::make_unique<QTemporaryDir>(); }
    void cleanup() {
        setAtomicWriteFaultForTesting({});
        dir.reset();
    }

    void restartBringsTheSavedFieldsBack_data() {
        QTest::addColumn<QString>("ending");
        QTest::newRow("F2 answered Yes") << QStringLiteral("F2");
        QTest::newRow("close box") << QStringLiteral("close");
    }
    void restartBringsTheSavedFieldsBack() {
        QFETCH(QString, ending);
        writeFile(path("my2.txt"), recordBytes(kSenderA));
        {
            Run r(dir->path(), {true});
            QCOMPARE(r.boxes.errors, QStringList{QStringLiteral("File not found.")});  // my0.txt
            r.set("Edit_Zip", QStringLiteral("100-0001"));
            r.set("Edit_Add1", QStringLiteral("東京都千代田区"));
            r.set("Edit_Add2", QStringLiteral("丸の内１－１"));
            r.set("Edit_Add3", QStringLiteral("not saved"));
            r.set("Edit_Custo1", QStringLiteral("佐藤様"));
            r.set("Edit_tel", QStringLiteral("03-9999-0000"));
            r.set("Edit_G1", QString());
            r.set("Edit_G2", QStringLiteral("りんご"));
            r.set("Edit_G3", QStringLiteral("\"quoted\""));
            r.set("Edit_de_date1", QStringLiteral("12"));
            r.w<TNumEdit>("NumEdit_KOSUU")->setText(QStringLiteral("5"));
            r.w<QComboBox>("ComboBox_SEL")->setCurrentIndex(1);
            r.w<QComboBox>("ComboBox_FontSize")->setCurrentIndex(2);
            r.w<QCheckBox>("CheckBox_Pelican_1")->setChecked(true);
            r.w<QPlainTextEdit>("Memo1")->setPlainText(QStringLiteral("memo"));
            r.tabs()->setCurrentIndex(2);  // from code: loads nothing
            r.setSenderFields(kSenderB);
            if (ending == QLatin1String("F2")) {
                r.click("SpeedButton_F2");
                QCOMPARE(r.boxes.questions, QStringList{QStringLiteral("終了しますか?")});
            }
            QVERIFY(r.form->close() || ending == QLatin1String("F2"));
        }
        // Created from nothing: every key once, in the file's own order.
        QCOMPARE(readFile(path("vamu_Pelican.ini")),
                 QByteArray("[vm_Pelicanprn]\r\nAddr_Font=2\r\nE_ZIP=100-0001\r\n") + "E_AD1=" +
                     sj(QStringLiteral("東京都千代田区")) + "\r\nE_AD2=" + sj(QStringLiteral("丸の内１－１")) +
                     "\r\nE_CUS=" + sj(QStringLiteral("佐藤様")) + "\r\nE_TEL=03-9999-0000\r\nE_G1=\r\nE_G2=" +
                     sj(QStringLiteral("りんご")) + "\r\nE_G3=\"quoted\"\r\nKOSUU3=5\r\nOP023My=" + sj(kSenderB[3]) +
                     "\r\nOP023MyZip=530-0001\r\nOP023MyADD1=" + sj(kSenderB[1]) +
                     "\r\nOP023MyADD2=\r\nOP023MyTEL=06-0000-0000\r\nComboBox_SEL=1\r\nTab_My=2\r\n");
        {
            Run r(dir->path());
            QVERIFY(r.boxes.errors.isEmpty());
            QCOMPARE(r.text("Edit_Zip"), QStringLiteral("100-0001"));
            QCOMPARE(r.text("Edit_Add1"), QStringLiteral("東京都千代田区"));
            QCOMPARE(r.text("Edit_Add2"), QStringLiteral("丸の内１－１"));
            QCOMPARE(r.text("Edit_Custo1"), QStringLiteral("佐藤様"));
            QCOMPARE(r.text("Edit_tel"), QStringLiteral("03-9999-0000"));
            QCOMPARE(r.text("Edit_G1"), QString());
            QCOMPARE(r.text("Edit_G2"), QStringLiteral("りんご"));
            QCOMPARE(r.text("Edit_G3"), QStringLiteral("quoted"));  // one pair of quotes is dropped on read
            QCOMPARE(r.w<TNumEdit>("NumEdit_KOSUU")->text(), QStringLiteral("1"));  // saved as KOSUU3
            QCOMPARE(r.w<QComboBox>("ComboBox_SEL")->currentIndex(), 1);
            QCOMPARE(r.w<QComboBox>("ComboBox_FontSize")->currentIndex(), 2);
            QCOMPARE(r.tabs()->currentIndex(), 2);
            QCOMPARE(r.senderFields(), kSenderA);  // the record file wins over the settings
            // Never kept between runs.
            QCOMPARE(r.text("Edit_Add3"), QString());
            QCOMPARE(r.text("Edit_de_date1"), QString());
            QVERIFY(!r.w<QCheckBox>("CheckBox_Pelican_1")->isChecked());
            QCOMPARE(r.w<QPlainTextEdit>("Memo1")->toPlainText(), QString());
        }
        // Without the record file the sender comes from the settings.
        QVERIFY(QFile::remove(path("my2.txt")));
        Run r(dir->path());
        QCOMPARE(r.boxes.errors, QStringList{QStringLiteral("File not found.")});
        QCOMPARE(r.senderFields(), kSenderA);
    }

    void exitAnsweredNoChangesNothing() {
        Run r(dir->path(), {false});
        r.set("Edit_Zip", QStringLiteral("100-0001"));
        r.click("SpeedButton_F2");
        QVERIFY(r.form->isVisible());
        QCOMPARE(r.focusedName(), QStringLiteral("Edit_Zip"));
        QVERIFY(!QFile::exists(path("vamu_Pelican.ini")));
    }

    void storedIndexesAndCount_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("tab");
        QTest::addColumn<int>("feed");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("count");
        QTest::newRow("hex tab 0x3") << QByteArray("Tab_My=0x3\r\n") << 3 << 0 << 1 << "1";
        QTest::newRow("dollar hex tab") << QByteArray("Tab_My=$9\r\n") << 9 << 0 << 1 << "1";
        QTest::newRow("tab not a number") << QByteArray("Tab_My=three\r\n") << 0 << 0 << 1 << "1";
        QTest::newRow("tab past the last") << QByteArray("Tab_My=10\r\n") << 0 << 0 << 1 << "1";
        QTest::newRow("negative indexes") << QByteArray("Tab_My=-1\r\nComboBox_SEL=-1\r\nAddr_Font=-1\r\n") << 0 << 0
                                          << 1 << "1";
        QTest::newRow("feed mode and size too big") << QByteArray("ComboBox_SEL=2\r\nAddr_Font=3\r\n") << 0 << 0 << 1
                                                    << "1";
        QTest::newRow("smallest print size") << QByteArray("Addr_Font=0\r\n") << 0 << 0 << 0 << "1";
        QTest::newRow("count under KOSUU") << QByteArray("KOSUU=5\r\n") << 0 << 0 << 1 << "5";
        QTest::newRow("count only under KOSUU3") << QByteArray("KOSUU3=5\r\n") << 0 << 0 << 1 << "1";
        QTest::newRow("lower-case names, blanks, LF only")
            << QByteArray(" tab_my = 4 \ncombobox_sel=1\nkosuu = \"7\"\n") << 4 << 1 << 1 << "7";
    }
    void storedIndexesAndCount() {
        QFETCH(QByteArray, file);
        writeFile(path("vamu_Pelican.ini"), "[vm_Pelicanprn]\r\n" + file);
        for (int i = 0; i < 10; ++i)
            writeFile(dir->filePath(QStringLiteral("my%1.txt").arg(i)), QByteArray::number(i) + "\r\n");
        Run r(dir->path());
        QTEST(r.tabs()->currentIndex(), "tab");
        QTEST(r.w<QComboBox>("ComboBox_SEL")->currentIndex(), "feed");
        QTEST(r.w<QComboBox>("ComboBox_FontSize")->currentIndex(), "size");
        QTEST(r.w<TNumEdit>("NumEdit_KOSUU")->text(), "count");
        // The selected tab's record is what the first showing loads.
        QCOMPARE(r.text("Edit_MyZip"), QString::number(r.tabs()->currentIndex()));
        QVERIFY(r.boxes.errors.isEmpty());
    }

    void unknownKeysAndHandEditsSurviveTheEnd() {
        const QByteArray hand =
            "; my notes\n[Other]\nE_ZIP=elsewhere\n[ VM_PELICANPRN ]\nop023myzip = 100-0001\nE_CUS=  \"  Sato  \"  \n"
            "Custom=kept\n\n[Tail]\nx=1\n";
        writeFile(path("vamu_Pelican.ini"), hand);
        {
            Run r(dir->path());
            QCOMPARE(r.text("Edit_MyZip"), QStringLiteral("100-0001"));  // my0.txt missing: from the settings
            QCOMPARE(r.text("Edit_Custo1"), QStringLiteral("  Sato  "));
            r.set("Edit_MyZip", QStringLiteral("105-0004"));
        }
        const QByteArray after = readFile(path("vamu_Pelican.ini"));
        QVERIFY(after.startsWith("; my notes\n[Other]\nE_ZIP=elsewhere\n[ VM_PELICANPRN ]\nOP023MyZip=105-0004\n"));
        QVERIFY(after.contains("Custom=kept\nAddr_Font=1\r\n"));
        QVERIFY(after.endsWith("Tab_My=0\r\n\n[Tail]\nx=1\n"));
        QCOMPARE(after.count("OP023MyZip"), 1);
    }

    void senderSave_data() {
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("all empty") << QStringList{QString(), QString(), QString(), QString(), QString()};
        QTest::newRow("full, double-byte") << kSenderB;
    }
    void senderSave() {
        QFETCH(QStringList, fields);
        writeFile(path("my0.txt"), recordBytes(kSenderA));
        Run r(dir->path(), {true});
        r.setSenderFields(fields);
        r.w<QCheckBox>("CheckBox_My")->setChecked(false);  // printing only; saving is the same
        r.w<QPushButton>("BitBtn_My")->setFocus();
        r.click("BitBtn_My");
        QCOMPARE(r.boxes.questions, QStringList{QStringLiteral("ご依頼主を登録しますか?")});
        QCOMPARE(r.boxes.notices, QStringList{QStringLiteral("ご依頼主を登録しました")});
        QVERIFY(r.boxes.errors.isEmpty());
        QCOMPARE(readFile(path("my0.txt")), recordBytes(fields));
        QCOMPARE(r.focusedName(), QStringLiteral("Edit_MyZip"));
        // The settings file is not written by the save.
        QVERIFY(!QFile::exists(path("vamu_Pelican.ini")));
    }

    void senderSaveAnsweredNoWritesNothing() {
        writeFile(path("my0.txt"), recordBytes(kSenderA));
        Run r(dir->path(), {false});
        r.set("Edit_My", QStringLiteral("changed"));
        r.click("BitBtn_My");
        QCOMPARE(r.boxes.questions.size(), 1);
        QVERIFY(r.boxes.notices.isEmpty());
        QCOMPARE(readFile(path("my0.txt")), recordBytes(kSenderA));
        QCOMPARE(r.focusedName(), QStringLiteral("Edit_MyZip"));
    }

    void tabChangesLoadRecords() {
        writeFile(path("my0.txt"), "100-0001\r\nline 2\r\nline 3\r\n");                  // three lines
        writeFile(path("my1.txt"), "1\n2\n3\n4\n5\n6\n7\n");                              // seven, LF only
        Run r(dir->path(), {true});
        QCOMPARE(r.senderFields(), lines("100-0001|line 2|line 3||"));
        r.set("Edit_My", QStringLiteral("unsaved edit"));
        r.clickTab(1);
        QCOMPARE(r.tabs()->currentIndex(), 1);
        QCOMPARE(r.senderFields(), lines("1|2|3|4|5"));
        r.clickTab(0);
        QCOMPARE(r.text("Edit_My"), QString());  // the unsaved edit is gone
        // A tab never saved: error box, the previous sender stays.
        r.clickTab(2);
        QCOMPARE(r.boxes.errors, QStringList{QStringLiteral("File not found.")});
        QCOMPARE(r.senderFields(), lines("100-0001|line 2|line 3||"));
        // Saving now gives tab 2 the previous sender.
        r.click("BitBtn_My");
        QCOMPARE(readFile(path("my2.txt")), QByteArray("100-0001\r\nline 2\r\nline 3\r\n\r\n\r\n"));
    }

    void failedSenderSaveKeepsTheOldRecord_data() {
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("message");
        QTest::newRow("disk full") << ENOSPC << QStringLiteral("No space left on device.");
        QTest::newRow("read-only") << EROFS << QStringLiteral("File access denied.");
        QTest::newRow("permission") << EACCES << QStringLiteral("File access denied.");
    }
    void failedSenderSaveKeepsTheOldRecord() {
        QFETCH(int, error);
        writeFile(path("my0.txt"), recordBytes(kSenderA));
        Run r(dir->path(), {true});
        r.set("Edit_My", QStringLiteral("new name"));
        r.w<QLabel>("Panel_HelpMess")->setText(QStringLiteral("prompt"));
        setAtomicWriteFaultForTesting([error](AtomicWriteStep s) { return s == AtomicWriteStep::Write ? error : 0; });
        r.click("BitBtn_My");
        setAtomicWriteFaultForTesting({});
        QTEST(r.boxes.errors.value(0), "message");
        QVERIFY(r.boxes.notices.isEmpty());
        QCOMPARE(readFile(path("my0.txt")), recordBytes(kSenderA));
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

    void failedSettingsWriteShowsThePathAndKeepsTheOldFile() {
        const QByteArray old = "[vm_Pelicanprn]\r\nE_ZIP=old\r\n";
        writeFile(path("vamu_Pelican.ini"), old);
        writeFile(path("my0.txt"), recordBytes(kSenderA));
        Run r(dir->path());
        r.set("Edit_Zip", QStringLiteral("new"));
        setAtomicWriteFaultForTesting([](AtomicWriteStep s) { return s == AtomicWriteStep::Sync ? ENOSPC : 0; });
        r.form->close();
        r.form->runFormDestroyOnce();
        setAtomicWriteFaultForTesting({});
        QCOMPARE(r.boxes.errors,
                 QStringList{QDir(dir->path()).absoluteFilePath(QStringLiteral("vamu_Pelican.ini")) +
                             QStringLiteral(" に書き込めません.")});
        QCOMPARE(readFile(path("vamu_Pelican.ini")), old);
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    void hostileFilesStillOpenTheWindow_data() {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QByteArray>("record");
        QByteArray garbage;
        for (int i = 0; i < 100000; ++i) garbage += char((i * 7919 + 13) & 0xFF);
        const QByteArray longLine(1 << 20, 'x');
        QTest::newRow("binary garbage") << garbage << garbage;
        // The settings file just under the size the program reads at all.
        QTest::newRow("1 MB lines") << "[vm_Pelicanprn]\r\nE_CUS=" + longLine.left(longLine.size() - 64) + "\r\n"
                                    << longLine + "\r\n2\r\n3\r\n4\r\n5\r\n";
        static const char nulSettings[] = "[vm_Pelicanprn]\r\nE_CUS=a\0b\x81\r\nTab_My=\0\r\n";
        static const char nulRecord[] = "\x82\r\n\0\r\n\xff\xfe\r\n";
        QTest::newRow("NUL bytes and broken Shift-JIS")
            << QByteArray(nulSettings, sizeof nulSettings - 1) << QByteArray(nulRecord, sizeof nulRecord - 1);
    }
    void hostileFilesStillOpenTheWindow() {
        QFETCH(QByteArray, settings);
        QFETCH(QByteArray, record);
        writeFile(path("vamu_Pelican.ini"), settings);
        writeFile(path("my0.txt"), record);
        {
            Run r(dir->path());
            QVERIFY(r.form->isVisible());
            QVERIFY(r.boxes.errors.isEmpty());
            QCOMPARE(r.tabs()->currentIndex(), 0);
            QVERIFY(r.text("Edit_Custo1").size() <= 2047);
        }
        // The end of the run still writes a settings file that reads back.
        QVERIFY(readFile(path("vamu_Pelican.ini")).contains("Tab_My=0\r\n"));
    }

    void settingsFollowTheBaseFolderNotTheCurrentOne() {
        writeFile(path("my0.txt"), recordBytes(kSenderA));
        QTemporaryDir elsewhere;
        {
            Run r(dir->path());
            r.set("Edit_Zip", QStringLiteral("100-0001"));
            QDir::setCurrent(elsewhere.path());
        }
        QVERIFY(readFile(path("vamu_Pelican.ini")).contains("E_ZIP=100-0001\r\n"));
        QVERIFY(!QFile::exists(elsewhere.filePath(QStringLiteral("vamu_Pelican.ini"))));
    }
};

QTEST_MAIN(TestSettingsForm)
#include "settings_form_test.moc"
