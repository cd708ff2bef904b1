// The history and address book through the real main window: prints that
// are recorded or not, a store that cannot be written, the history window
// (search, range, take, delete, CSV), and the お届け先登録 button with the
// completion lists on Edit_tel and Edit_Custo1.
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QtTest>

#include "app/main_form/app_windows.h"
#include "widgets/history_book.h"
#include "app/history/history_table_model.h"
#include "app/history/history_window.h"
#include "app/history/shared_db_dialog.h"
#include "batch/tracking_number.h"
#include "widgets/sjis_line_edit.h"
#include "print/Wb_d97_Dot.h"
#include "history/history_store.h"
#include "history/sqlite_db.h"
#include "tests/app/test_form_fixture.h"
#include "tests/support/file_bytes.h"
#include "tests/support/input_method.h"
#include "text/sjis_qt.h"

namespace {

// The form and the hidden layout window, as main() creates them.
struct HistoryFixture {
    ShownForm shown;
    TWb_d97_Dot dot;

    HistoryFixture() {
        Form_Main = shown.form.get();
        Wb_d97_Dot = &dot;
    }
    ~HistoryFixture() {
        Form_Main = nullptr;
        Wb_d97_Dot = nullptr;
    }
    TForm_Main& form() { return *shown.form; }
    QLineEdit* edit(const char* name) { return shown.find<QLineEdit>(QLatin1String(name)); }
    void set(const char* name, const char* utf8) { edit(name)->setText(QString::fromUtf8(utf8)); }
    QString text(const char* name) { return edit(name)->text(); }
    QString prompt() { return shown.find<QLabel>(QStringLiteral("Panel_HelpMess"))->text(); }

    std::vector<store::WaybillRecord> rows(const char* search = "") {
        std::vector<store::WaybillRecord> out;
        store::HistoryQuery q;
        q.search = sjis::fromQString(QString::fromUtf8(search));
        form().historyBook()->run([&](store::HistoryBackend& s) { out = s.list(q); });
        return out;
    }
    void consignee(const char* name, const char* tel, const char* add1, const char* g1 = "") {
        set("Edit_Zip", "100-0005");
        set("Edit_Add1", add1);
        set("Edit_Add2", "");
        set("Edit_Custo1", name);
        set("Edit_tel", tel);
        set("Edit_G1", g1);
    }
    void print() {
        shown.boxes.answer(true);
        form().SpeedButton_F11Click();
    }
    HistoryWindow* openHistory() {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F8);
        auto* w = form().findChild<HistoryWindow*>();
        if (w) settled(w);
        return w;
    }
    // Waits for the window's search to answer (it runs on the reader's thread).
    static bool settled(HistoryWindow* w) {
        return QTest::qWaitFor([w] { return w->Label_Count->text() != QStringLiteral("検索しています…"); });
    }
};

QString u(const char* utf8) { return QString::fromUtf8(utf8); }

// Types the text one character at a time, as the keyboard delivers it.
void typeInto(QWidget* w, const QString& text) {
    for (const QChar ch : text) QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

// The completion list of a field (a window of its own).
QListWidget* completionOf(const char* field) {
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == QLatin1String(field) + QLatin1String("_Completion"))
            return qobject_cast<QListWidget*>(top);
    return nullptr;
}

}  // namespace

class TestFormHistory : public QObject {
    Q_OBJECT
private slots:
    void acceptedPrintsAreRecordedOthersAreNot() {
        HistoryFixture fx;
        fx.consignee("山田太郎", "03-1234-5678", "東京都千代田区丸の内1-1", "りんご");
        fx.form().CheckBox_Pelican_3->setChecked(true);
        fx.print();
        QCOMPARE(fx.shown.printers->documents.size(), std::size_t{1});
        auto rows = fx.rows();
        QCOMPARE(rows.size(), std::size_t{1});
        QCOMPARE(sjis::toQString(rows[0].consignee.name), u("山田太郎"));
        QCOMPARE(rows[0].timeBand[2], true);
        QCOMPARE(rows[0].printer, std::string("Fake"));
        QCOMPARE(sjis::toQString(rows[0].feedMode), fx.form().ComboBox_SEL->currentText());
        QCOMPARE(rows[0].job, std::int64_t{fx.shown.printers->documents[0].job});

        fx.form().Label_Prn_Top->setText(u("abc"));  // the layout refuses it: aborted
        fx.print();
        QVERIFY(fx.shown.printers->documents.back().aborted);
        QCOMPARE(fx.rows().size(), std::size_t{1});
    }

    // The print question carries the first form's number: a scanned number
    // is recorded with the print, the next print proposes the next form,
    // a number failing its check is refused and asked again.
    void theFirstFormsNumberIsRecordedAndTheNextProposed() {
        HistoryFixture fx;
        fx.consignee("山田太郎", "03-1234-5678", "東京都千代田区丸の内1-1");
        fx.print();  // nothing recorded yet: nothing proposed
        QCOMPARE(fx.shown.boxes.offeredNumbers, QStringList{QString()});
        QCOMPARE(fx.rows().front().tracking, std::string());

        fx.shown.boxes.numbers.push_back(u("A1234-5678-9013A"));
        fx.print();
        QCOMPARE(fx.rows().front().tracking, std::string("123456789013"));
        fx.print();  // the proposal taken as it is
        QCOMPARE(fx.shown.boxes.offeredNumbers.back(), u("123456789024"));
        QCOMPARE(fx.rows().front().tracking, std::string("123456789024"));

        const std::size_t printed = fx.shown.printers->documents.size();
        fx.shown.boxes.numbers.push_back(u("123456789014"));
        fx.shown.boxes.answer(true);
        fx.shown.boxes.answer(false);  // asked again with the refused number: No
        fx.form().SpeedButton_F11Click();
        QCOMPARE(fx.shown.boxes.errors.back(), u("伝票番号の検査数字が合いません."));
        QCOMPARE(fx.shown.boxes.offeredNumbers.back(), u("123456789014"));
        QCOMPARE(fx.shown.printers->documents.size(), printed);
        QCOMPARE(fx.rows().size(), std::size_t{3});
    }

    void aStoreThatCannotBeWrittenStillPrintsAndSaysSo() {
        HistoryFixture fx;
        fx.rows();  // the store exists
        {
            store::SqliteDb other(fx.form().historyBook()->filePath().toStdString(),
                                  store::SqliteDb::Mode::ReadWriteCreate);
            other.exec("BEGIN EXCLUSIVE");
            fx.consignee("山田太郎", "03-1234-5678", "東京都");
            fx.shown.boxes.errors.clear();  // the start's missing sender file
            fx.print();
        }
        QCOMPARE(fx.shown.printers->documents.size(), std::size_t{1});
        QVERIFY(fx.shown.printers->documents[0].ended);
        QVERIFY2(fx.prompt().contains(u("履歴は保存できませんでした")), qPrintable(fx.prompt()));
        QVERIFY(fx.shown.boxes.errors.isEmpty());
        QCOMPARE(fx.rows().size(), std::size_t{0});
        fx.print();  // the lock is gone: recorded again
        QCOMPARE(fx.rows().size(), std::size_t{1});
    }

    void aDamagedFileIsMovedAsideWithANotice() {
        HistoryFixture fx;
        QTemporaryDir other;
        const QString file = other.filePath(QStringLiteral("vamu_Pelican.db"));
        // A file of ours whose header is all that is left.
        { store::HistoryStore made(file.toStdString()); }
        writeFile(file, readFile(file).left(100));
        fx.form().historyBook()->setFolder(other.path());
        QCOMPARE(fx.rows().size(), std::size_t{0});
        QCOMPARE(fx.shown.boxes.notices.size(), 1);
        QVERIFY(fx.shown.boxes.notices[0].contains(u("vamu_Pelican.db.broken-")));
        QCOMPARE(QDir(other.path()).entryList({QStringLiteral("vamu_Pelican.db.broken-*")}).size(), 1);
    }

    void aPasswordInTheSettingsFileIsRefusedAndTheStationKeepsItsOwnHistory() {
        HistoryFixture fx;
        QTemporaryDir other;
        const QString ini = other.filePath(QStringLiteral("vamu_Pelican.ini"));
        const QByteArray settings = "[SharedDatabase]\r\nConninfo=host=/nowhere dbname=shop PassWord = 'se cret'\r\n";
        writeFile(ini, settings);
        fx.shown.boxes.notices.clear();
        HistoryBook* book = fx.form().historyBook();
        book->setFolder(other.path());
        QCOMPARE(fx.shown.boxes.notices, QStringList{u("パスワードは接続文字列に書かず、~/.pgpass に書いて下さい")});
        QVERIFY(book->sharedConninfo().isEmpty());
        fx.consignee("山田太郎", "03-1234-5678", "東京都");
        fx.print();
        QCOMPARE(fx.rows().size(), std::size_t{1});
        QVERIFY(QFileInfo::exists(other.filePath(QStringLiteral("vamu_Pelican.db"))));
        QCOMPARE(readFile(ini), settings);
    }

    // Without libpq a shared database cannot be read: F8 says which package
    // is missing and the window goes on, the print kept in the outbox.
    void aMissingClientLibraryIsABoxNamingThePackage() {
        HistoryFixture fx;
        QTemporaryDir other;
        writeFile(other.filePath(QStringLiteral("vamu_Pelican.ini")),
                  "[SharedDatabase]\r\nConninfo=host=/nowhere dbname=shop\r\n");
        qputenv("VP_LAZY_LIBPQ", "libvp_not_installed.so.7");
        fx.form().historyBook()->setFolder(other.path());
        fx.consignee("山田太郎", "03-1234-5678", "東京都");
        fx.print();
        fx.shown.boxes.errors.clear();
        HistoryWindow* window = fx.openHistory();
        QVERIFY(window);
        QTRY_COMPARE(fx.shown.boxes.errors.size(), 1);
        qunsetenv("VP_LAZY_LIBPQ");
        QVERIFY2(fx.shown.boxes.errors[0].contains(u("パッケージ libpq5 をインストールして下さい")),
                 qPrintable(fx.shown.boxes.errors[0]));
        QVERIFY(fx.form().isVisible());
        QCOMPARE(store::HistoryStore(fx.form().historyBook()->filePath().toStdString()).unsentCount(), std::int64_t{1});
    }

    void aFileThatIsNoHistoryIsLeftAlone() {
        HistoryFixture fx;
        QTemporaryDir other;
        const QString file = other.filePath(QStringLiteral("vamu_Pelican.db"));
        writeFile(file, QByteArray(3000, 'x'));
        fx.form().historyBook()->setFolder(other.path());
        QCOMPARE(fx.rows().size(), std::size_t{0});
        QCOMPARE(readFile(file), QByteArray(3000, 'x'));
        QCOMPARE(QDir(other.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("vamu_Pelican.db")});
    }

    void theHistoryWindowSearchesAndFillsTheForm() {
        HistoryFixture fx;
        QVERIFY(fx.form().SpeedButton_F8->isEnabled());
        QCOMPARE(fx.form().SpeedButton_F8->text(), u("履歴"));
        fx.consignee("山田太郎", "03-1234-5678", "東京都千代田区丸の内1-1", "りんご");
        fx.set("Edit_G2", "みかん");
        fx.print();
        fx.consignee("佐藤花子", "06-9999-0000", "大阪府大阪市北区", "書籍");
        fx.print();
        fx.form().Edit_Cls();
        fx.set("Edit_My", "ペリカン商店");

        HistoryWindow* w = fx.openHistory();
        QVERIFY(w && w->isVisible());
        QCOMPARE(w->model()->rowCount(), 2);
        QCOMPARE(w->model()->text(0, 1), u("佐藤花子"));  // newest first
        typeInto(w->Edit_Search, u("千代田"));
        QVERIFY(fx.settled(w));
        QCOMPARE(w->model()->rowCount(), 1);
        w->Edit_Search->setText(u("0312345678"));  // the number without hyphens
        QVERIFY(fx.settled(w));
        QCOMPARE(w->model()->rowCount(), 1);
        w->Edit_Search->setText(u("１０００００５"));  // the postal code without its hyphen, full-width
        QVERIFY(fx.settled(w));
        QCOMPARE(w->model()->rowCount(), 2);
        w->Edit_Search->setText(u("0312345678"));
        QVERIFY(fx.settled(w));
        w->CheckBox_Range->setChecked(true);
        QVERIFY(fx.settled(w));
        w->DateEdit_From->setDate(QDate::currentDate().addDays(1));
        QVERIFY(fx.settled(w));
        w->DateEdit_To->setDate(QDate::currentDate().addDays(2));
        QVERIFY(fx.settled(w));
        QCOMPARE(w->model()->rowCount(), 0);
        w->CheckBox_Range->setChecked(false);
        QVERIFY(fx.settled(w));
        QCOMPARE(w->model()->rowCount(), 1);

        QTest::keyClick(w->Grid_History, Qt::Key_Return);
        QVERIFY(!w->isVisible());
        QCOMPARE(fx.text("Edit_Custo1"), u("山田太郎"));
        QCOMPARE(fx.text("Edit_tel"), u("03-1234-5678"));
        QCOMPARE(fx.text("Edit_Add1"), u("東京都千代田区丸の内1-1"));
        QCOMPARE(fx.text("Edit_Zip"), u("100-0005"));
        QCOMPARE(fx.text("Edit_G2"), u("みかん"));
        QCOMPARE(fx.text("Edit_My"), u("ペリカン商店"));  // the sender stays
        QTRY_COMPARE(fx.shown.focusedName(), u("Edit_G1"));
    }

    void theHistoryWindowDeletesAndExports() {
        HistoryFixture fx;
        fx.consignee("山田太郎", "03-1234-5678", "=cmd|' /C calc'!A0");
        fx.print();
        fx.consignee("佐藤花子", "06-9999-0000", "大阪府");
        fx.print();
        store::WaybillRecord known;  // a row whose time the question shows
        known.time = "2026-12-07 14:03:27";
        known.consignee.name = sjis::fromQString(u("山田 太郎"));
        known.consignee.zip = "105-0011";
        fx.form().historyBook()->run([&](store::HistoryBackend& s) { s.record(known); });
        HistoryWindow* w = fx.openHistory();
        // The print time is shown whole, however the font measures it.
        QStyleOptionViewItem cell;
        cell.initFrom(w->Grid_History);
        cell.font = w->Grid_History->font();
        const QModelIndex stamp = w->Grid_History->model()->index(0, 0);
        QVERIFY(w->Grid_History->columnWidth(0) > w->Grid_History->itemDelegate()->sizeHint(cell, stamp).width());

        QTemporaryDir out;
        const QString csvPath = out.filePath(QStringLiteral("h.csv"));
        w->askCsvPath = [&](QWidget*, const QString&) { return csvPath; };
        w->BitBtn_Csv->click();
        const QByteArray csv = readFile(csvPath);
        QVERIFY(csv.startsWith("\xEF\xBB\xBF\""));
        QCOMPARE(csv.count("\r\n"), 4);
        QVERIFY(csv.contains(u("\"佐藤花子\"").toUtf8()));
        QVERIFY(csv.contains("\"'=cmd|' /C calc'!A0\""));
        // Never over the live database it is made from.
        const QString db = fx.form().historyBook()->filePath();
        const QByteArray dbBytes = readFile(db);
        w->askCsvPath = [&](QWidget*, const QString&) { return db; };
        const qsizetype errorsBefore = fx.shown.boxes.errors.size();
        w->BitBtn_Csv->click();
        QCOMPARE(fx.shown.boxes.errors.size(), errorsBefore + 1);
        QCOMPARE(readFile(db), dbBytes);
        QCOMPARE(fx.rows().size(), std::size_t{3});

        // The question names the one entry it deletes.
        w->Grid_History->selectRow(0);
        fx.shown.boxes.answer(false);
        w->BitBtn_Delete->click();
        QVERIFY(fx.settled(w));
        QCOMPARE(fx.shown.boxes.questions.last(), u("山田 太郎 様（2026/12/07 14:03）を削除しますか?"));
        QCOMPARE(fx.rows().size(), std::size_t{3});
        fx.shown.boxes.answer(true);
        w->BitBtn_Delete->click();
        QVERIFY(fx.settled(w));
        QCOMPARE(fx.rows().size(), std::size_t{2});

        w->Grid_History->selectAll();
        fx.shown.boxes.answer(false);
        w->BitBtn_Delete->click();
        QVERIFY(fx.settled(w));
        QCOMPARE(fx.shown.boxes.questions.last(), u("選択した履歴 2 件を削除しますか?"));
        w->Grid_History->selectRow(1);
        fx.shown.boxes.answer(true);
        w->BitBtn_Delete->click();
        QVERIFY(fx.settled(w));
        QCOMPARE(fx.rows().size(), std::size_t{1});
        QCOMPARE(w->model()->rowCount(), 1);
        QCOMPARE(w->model()->text(0, 1), u("佐藤花子"));
    }

    // Orders in the history: found by their number, a form's number set or
    // corrected on a row (a wrong check digit refused, nothing stored), the
    // shipped ones written as a confirmation file; none shipped: no file.
    void theHistoryWindowRecordsTrackingNumbersAndExportsShippedOrders() {
        HistoryFixture fx;
        for (const char* order : {"#1001", "#1002"}) {
            store::WaybillRecord r;
            r.consignee.name = sjis::fromQString(u("山田太郎"));
            r.date = "2026/12/07";
            r.orderNo = order;
            fx.form().historyBook()->run([&](store::HistoryBackend& s) { s.record(r); });
        }
        HistoryWindow* w = fx.openHistory();
        QTemporaryDir out;
        const QString path = out.filePath(QStringLiteral("shipped.csv"));
        w->askShippedPath = [&](QWidget*, const QString&) { return path; };
        w->ComboBox_Shipped->setCurrentIndex(1);  // the plain list
        w->BitBtn_Shipped->click();
        QTRY_VERIFY(!fx.shown.boxes.notices.isEmpty());
        QCOMPARE(fx.shown.boxes.notices.back(), u("出荷済みの注文 (注文番号と伝票番号のある行) がありません"));
        QVERIFY(!QFile::exists(path));

        w->Edit_Search->setText(u("#1001"));
        QVERIFY(fx.settled(w));
        QCOMPARE(w->model()->rowCount(), 1);
        QCOMPARE(w->model()->text(0, 7), u("#1001"));
        typeInto(w->Edit_Tracking, u("123456789014"));
        QTest::keyClick(w->Edit_Tracking, Qt::Key_Return);
        QVERIFY(fx.settled(w));
        QCOMPARE(fx.shown.boxes.errors.back(), u("伝票番号の検査数字が合いません."));
        QCOMPARE(fx.rows("#1001").front().tracking, std::string());
        w->Edit_Tracking->setText(u("A1234-5678-9013D"));
        QTest::keyClick(w->Edit_Tracking, Qt::Key_Return);
        QVERIFY(fx.settled(w));
        QCOMPARE(fx.rows("#1001").front().tracking, std::string("123456789013"));
        QCOMPARE(w->model()->text(0, 8), u("123456789013"));

        w->Edit_Search->clear();
        QVERIFY(fx.settled(w));
        w->BitBtn_Shipped->click();
        const QByteArray plain("\xEF\xBB\xBF\"注文番号\",\"伝票番号\",\"出荷日\",\"配送会社\"\r\n"
                               "\"#1001\",\"123456789013\",\"2026/12/07\",\"日本通運\"\r\n");
        QTRY_COMPARE(readFile(path), plain);
        // A file for each platform present: rows of no platform's own file
        // go in the plain list, after the user has seen which files come.
        QFile::remove(path);
        w->ComboBox_Shipped->setCurrentIndex(w->ComboBox_Shipped->count() - 1);
        fx.shown.boxes.answer(true);
        w->BitBtn_Shipped->click();
        // The rows are read off the window's thread: the question comes once they are.
        QTRY_VERIFY2(!fx.shown.boxes.questions.isEmpty() && fx.shown.boxes.questions.back().endsWith(u("plain")),
                     qPrintable(fx.shown.boxes.questions.join(u("/"))));
        QTRY_COMPARE(readFile(path), plain);
        w->ComboBox_Shipped->setCurrentIndex(1);

        // The same number on a second row is asked about, naming its row:
        // No keeps the row as it was, Yes records it.
        w->Edit_Search->setText(u("#1002"));
        QVERIFY(fx.settled(w));
        const QString held = u("伝票番号 123456789013 は 山田太郎 様（");
        for (const bool yes : {false, true}) {
            fx.shown.boxes.answer(yes);
            w->Edit_Tracking->setText(u("123456789013"));
            QTest::keyClick(w->Edit_Tracking, Qt::Key_Return);
            QVERIFY(fx.settled(w));
            QVERIFY2(fx.shown.boxes.questions.back().startsWith(held), qPrintable(fx.shown.boxes.questions.back()));
            QVERIFY(fx.shown.boxes.questions.back().contains(u("に記録済みです")));
            QCOMPARE(fx.rows("#1002").front().tracking, std::string(yes ? "123456789013" : ""));
        }

        // A row printed on another form takes that form's numbers: ten
        // digits without a check digit there, the built-in's twelve refused.
        store::WaybillRecord other;
        other.consignee.name = sjis::fromQString(u("鈴木一郎"));
        other.orderNo = "#1003";
        other.form = "ten";
        fx.form().historyBook()->run([&](store::HistoryBackend& s) { s.record(other); });
        w->trackingScheme = [](const std::string& id) {
            return id == "ten" ? batch::TrackingScheme{print::TrackingRule::Digits, 10} : batch::TrackingScheme{};
        };
        w->Edit_Search->setText(u("#1003"));
        QVERIFY(fx.settled(w));
        w->Edit_Tracking->setText(u("123456789024"));
        QTest::keyClick(w->Edit_Tracking, Qt::Key_Return);
        QVERIFY(fx.settled(w));
        QCOMPARE(fx.rows("#1003").front().tracking, std::string());
        w->Edit_Tracking->setText(u("0123456789"));
        QTest::keyClick(w->Edit_Tracking, Qt::Key_Return);
        QVERIFY(fx.settled(w));
        QCOMPARE(fx.rows("#1003").front().tracking, std::string("0123456789"));
    }

    // Each feed mode's printer has its own stack of forms: the number
    // proposed counts on from the last print in the current feed mode. A
    // number the history holds already is asked about before printing.
    void theProposalIsTheFeedModesOwnAndAHeldNumberIsAskedAbout() {
        HistoryFixture fx;
        fx.consignee("山田太郎", "03-1234-5678", "東京都千代田区丸の内1-1");
        fx.shown.boxes.numbers.push_back(u("300000000016"));
        fx.print();
        store::WaybillRecord other;
        other.consignee.name = sjis::fromQString(u("連続の客"));
        other.feedMode = sjis::fromQString(fx.form().ComboBox_SEL->itemText(1));
        other.tracking = "200000000012";
        fx.form().historyBook()->run([&](store::HistoryBackend& s) { s.record(other); });
        QCOMPARE(fx.form().proposedFirstNumber(), u("300000000020"));
        fx.form().ComboBox_SEL->setCurrentIndex(1);
        QCOMPARE(fx.form().proposedFirstNumber(), u("200000000023"));
        fx.form().ComboBox_SEL->setCurrentIndex(0);

        const std::size_t printed = fx.shown.printers->documents.size();
        fx.shown.boxes.numbers.push_back(u("200000000012"));
        fx.shown.boxes.answer(true);
        fx.shown.boxes.answer(false);  // the number is held: not this one
        fx.shown.boxes.answer(false);  // asked again with it: No
        fx.form().SpeedButton_F11Click();
        QVERIFY2(fx.shown.boxes.questions.contains(u("伝票番号 200000000012 は 連続の客 様（") +
                                                   QString::fromStdString(fx.rows("連続の客").front().time.substr(0, 16))
                                                       .replace(u'-', u'/') +
                                                   u("）に記録済みです\nこの番号で印刷しますか?")),
                 qPrintable(fx.shown.boxes.questions.join(u'|')));
        QCOMPARE(fx.shown.printers->documents.size(), printed);
        QCOMPARE(fx.shown.boxes.offeredNumbers.back(), u("200000000012"));
    }

    // A print whose job was being handed over when the program ended shows
    // as such; it is no shipped order.
    void aPrintOfUnknownOutcomeShowsAsSuch() {
        HistoryFixture fx;
        store::WaybillRecord r;
        r.consignee.name = sjis::fromQString(u("不明の客"));
        r.printer = "Dot24";
        r.job = store::WaybillRecord::kJobPrinting;
        fx.form().historyBook()->run([&](store::HistoryBackend& s) { s.record(r); });
        HistoryWindow* w = fx.openHistory();
        QCOMPARE(w->model()->text(0, 6), u("Dot24（印刷されたか不明）"));
    }

    // With the input method on, a scanned number and its Enter record as
    // with it off, and the next scan starts on an empty field. The
    // connection string of the shared database is typed as is, too.
    void scansRecordWithTheInputMethodOn() {
        HistoryFixture fx;
        for (const char* order : {"#1001", "#1002"}) {
            store::WaybillRecord r;
            r.orderNo = order;
            fx.form().historyBook()->run([&](store::HistoryBackend& s) { s.record(r); });
        }
        HistoryWindow* w = fx.openHistory();
        QVERIFY(!composesIn(w->Edit_Tracking));
        const std::string first = "123456789013";
        for (const auto& [order, number] : {std::pair{"#1001", first}, std::pair{"#1002", batch::nextTracking(first)}}) {
            for (int i = 0; i < w->model()->rowCount(); ++i)
                if (w->model()->text(i, 7) == u(order)) w->Grid_History->setCurrentIndex(w->model()->index(i, 0));
            typeThroughInputMethod(w->Edit_Tracking, QString::fromStdString(number));
            QVERIFY(fx.settled(w));
            QCOMPARE(fx.rows(order).front().tracking, number);
            QVERIFY(w->Edit_Tracking->text().isEmpty());
        }
        SharedDbDialog dialog(*fx.form().historyBook(), nullptr);
        QVERIFY(!composesIn(dialog.Edit_Conninfo));
    }

    void typingOffersConsigneesAndEnterTakesOne() {
        HistoryFixture fx;
        fx.consignee("山田太郎", "03-1234-5678", "東京都千代田区");
        fx.print();
        fx.form().Edit_Cls();
        fx.form().BitBtn_AddrBook->click();  // kept only with a name
        QCOMPARE(fx.shown.boxes.notices.last(), u("おなまえを入力して下さい"));
        fx.consignee("山田商店", "０３－１２００－１１１１", "東京都渋谷区");
        fx.shown.boxes.answer(true);
        fx.form().BitBtn_AddrBook->click();
        QCOMPARE(fx.shown.boxes.notices.last(), u("お届け先を登録しました"));
        fx.form().Edit_Cls();
        QWidget* tel = fx.edit("Edit_tel");
        fx.shown.focus(QStringLiteral("Edit_tel"));
        QTest::keyClicks(tel, QStringLiteral("0312"));
        // The lists are read on the reader's thread: they show a moment later.
        QTRY_VERIFY(completionOf("Edit_tel") && completionOf("Edit_tel")->isVisible());
        QListWidget* list = completionOf("Edit_tel");
        QCOMPARE(list->count(), 2);  // the address book's first, then the history's
        QVERIFY(list->item(0)->text().startsWith(u("山田商店")));

        // Escape ignores the list; the text stays as typed.
        QTest::keyClick(tel, Qt::Key_Escape);
        QVERIFY(!list->isVisible());
        QCOMPARE(fx.text("Edit_tel"), u("0312"));

        // Down, Down, Enter takes the second and fills the whole consignee.
        QTest::keyClicks(tel, QStringLiteral("-"));
        QTRY_VERIFY(list->isVisible());
        QTest::keyClick(tel, Qt::Key_Down);
        QTest::keyClick(tel, Qt::Key_Down);
        QTest::keyClick(tel, Qt::Key_Return);
        QVERIFY(!list->isVisible());
        QCOMPARE(fx.text("Edit_Custo1"), u("山田太郎"));
        QCOMPARE(fx.text("Edit_tel"), u("03-1234-5678"));
        QCOMPARE(fx.text("Edit_Add1"), u("東京都千代田区"));
        QCOMPARE(fx.shown.focusedName(), u("Edit_tel"));

        // Enter with nothing chosen keeps its meaning: on to the goods.
        fx.form().Edit_Cls();
        QTest::keyClicks(tel, QStringLiteral("0312"));
        QTRY_VERIFY(list->isVisible());
        QTest::keyClick(tel, Qt::Key_Return);
        QCOMPARE(fx.shown.focusedName(), u("Edit_G1"));
        QCOMPARE(fx.text("Edit_Custo1"), QString());

        // The name field offers by name.
        fx.shown.focus(QStringLiteral("Edit_Custo1"));
        fx.edit("Edit_Custo1")->clear();
        typeInto(fx.edit("Edit_Custo1"), u("山田太"));
        QTRY_VERIFY(completionOf("Edit_Custo1") && completionOf("Edit_Custo1")->isVisible());
        QListWidget* byName = completionOf("Edit_Custo1");
        QCOMPARE(byName->count(), 1);
    }

    // The list shows its entries whole, hides no field the user may click
    // next, and only a chosen entry changes the form.
    void theCompletionListStaysClearAndTakesOnlyAChosenEntry() {
        HistoryFixture fx;
        fx.form().historyBook()->run([](store::HistoryBackend& s) {
            for (int i = 1; i <= 6; ++i)
                s.keepConsignee({"100-0005", sjis::fromQString(u("東京都千代田区丸の内一丁目%1番地 新丸の内ビルディング").arg(i)),
                                 "", sjis::fromQString(u("山田%1").arg(i)), "03-1234-567" + std::to_string(i)});
        });
        QLineEdit* name = fx.edit("Edit_Custo1");
        fx.shown.focus(QStringLiteral("Edit_Custo1"));
        typeInto(name, u("山田"));
        QTRY_VERIFY(completionOf("Edit_Custo1") && completionOf("Edit_Custo1")->isVisible());
        QListWidget* list = completionOf("Edit_Custo1");
        QCOMPARE(list->count(), 6);
        QVERIFY(!list->verticalScrollBar()->isVisible() && !list->horizontalScrollBar()->isVisible());
        QVERIFY(list->viewport()->rect().contains(list->visualItemRect(list->item(5))));
        for (const char* field : {"Edit_Zip", "Edit_Add1", "Edit_Add2", "Edit_Add3", "Edit_Custo1", "Edit_tel",
                                  "DateTimePicker_1", "Edit_de_date1", "Edit_G1", "Edit_G2", "Edit_G3"}) {
            QWidget* w = fx.shown.find(QLatin1String(field));
            QVERIFY2(!list->geometry().intersects(QRect(w->mapToGlobal(QPoint(0, 0)), w->size())), field);
        }

        // A click on another field or on the window's background closes the
        // list and leaves every text as typed.
        QTest::mouseClick(fx.edit("Edit_tel"), Qt::LeftButton);
        QVERIFY(!list->isVisible());
        QCOMPARE(fx.shown.focusedName(), u("Edit_tel"));
        QCOMPARE(name->text(), u("山田"));
        QVERIFY(fx.text("Edit_tel").isEmpty() && fx.text("Edit_Add1").isEmpty());
        QTest::keyClicks(fx.edit("Edit_tel"), QStringLiteral("03-1234"));
        QTRY_VERIFY(completionOf("Edit_tel") && completionOf("Edit_tel")->isVisible());
        QListWidget* byTel = completionOf("Edit_tel");
        QTest::mouseClick(fx.form().Panel1, Qt::LeftButton, {}, QPoint(20, 150));
        QVERIFY(!byTel->isVisible());
        QCOMPARE(fx.text("Edit_tel"), u("03-1234"));
        QCOMPARE(name->text(), u("山田"));

        // A click on an entry takes that entry.
        QTest::keyClicks(fx.edit("Edit_tel"), QStringLiteral("-567"));
        QTRY_VERIFY(byTel->isVisible());
        QTest::mouseClick(byTel->viewport(), Qt::LeftButton, {}, byTel->visualItemRect(byTel->item(2)).center());
        QVERIFY(!byTel->isVisible());
        QCOMPARE(name->text(), u("山田3"));
        QCOMPARE(fx.text("Edit_tel"), u("03-1234-5673"));
    }
};

QTEST_MAIN(TestFormHistory)
#include "form_history_test.moc"
