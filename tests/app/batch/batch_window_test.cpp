// The batch window driven through its widgets on the real main window:
// F9 opens it, a file fills the table with its problems, edits and repairs
// check again, and so do changes of the main form's margins; a missing
// telephone is a warning accepted per row; the checked rows print as one
// job (then the empty page) after a question naming printer and forms,
// Cancel submits nothing, printed waybills reach the history. The window
// works from the keyboard alone, its mapping panel reads whole and keeps
// its choices under the mouse wheel, and the entry form's values it puts
// on every waybill show above the table.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QScrollBar>
#include <QWheelEvent>
#include <QDropEvent>
#include <QInputMethodQueryEvent>
#include <QLabel>
#include <QMimeData>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>
#include <sys/stat.h>

#include <functional>
#include <tuple>

#include "app/batch/batch_window.h"
#include "controls/TNumEdit.h"
#include "print/Form_SLIP97YPrn.h"
#include "batch/batch_file.h"
#include "history/history_store.h"
#include "tests/app/test_form_fixture.h"
#include "tests/support/input_method.h"
#include "text/sjis_convert.h"

namespace {

// Two good orders and one without a name, in Shift-JIS with CR LF.
const char kOrders[] =
    "郵便番号,住所,氏名,電話番号,品名\r\n"
    "1050011,東京都港区芝公園4-2-8,山田太郎,03-3433-1111,りんご\r\n"
    "5300001,大阪府大阪市北区梅田1-1-1,,06-6345-0000,みかん\r\n"
    "600000,北海道札幌市中央区北一条西2丁目,佐藤花子,312345678,かに\r\n";

struct BatchFixture {
    ShownForm shown;
    TBatchWindow* window = nullptr;

    BatchFixture() {
        QFile f(shown.dir.filePath(QStringLiteral("orders.csv")));
        const std::string bytes = *sjis::fromUtf8(kOrders);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes.data(), static_cast<qint64>(bytes.size())) < 0)
            qWarning("orders not written");
        f.close();
        shown.focus(QStringLiteral("Edit_Zip"));
        shown.key(Qt::Key_F9);
        window = shown.form->findChild<TBatchWindow*>(QStringLiteral("Form_Batch"));
        if (window) window->openFile(shown.dir.filePath(QStringLiteral("orders.csv")));
    }
    QTableWidget& table() const { return *window->Table_Orders; }
    QComboBox* column(int i) const {
        return window->Table_Mapping->findChild<QComboBox*>(QStringLiteral("ComboBox_Column%1").arg(i));
    }
    QString write(const QString& name, const QByteArray& bytes) const {
        const QString path = shown.dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) qWarning("%s not written", qPrintable(name));
        return path;
    }
    // A wheel turn (one notch down) over `w`, delivered as the pointer would.
    static void wheel(QWidget* w) {
        const QPointF at(w->width() / 2.0, w->height() / 2.0);
        QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        // As from the pointer, so it may go on to the widgets around `w`
        // (sendEvent would mark it as the program's own).
        QSpontaneKeyEvent::setSpontaneous(&e);
        qApp->notify(w, &e);
    }
    bool checked(int row) const { return table().item(row, 0)->checkState() == Qt::Checked; }
    QTableWidgetItem* cell(int row, batch::Col c) const {
        return table().item(row, TBatchWindow::kFirstFieldColumn + static_cast<int>(c));
    }
    // The texts drawn on one page of a printed document.
    static QStringList texts(const std::vector<print::RecordingSurface::Call>& page) {
        QStringList t;
        for (const auto& call : page) t << QString::fromStdString(sjis::toUtf8(call.text));
        return t;
    }
};

}  // namespace

class TestBatchWindow : public QObject {
    Q_OBJECT

private slots:
    void f9OpensTheWindowAndTheFileFillsTheTable() {
        BatchFixture b;
        QCOMPARE(b.shown.form->SpeedButton_F9->text(), QStringLiteral("一括印刷"));
        QVERIFY(b.shown.form->SpeedButton_F9->isEnabled());
        QVERIFY(b.window);
        QVERIFY(b.window->isVisible());
        QCOMPARE(b.window->windowTitle(), QStringLiteral("一括印刷"));
        QVERIFY(b.window->Label_File->text().contains(QStringLiteral("Shift-JIS")));
        QVERIFY2(b.window->Label_File->text().contains(QStringLiteral("3行、3件")), qPrintable(b.window->Label_File->text()));
        QCOMPARE(b.table().rowCount(), 3);
        QVERIFY(b.checked(0));
        QVERIFY(!b.checked(1));  // no name
        QVERIFY(!b.checked(2));  // spreadsheet damage waits for the user
        QCOMPARE(b.cell(1, batch::Col::Name)->background().color(), QColor(255, 176, 176));
        QVERIFY(b.cell(1, batch::Col::Name)->toolTip().contains(QStringLiteral("おなまえがありません")));
        QCOMPARE(b.cell(0, batch::Col::Zip)->text(), QStringLiteral("1050011"));
    }

    void editsAndRepairsCheckAgain() {
        BatchFixture b;
        b.cell(1, batch::Col::Name)->setText(QStringLiteral("鈴木一郎"));
        QVERIFY(b.checked(1));
        QVERIFY(b.cell(1, batch::Col::Name)->toolTip().isEmpty());
        QVERIFY(b.window->Button_RepairAll->isEnabled());
        QTest::mouseClick(b.window->Button_RepairAll, Qt::LeftButton);
        QCOMPARE(b.cell(2, batch::Col::Zip)->text(), QStringLiteral("060-0000"));
        QCOMPARE(b.cell(2, batch::Col::Tel)->text(), QStringLiteral("0312345678"));
        QVERIFY(b.checked(2));
        QVERIFY(!b.window->Button_RepairAll->isEnabled());
    }

    void checkedRowsPrintAsOneJobAndReachTheHistory() {
        BatchFixture b;
        b.cell(1, batch::Col::Name)->setText(QStringLiteral("鈴木一郎"));
        b.shown.boxes.answer(true);   // print
        b.shown.boxes.answer(true);   // save the unprinted row
        const QString rest = b.shown.dir.filePath(QStringLiteral("rest.csv"));
        b.window->askSavePath = [&](QWidget*, const QString&) { return rest; };
        QTest::mouseClick(b.window->Button_Print, Qt::LeftButton);

        // The printer and the feed mode on lines of their own.
        QCOMPARE(b.shown.boxes.questions.value(0), QStringLiteral("2件を印刷しますか?\nプリンタ: Fake\n用紙選択: 手差し"));
        auto& docs = b.shown.printers->documents;
        QCOMPARE(docs.size(), std::size_t{1});
        QVERIFY(docs[0].ended);
        QCOMPARE(docs[0].title, QStringLiteral("vamu_Pelican  "));
        // Two waybill pages back to back, no empty page after them.
        QCOMPARE(docs[0].pages.size(), std::size_t{2});
        QVERIFY(BatchFixture::texts(docs[0].pages[0]).contains(QStringLiteral("山田太郎")));
        QVERIFY(BatchFixture::texts(docs[0].pages[1]).contains(QStringLiteral("鈴木一郎")));
        QVERIFY(!b.checked(0));
        QVERIFY(b.table().item(0, TBatchWindow::kFirstFieldColumn + 12)->text().contains(QStringLiteral("印刷済")));

        store::HistoryStore history(b.shown.dir.filePath(QStringLiteral("vamu_Pelican.db")).toStdString());
        const auto rows = history.list({});
        QCOMPARE(rows.size(), std::size_t{2});
        QCOMPARE(rows[0].job, std::int64_t{docs[0].job});

        QCOMPARE(b.shown.boxes.questions.value(1), QStringLiteral("印刷しなかった1件を新しいCSVファイルに保存しますか?"));
        QFile f(rest);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray saved = f.readAll();
        const batch::OrderFile back = batch::readOrderFile(saved.toStdString());
        QCOMPARE(back.records.size(), std::size_t{1});
        QVERIFY(saved.contains("600000"));
    }

    // A platform's file: named, one row per order with its number and item
    // count; printed from a first form number, each waybill is recorded with
    // its order and form, and the form after the job's last is proposed
    // next. A number failing its check prints nothing.
    void platformOrdersPrintOntoNumberedForms() {
        BatchFixture b;
        const QString file = b.write(QStringLiteral("orders.txt"),
                                   "order-id\torder-item-id\trecipient-name\tship-address-1\tship-city\tship-state\t"
                                   "ship-postal-code\tship-phone-number\tproduct-name\tquantity-purchased\n"
                                   "250-1\t11\t山田太郎\t芝公園4-2-8\t港区\t東京都\t105-0011\t03-3433-1111\tノート\t2\n"
                                   "250-1\t12\t山田太郎\t芝公園4-2-8\t港区\t東京都\t105-0011\t03-3433-1111\tペン\t1\n"
                                   "250-2\t21\t鈴木一郎\t梅田1-1-1\t大阪市北区\t大阪府\t530-0001\t06-6345-0000\t手帳\t1\n");
        b.window->openFile(file);
        QVERIFY(b.window->Label_File->text().contains(QStringLiteral("Amazon の注文ファイルとして読み込みました")));
        QCOMPARE(b.table().rowCount(), 2);
        QCOMPARE(b.table().item(0, TBatchWindow::kOrderColumn)->text(), QStringLiteral("250-1"));
        QCOMPARE(b.table().item(0, TBatchWindow::kItemsColumn)->text(), QStringLiteral("2"));
        QCOMPARE(b.cell(0, batch::Col::G2)->text(), QStringLiteral("ペン ×1"));
        QCOMPARE(b.window->Edit_FirstNumber->text(), QString());  // no print recorded yet

        b.window->Edit_FirstNumber->setText(QStringLiteral("123456789014"));
        QTest::mouseClick(b.window->Button_Print, Qt::LeftButton);
        QCOMPARE(b.shown.boxes.errors.back(), QStringLiteral("伝票番号の検査数字が合いません."));
        QVERIFY(b.shown.printers->documents.empty());

        b.window->Edit_FirstNumber->setText(QStringLiteral("A123456789013A"));
        b.shown.boxes.answer(true);
        QTest::mouseClick(b.window->Button_Print, Qt::LeftButton);
        QVERIFY2(b.shown.boxes.questions.back().endsWith(QStringLiteral("\n伝票番号: 123456789013 ～ 123456789024")),
                 qPrintable(b.shown.boxes.questions.back()));
        QCOMPARE(b.shown.printers->documents.size(), std::size_t{1});
        store::HistoryStore history(b.shown.dir.filePath(QStringLiteral("vamu_Pelican.db")).toStdString());
        const auto rows = history.list({});
        QCOMPARE(rows.size(), std::size_t{2});
        QCOMPARE(rows[1].orderNo, std::string("250-1"));
        QCOMPARE(rows[1].orderItems, std::string("11:2 12:1"));
        QCOMPARE(rows[1].tracking, std::string("123456789013"));
        QCOMPARE(rows[0].tracking, std::string("123456789024"));
        QCOMPARE(rows[0].job, std::int64_t{b.shown.printers->documents[0].job});  // recorded, then marked printed
        QCOMPARE(b.window->Edit_FirstNumber->text(), QStringLiteral("123456789035"));

        // The same forms once more: asked about, naming the row that has
        // them; No prints nothing and goes back to the number.
        b.window->openFile(file);
        b.window->Edit_FirstNumber->setText(QStringLiteral("123456789024"));
        b.shown.boxes.answer(false);
        QTest::mouseClick(b.window->Button_Print, Qt::LeftButton);
        QVERIFY2(b.shown.boxes.questions.back().startsWith(QStringLiteral("伝票番号 123456789024 は 鈴木一郎 様（")),
                 qPrintable(b.shown.boxes.questions.back()));
        QCOMPARE(b.shown.printers->documents.size(), std::size_t{1});
        QCOMPARE(history.list({}).size(), std::size_t{2});
    }

    // The rows are checked again as soon as the main form's margins change,
    // and once more before the question: the rows, the footer and the print
    // agree, a print that would send nothing says why, and mended margins
    // free the rows at once.
    void rowsFollowTheMainFormsMargins() {
        BatchFixture b;
        b.cell(1, batch::Col::Name)->setText(QStringLiteral("鈴木一郎"));
        const auto registerTop = [&](const QString& top) {
            QTimer::singleShot(0, b.window, [&b, top] {
                auto* dialog = qobject_cast<TForm_SLIP97YPrn*>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                dialog->NumEdit_TOP->setText(top);
                b.shown.boxes.answer(true);
                dialog->BitBtn_MRGN->click();
            });
            b.shown.form->BitBtn_PrnSet2->click();
        };
        const QString problems = QStringLiteral("印字できる範囲の外に出ます");
        const int problemColumn = TBatchWindow::kFirstFieldColumn + 12;
        registerTop(QStringLiteral("6000"));
        QTRY_VERIFY(!b.checked(0));
        QVERIFY(b.table().item(0, problemColumn)->text().contains(problems));
        QVERIFY2(b.window->Label_Status->text().startsWith(QStringLiteral("3件中 0件は問題なし、0件を印刷します")),
                 qPrintable(b.window->Label_Status->text()));
        QVERIFY(!b.window->Button_Print->isEnabled());

        registerTop(QStringLiteral("0"));
        QTRY_VERIFY(b.checked(0) && b.checked(1));
        QVERIFY(b.window->Label_Status->text().startsWith(QStringLiteral("3件中 2件は問題なし、2件を印刷します")));
        // A tick the user took off stays off through the next check.
        b.table().item(1, 0)->setCheckState(Qt::Unchecked);

        // A margin put in behind the window's back is found before asking.
        b.shown.form->Label_Prn_Top->setText(QStringLiteral("6000"));
        QTest::mouseClick(b.window->Button_Print, Qt::LeftButton);
        QVERIFY(b.shown.boxes.questions.filter(QStringLiteral("印刷しますか?")).isEmpty());
        QCOMPARE(b.shown.boxes.notices.value(0),
                 QStringLiteral("印刷する行がありません（問題のある行が3件あります。問題の列を確かめてください）"));
        QVERIFY(b.table().item(0, problemColumn)->text().contains(problems));
        QVERIFY(b.window->Label_Status->text().startsWith(QStringLiteral("3件中 0件は問題なし、0件を印刷します")));
        QVERIFY(b.shown.printers->documents.empty());
        b.shown.form->Label_Prn_Top->setText(QString());
        b.window->recheckAll();
        QVERIFY(b.checked(0));
        QVERIFY(!b.checked(1));
    }

    // A row without the consignee's telephone is held back with a warning
    // the user accepts for that row; すべて修正 leaves it to the user.
    void missingTelephoneIsAWarningAcceptedPerRow() {
        BatchFixture b;
        b.window->openFile(b.write(QStringLiteral("notel.csv"), "郵便番号,住所,氏名,電話番号\n"
                                                                  "1050011,東京都港区芝公園4-2-8,山田太郎,\n"
                                                                  "1050011,東京都港区芝公園4-2-8,鈴木一郎,\n"));
        const int problemColumn = TBatchWindow::kFirstFieldColumn + 12;
        const QString warning = QStringLiteral("でんわがありません（配達の連絡ができません）");
        for (int row : {0, 1}) {
            QCOMPARE(b.table().item(row, problemColumn)->text(), warning);
            QVERIFY(!b.checked(row));
        }
        QVERIFY(b.window->Label_Status->text().contains(QStringLiteral("確かめて了承する注意が2件あります")));
        QVERIFY(!b.window->Button_RepairAll->isEnabled());
        QVERIFY(b.window->Button_Repair->isEnabled());

        b.table().selectRow(0);
        QTest::mouseClick(b.window->Button_Repair, Qt::LeftButton);
        QVERIFY(b.checked(0));
        QCOMPARE(b.table().item(0, problemColumn)->text(), warning + QStringLiteral("（了承済み）"));
        QVERIFY(!b.checked(1));
        b.shown.boxes.answer(true);
        QTest::mouseClick(b.window->Button_Print, Qt::LeftButton);
        QCOMPARE(b.shown.printers->documents.size(), std::size_t{1});
        QVERIFY(BatchFixture::texts(b.shown.printers->documents[0].pages[0]).contains(QStringLiteral("山田太郎")));
    }

    void cancelOrNoSubmitsNothing() {
        BatchFixture b;
        QTest::mouseClick(b.window->Button_Print, Qt::LeftButton);  // unscripted: No
        QVERIFY(b.shown.boxes.questions.value(0).startsWith(QStringLiteral("1件を印刷しますか?\n")));
        QVERIFY(b.shown.printers->documents.empty());

        b.cell(1, batch::Col::Name)->setText(QStringLiteral("鈴木一郎"));
        b.shown.boxes.answer(true);
        // Cancel is pressed while the document is being built.
        QTimer::singleShot(0, b.window->Button_Cancel, [&] { b.window->Button_Cancel->click(); });
        b.window->printChecked();
        auto& docs = b.shown.printers->documents;
        QCOMPARE(docs.size(), std::size_t{1});
        QVERIFY(docs[0].aborted);
        QVERIFY(!docs[0].ended);
        QVERIFY(b.checked(0));  // still waiting to print
        QVERIFY(b.window->Label_Status->text().contains(QStringLiteral("中止")));
        QVERIFY(!b.window->ProgressBar_Print->isVisible());

        // While a job is built, another file or mapping cannot pull the
        // orders away from under it.
        b.shown.boxes.answer(true);
        QTimer::singleShot(0, b.window, [&] {
            b.window->openFile(b.shown.dir.filePath(QStringLiteral("orders.csv")));
            emit b.window->ComboBox_Mapping->activated(0);
            QVERIFY(!b.window->Table_Orders->isEnabled());
        });
        b.window->printChecked();
        QCOMPARE(docs.size(), std::size_t{2});
        QVERIFY(docs[1].ended);
        QCOMPARE(docs[1].pages.size(), std::size_t{2});
        QVERIFY(!b.checked(0));  // printed
        QVERIFY(b.window->Table_Orders->isEnabled());
    }

    // A damaged file, a named pipe nobody writes to and a device: each is
    // reported at once and the table keeps what it showed.
    void badFileIsReportedAndChangesNothing() {
        BatchFixture b;
        QFile f(b.shown.dir.filePath(QStringLiteral("bad.csv")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("zip,name\n1050011,\"open\n");
        f.close();
        const QString fifo = b.shown.dir.filePath(QStringLiteral("fifo.csv"));
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        const QPair<QString, QString> cases[] = {
            {f.fileName(), QStringLiteral("2行目")},
            {fifo, QStringLiteral("通常のファイルではありません")},
            {QStringLiteral("/dev/zero"), QStringLiteral("通常のファイルではありません")},
        };
        for (const auto& [path, message] : cases) {
            b.window->askOpenPath = [path = path](QWidget*, const QString&) { return path; };
            const auto before = b.shown.boxes.errors.size();  // the first start's missing sender file
            QTest::mouseClick(b.window->Button_Open, Qt::LeftButton);
            QCOMPARE(b.shown.boxes.errors.size(), before + 1);
            QVERIFY2(b.shown.boxes.errors.last().contains(message), qPrintable(b.shown.boxes.errors.last()));
            QCOMPARE(b.table().rowCount(), 3);
        }
    }

    void droppedFileOpens() {
        BatchFixture b;
        const QString path = b.shown.dir.filePath(QStringLiteral("dropped.tsv"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("\xEF\xBB\xBF郵便番号\t住所\t氏名\t電話番号\n1050011\t東京都港区芝公園1\t山田\t03-3433-1111\n");
        f.close();
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(path)});
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        // Delivered straight to the window, as a drag from a file manager ends.
        static_cast<QObject*>(b.window)->event(&drop);
        QCOMPARE(b.table().rowCount(), 1);
        QVERIFY(b.window->Label_File->text().contains(QStringLiteral("dropped.tsv")));
        QVERIFY(b.checked(0));
    }

    void mappingCorrectedAndSavedByName() {
        BatchFixture b;
        // Column 4 (品名) is taken off: the goods come from the main form.
        auto* goods = b.window->Table_Mapping->findChild<QComboBox*>(QStringLiteral("ComboBox_Column4"));
        QVERIFY(goods);
        goods->setCurrentIndex(0);
        emit goods->activated(0);
        QCOMPARE(b.cell(0, batch::Col::G1)->text(), QString());
        b.window->Edit_MappingName->setText(QStringLiteral("品名なし"));
        QTest::mouseClick(b.window->Button_SaveMapping, Qt::LeftButton);
        QCOMPARE(b.window->ComboBox_Mapping->currentText(), QStringLiteral("品名なし"));
        QVERIFY(QFile::exists(b.shown.dir.filePath(QStringLiteral("vamu_Pelican_mappings/品名なし.txt"))));
        // Picked again for the next file of these columns.
        b.window->openFile(b.shown.dir.filePath(QStringLiteral("orders.csv")));
        QCOMPARE(b.cell(0, batch::Col::G1)->text(), QString());

        // A file of other columns starts from the automatic recognition.
        const auto errors = b.shown.boxes.errors.size();
        b.window->openFile(b.write(QStringLiteral("other.csv"), "zip,address,name\n1050011,Tokyo Minato 4-2-8,Yamada\n"));
        QCOMPARE(b.shown.boxes.errors.size(), errors);
        QCOMPARE(b.window->ComboBox_Mapping->currentIndex(), 0);
        QCOMPARE(b.table().rowCount(), 1);
        QCOMPARE(b.cell(0, batch::Col::Name)->text(), QStringLiteral("Yamada"));
        // Back to the first layout: its saved mapping is found by itself.
        b.window->openFile(b.shown.dir.filePath(QStringLiteral("orders.csv")));
        QCOMPARE(b.window->ComboBox_Mapping->currentText(), QStringLiteral("品名なし"));
    }

    // Another mapping makes the table again and would drop the edits of rows
    // not yet printed: asked first; No keeps them and the control that was
    // changed shows the mapping in use again, Yes makes the table anew.
    void anotherMappingAsksBeforeDroppingEdits() {
        struct Way {
            const char* what;
            std::function<void(BatchFixture&)> change;
            std::function<bool(BatchFixture&)> showsTheMappingInUse;
        };
        const Way ways[] = {
            {"the saved mapping list",
             [](BatchFixture& b) {
                 b.window->ComboBox_Mapping->setCurrentIndex(0);
                 emit b.window->ComboBox_Mapping->activated(0);
             },
             [](BatchFixture& b) { return b.window->ComboBox_Mapping->currentText() == QStringLiteral("保存済み"); }},
            {"the sender-from-file box", [](BatchFixture& b) { b.window->CheckBox_FileSender->click(); },
             [](BatchFixture& b) { return !b.window->CheckBox_FileSender->isChecked(); }},
            {"one column's choice",
             [](BatchFixture& b) {
                 b.column(4)->setCurrentIndex(0);
                 emit b.column(4)->activated(0);
             },
             [](BatchFixture& b) { return b.column(4)->currentIndex() != 0; }},
        };
        for (const Way& way : ways) {
            BatchFixture b;
            b.window->Edit_MappingName->setText(QStringLiteral("保存済み"));
            QTest::mouseClick(b.window->Button_SaveMapping, Qt::LeftButton);
            b.cell(1, batch::Col::Name)->setText(QStringLiteral("鈴木一郎"));

            b.shown.boxes.answer(false);
            way.change(b);
            QVERIFY2(b.shown.boxes.questions.value(0).contains(QStringLiteral("対応表を変えると修正は失われます")), way.what);
            QVERIFY2(way.showsTheMappingInUse(b), way.what);
            QCOMPARE(b.cell(1, batch::Col::Name)->text(), QStringLiteral("鈴木一郎"));
            QCOMPARE(b.cell(0, batch::Col::G1)->text(), QStringLiteral("りんご"));

            b.shown.boxes.answer(true);
            way.change(b);
            QCOMPARE(b.shown.boxes.questions.size(), 2);
            QVERIFY2(!way.showsTheMappingInUse(b), way.what);
            QCOMPARE(b.cell(1, batch::Col::Name)->text(), QString());
        }
    }

    void mappingPanelReadsWholeAndKeepsItsChoicesUnderTheWheel() {
        BatchFixture b;
        // Enough columns that the mapping list scrolls.
        QByteArray wide = "郵便番号,住所,氏名";
        QByteArray row = "1050011,東京都港区芝公園4-2-8,山田太郎";
        for (int i = 0; i < 40; ++i) wide += ",メモ" + QByteArray::number(i), row += ",x";
        b.window->openFile(b.write(QStringLiteral("wide.csv"), wide + "\n" + row + "\n"));
        b.window->activateWindow();
        QTRY_VERIFY(b.window->isActiveWindow());
        b.window->Button_Open->setFocus();

        QComboBox* name = b.column(2);
        const int chosen = name->currentIndex();
        QScrollBar* list = b.window->Table_Mapping->verticalScrollBar();
        const int scrolled = list->value();
        BatchFixture::wheel(name);
        QCOMPARE(name->currentIndex(), chosen);
        QVERIFY(list->value() > scrolled);  // the list scrolled instead
        // Once the user picked the box, the wheel is its own.
        name->setFocus(Qt::TabFocusReason);
        BatchFixture::wheel(name);
        QVERIFY(name->currentIndex() != chosen);

        // Each choice reads whole, and so does every problem.
        QApplication::processEvents();
        const QWidget* viewport = b.window->Table_Mapping->viewport();
        const auto leftOf = [&](const QWidget* w) { return w->mapTo(b.window, QPoint(0, 0)).x(); };
        QVERIFY(leftOf(b.window->Table_Mapping) + b.window->Table_Mapping->width() <= leftOf(b.window->Table_Orders));
        for (int i = 0; i < 3; ++i) {
            QComboBox* c = b.column(i);
            QVERIFY2(c->width() >= c->sizeHint().width(), qPrintable(c->currentText()));
            QVERIFY(c->geometry().right() <= viewport->width());
        }
        b.window->openFile(b.shown.dir.filePath(QStringLiteral("orders.csv")));
        const int problems = TBatchWindow::kFirstFieldColumn + 12;
        for (int r = 0; r < b.table().rowCount(); ++r) {
            const QString text = b.table().item(r, problems)->text();
            QVERIFY2(b.table().fontMetrics().horizontalAdvance(text) < b.table().columnWidth(problems), qPrintable(text));
        }
    }

    void entryFormValuesShowAboveTheTableAndCanBeLeftOff() {
        BatchFixture b;
        QTest::mouseClick(b.shown.find<QCheckBox>(QStringLiteral("CheckBox_Pelican_24")), Qt::LeftButton);
        b.shown.form->SpeedButton_F9->click();  // the form changed: shown again
        auto* special = b.window->findChild<QCheckBox*>(QStringLiteral("CheckBox_SharedSpecial"));
        auto* shipDate = b.window->findChild<QCheckBox*>(QStringLiteral("CheckBox_SharedShipDate"));
        QVERIFY(special && shipDate);
        QVERIFY(special->isVisible() && special->isChecked());
        QCOMPARE(special->text(), QStringLiteral("取扱: 冷蔵"));
        QCOMPARE(shipDate->text(), QStringLiteral("出荷日: 2026/12/07"));
        QVERIFY(!b.window->findChild<QCheckBox*>(QStringLiteral("CheckBox_SharedTimeBand"))->isVisible());

        QTest::mouseClick(special, Qt::LeftButton, {}, QPoint(6, special->height() / 2));
        QVERIFY(!special->isChecked());
        b.shown.form->SpeedButton_F9->click();  // the same value stays left off
        QVERIFY(!special->isChecked());
        b.shown.boxes.answer(true);
        QTest::mouseClick(b.window->Button_Print, Qt::LeftButton);
        store::HistoryStore history(b.shown.dir.filePath(QStringLiteral("vamu_Pelican.db")).toStdString());
        const auto rows = history.list({});
        QCOMPARE(rows.size(), std::size_t{1});
        QCOMPARE(rows[0].special, (std::array<bool, 5>{}));
        QVERIFY(rows[0].printDate);
        QVERIFY(b.shown.find<QCheckBox>(QStringLiteral("CheckBox_Pelican_24"))->isChecked());  // the form keeps it
    }

    void worksFromTheKeyboardAlone() {
        BatchFixture b;
        b.window->activateWindow();
        QTRY_VERIFY(b.window->isActiveWindow());
        // Tab visits every control and comes round again.
        const QStringList seen = tabCycle(b.window->Button_Open);
        for (const char* name : {"CheckBox_FileSender", "ComboBox_Mapping", "ComboBox_Column0", "ComboBox_Column4",
                                 "Edit_MappingName", "Button_SaveMapping", "CheckBox_SharedShipDate", "Table_Orders",
                                 "Button_Repair", "Button_RepairAll", "Button_Print", "Button_Close", "Button_Open"})
            QVERIFY2(seen.contains(QLatin1String(name)), qPrintable(QLatin1String(name) + QStringLiteral(" not in ") + seen.join(u' ')));

        int asked = 0;
        b.window->askOpenPath = [&](QWidget*, const QString&) { return ++asked, QString(); };
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(asked, 1);

        // Escape in a cell being edited only drops what was typed there.
        b.table().setFocus();
        b.table().setCurrentItem(b.cell(1, batch::Col::Name));
        QTest::keyClick(&b.table(), Qt::Key_F2);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("x"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(b.window->isVisible());
        QCOMPARE(b.cell(1, batch::Col::Name)->text(), QString());

        // Escape on an open drop-down list closes the list alone.
        b.window->ComboBox_Encoding->setFocus();
        b.window->ComboBox_Encoding->showPopup();
        QTRY_VERIFY(QApplication::activePopupWidget());
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
        QTRY_VERIFY(!QApplication::activePopupWidget());
        QVERIFY(b.window->isVisible());

        // Escape closes; the edits wait for F9.
        b.cell(1, batch::Col::Name)->setText(QStringLiteral("鈴木一郎"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!b.window->isVisible());
        b.shown.form->SpeedButton_F9->click();
        QVERIFY(b.window->isVisible());
        QCOMPARE(b.cell(1, batch::Col::Name)->text(), QStringLiteral("鈴木一郎"));
        // Another file would drop them: asked first, and No keeps them.
        b.window->openFile(b.shown.dir.filePath(QStringLiteral("orders.csv")));
        QVERIFY(b.shown.boxes.questions.last().contains(QStringLiteral("修正は失われます")));
        QCOMPARE(b.cell(1, batch::Col::Name)->text(), QStringLiteral("鈴木一郎"));
        QTest::mouseClick(b.window->Button_Close, Qt::LeftButton);
        QVERIFY(!b.window->isVisible());
    }

    // Codes and numbers are typed with the input method off, names in Japanese.
    void cellEditorsFollowTheirColumnsInputMethod() {
        BatchFixture b;
        for (const auto& [col, composes] : {std::pair{batch::Col::Zip, false}, std::pair{batch::Col::Tel, false},
                                            std::pair{batch::Col::Name, true}}) {
            QTableWidgetItem* item = b.cell(0, col);
            b.table().setCurrentItem(item);
            b.table().editItem(item);
            auto* editor = qobject_cast<QLineEdit*>(b.table().indexWidget(b.table().indexFromItem(item)));
            QVERIFY(editor);
            QInputMethodQueryEvent asked(Qt::ImEnabled);
            QCoreApplication::sendEvent(editor, &asked);
            QCOMPARE(asked.value(Qt::ImEnabled).toBool(), composes);
            b.table().closePersistentEditor(item);
        }
    }

    // What is typed or pasted into a postal code or telephone cell goes in
    // half-width with its hyphens read, as on the entry form; a name cell
    // keeps its text. The first form's number takes a scan as typed.
    void cellsTakeCodesHalfWidthAndTheNumberAScan() {
        BatchFixture b;
        for (const auto& [col, pasted, kept] :
             {std::tuple{batch::Col::Zip, "１００－０００５", "100-0005"},
              std::tuple{batch::Col::Zip, "１００ー０００５", "100-0005"},
              std::tuple{batch::Col::Tel, "03‐1234‐5678", "03-1234-5678"},
              std::tuple{batch::Col::Name, "コーポ１ー２", "コーポ１ー２"}}) {
            QTableWidgetItem* item = b.cell(0, col);
            b.table().setCurrentItem(item);
            b.table().editItem(item);
            auto* editor = qobject_cast<QLineEdit*>(b.table().indexWidget(b.table().indexFromItem(item)));
            QVERIFY(editor);
            editor->selectAll();
            QApplication::clipboard()->setText(QString::fromUtf8(pasted));
            QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
            QTest::keyClick(editor, Qt::Key_Return);  // the delegate commits on the next turn of the loop
            QTRY_COMPARE(b.cell(0, col)->text(), QString::fromUtf8(kept));
        }
        QVERIFY(!composesIn(b.window->Edit_FirstNumber));
        b.window->Edit_FirstNumber->clear();
        typeThroughInputMethod(b.window->Edit_FirstNumber, QStringLiteral("123456789013"));
        QCOMPARE(b.window->Edit_FirstNumber->text(), QStringLiteral("123456789013"));
    }

    // Bytes both encodings read open as the guess says, the label names the
    // other reading, and choosing it reads the file again.
    void anEncodingGuessIsNamedAndCanBeChosen() {
        BatchFixture b;
        const QString path = b.shown.dir.filePath(QStringLiteral("both.csv"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("zip,address,name\r\n1050011,Tokyo,\xE3\x81\xAF\xE3\x81\xAA\r\n");  // "はな" in UTF-8
        f.close();
        b.window->openFile(path);
        QVERIFY2(b.window->Label_File->text().contains(QStringLiteral("UTF-8、Shift-JISとしても読めます")),
                 qPrintable(b.window->Label_File->text()));
        QCOMPARE(b.cell(0, batch::Col::Name)->text(), QStringLiteral("はな"));
        b.window->ComboBox_Encoding->setCurrentIndex(2);
        emit b.window->ComboBox_Encoding->activated(2);
        QCOMPARE(b.cell(0, batch::Col::Name)->text(), QStringLiteral("縺ｯ縺ｪ"));
        QVERIFY(b.window->Label_File->text().contains(QStringLiteral("Shift-JIS")));
    }
};

QTEST_MAIN(TestBatchWindow)
#include "batch_window_test.moc"
