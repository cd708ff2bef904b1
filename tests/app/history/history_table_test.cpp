// The history window's table: the cells shown for a waybill, a search's
// answer taken in as one reset of the model, and the rows the window's
// keys and a double click act on.
#include <QAbstractItemModelTester>
#include <QBrush>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <string>
#include <vector>

#include "app/history/history_table_model.h"
#include "app/history/history_window.h"
#include "text/sjis_qt.h"
#include "widgets/history_book.h"

namespace {

QString u(const char* utf8) { return QString::fromUtf8(utf8); }
std::string s(const char* utf8) { return sjis::fromQString(u(utf8)); }

store::WaybillRecord waybill(const char* name, const char* time) {
    store::WaybillRecord r;
    r.time = time;
    r.consignee = {"100-0005", s("東京都千代田区"), s("丸の内1-1"), s(name), "03-1234-5678"};
    r.g1 = s("りんご");
    r.printer = "Dot24";
    return r;
}

QStringList cellsOf(const HistoryTableModel& model, int row) {
    QStringList cells;
    for (int c = 0; c < model.columnCount(); ++c) cells << model.index(row, c).data().toString();
    return cells;
}

}  // namespace

class TestHistoryTable : public QObject {
    Q_OBJECT
private slots:
    void eachColumnShowsItsField() {
        store::WaybillRecord order = waybill("山田太郎", "2026-12-07 14:03:27");
        order.g1.clear();  // an empty line leaves no separator behind
        order.g2 = s("みかん");
        order.g3 = s("書籍");
        order.orderNo = "#1001";
        order.tracking = "123456789013";
        store::WaybillRecord unknown = waybill("佐藤花子", "2026-12-07 14:05:00");  // handed over when the program ended
        unknown.job = store::WaybillRecord::kJobPrinting;
        HistoryTableModel model;
        model.setRows({order, unknown});
        QCOMPARE(cellsOf(model, 0).join(u'|'), u("2026-12-07 14:03:27|山田太郎|03-1234-5678|100-0005|東京都千代田区丸の内1-1|"
                                                 "みかん / 書籍|Dot24|#1001|123456789013"));
        QCOMPARE(cellsOf(model, 1).join(u'|'), u("2026-12-07 14:05:00|佐藤花子|03-1234-5678|100-0005|東京都千代田区丸の内1-1|"
                                                 "りんご|Dot24（印刷されたか不明）||"));
        for (int col = 0; col < model.columnCount(); ++col) {
            QVERIFY(!model.index(0, col).data(Qt::ForegroundRole).isValid());
            QCOMPARE(model.index(1, col).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(200, 0, 0));
        }
        QStringList captions;
        for (int c = 0; c < model.columnCount(); ++c) captions << model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        QCOMPARE(captions.join(u'|'), u("印刷日時|おなまえ|でんわ|郵便番号|おところ|品名|プリンタ|注文番号|伝票番号"));
    }

    // A new answer replaces the rows in one reset (no signal per row), and
    // the model stays consistent for the views through each change.
    void anAnswerReplacesTheRowsInOneReset() {
        HistoryTableModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        for (const std::size_t count : {std::size_t{1000}, std::size_t{3}, std::size_t{0}}) {
            model.setRows(std::vector<store::WaybillRecord>(count, waybill("山田太郎", "2026-12-07 14:03:27")));
            QCOMPARE(model.rowCount(), static_cast<int>(count));
        }
        QCOMPARE(resets.size(), 3);
        QCOMPARE(inserted.size(), 0);
        QCOMPARE(model.text(0, 1), QString());  // outside the rows
    }

    // The newest row is the current one once the rows show; Down from the
    // search goes into them; a double click takes the row it is on.
    void theWindowActsOnTheRowsShown() {
        QTemporaryDir dir;
        HistoryBook book(nullptr);
        book.setFolder(dir.path());
        const std::vector<store::WaybillRecord> printed = {waybill("山田太郎", "2026-12-06 10:00:00"),
                                                           waybill("佐藤花子", "2026-12-07 10:00:00")};
        QVERIFY(book.run([&](store::HistoryBackend& store) { store.record(printed); }));
        HistoryWindow window(book, nullptr);
        window.show();
        bool shown = false;
        window.reload([&] { shown = true; });
        QVERIFY(QTest::qWaitFor([&] { return shown; }, 5000));
        QCOMPARE(window.model()->rowCount(), 2);
        QCOMPARE(window.Grid_History->currentIndex().row(), 0);
        QCOMPARE(window.Grid_History->selectionModel()->selectedRows().size(), 1);

        window.Edit_Search->setFocus();
        QTest::keyClick(window.Edit_Search, Qt::Key_Down);
        QVERIFY(window.Grid_History->hasFocus());

        std::vector<std::string> chosen;
        QObject::connect(&window, &HistoryWindow::chosen,
                         [&](const store::WaybillRecord& r) { chosen.push_back(r.consignee.name); });
        const QModelIndex second = window.model()->index(1, 4);
        const QPoint at = window.Grid_History->visualRect(second).center();
        QTest::mouseClick(window.Grid_History->viewport(), Qt::LeftButton, {}, at);  // a double click's first press
        QVERIFY(chosen.empty());
        QTest::mouseDClick(window.Grid_History->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(chosen, std::vector<std::string>{s("山田太郎")});
        QVERIFY(!window.isVisible());
    }
};

QTEST_MAIN(TestHistoryTable)
#include "history_table_test.moc"
