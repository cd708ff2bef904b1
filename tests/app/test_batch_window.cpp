// The batch window driven through its widgets on the real main window:
// F9 opens it, a file fills the table with its problems, edits and repairs
// check again, the checked rows print as one job (then the empty page),
// Cancel submits nothing, printed waybills reach the history.
#include <QComboBox>
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

#include "app/batch_window.h"
#include "batch/batch_file.h"
#include "store/history_store.h"
#include "tests/app/test_form_fixture.h"
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

        QCOMPARE(b.shown.boxes.questions.value(0), QStringLiteral("2件を印刷しますか?"));
        auto& docs = b.shown.printers->documents;
        QCOMPARE(docs.size(), std::size_t{1});
        QVERIFY(docs[0].ended);
        QCOMPARE(docs[0].title, QStringLiteral("vamu_Pelican  "));
        // Two waybill pages back to back, then the one empty page.
        QCOMPARE(docs[0].pages.size(), std::size_t{3});
        QVERIFY(BatchFixture::texts(docs[0].pages[0]).contains(QStringLiteral("山田太郎")));
        QVERIFY(BatchFixture::texts(docs[0].pages[1]).contains(QStringLiteral("鈴木一郎")));
        QVERIFY(docs[0].pages[2].empty());
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

    void cancelOrNoSubmitsNothing() {
        BatchFixture b;
        QTest::mouseClick(b.window->Button_Print, Qt::LeftButton);  // unscripted: No
        QCOMPARE(b.shown.boxes.questions.value(0), QStringLiteral("1件を印刷しますか?"));
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
        QCOMPARE(docs[1].pages.size(), std::size_t{3});
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
            b.window->askOpenPath = [path = path](QWidget*) { return path; };
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
        f.write("\xEF\xBB\xBF郵便番号\t住所\t氏名\n1050011\t東京都港区芝公園1\t山田\n");
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
        // Picked again for the next file.
        b.window->openFile(b.shown.dir.filePath(QStringLiteral("orders.csv")));
        QCOMPARE(b.cell(0, batch::Col::G1)->text(), QString());
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
};

QTEST_MAIN(TestBatchWindow)
#include "test_batch_window.moc"
