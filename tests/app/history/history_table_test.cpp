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
        store::WaybillRecord plain = waybill("山田太郎", "2026-12-07 14:03:27");
        store::WaybillRecord goods = plain;
        goods.g1.clear();  // an empty line leaves no separator behind
        goods.g2 = s("みかん");
        goods.g3 = s("書籍");
        goods.orderNo = "#1001";
        goods.tracking = "123456789013";
        store::WaybillRecord unknown = plain;  // handed over when the program ended
        unknown.job = store::WaybillRecord::kJobPrinting;
        const struct {
            const char* what;
            store::WaybillRecord row;
            QStringList cells;
            bool red;
        } cases[] = {
            {"plain", plain,
             {u("2026-12-07 14:03:27"), u("山田太郎"), u("03-1234-5678"), u("100-0005"), u("東京都千代田区丸の内1-1"),
              u("りんご"), u("Dot24"), u(""), u("")},
             false},
            {"goods and order", goods,
             {u("2026-12-07 14:03:27"), u("山田太郎"), u("03-1234-5678"), u("100-0005"), u("東京都千代田区丸の内1-1"),
              u("みかん / 書籍"), u("Dot24"), u("#1001"), u("123456789013")},
             false},
            {"outcome unknown", unknown,
             {u("2026-12-07 14:03:27"), u("山田太郎"), u("03-1234-5678"), u("100-0005"), u("東京都千代田区丸の内1-1"),
              u("りんご"), u("Dot24（印刷されたか不明）"), u(""), u("")},
             true},
        };
        HistoryTableModel model;
        std::vector<store::WaybillRecord> rows;
        for (const auto& c : cases) rows.push_back(c.row);
        model.setRows(rows);
        for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
            const auto& c = cases[i];
            QCOMPARE(cellsOf(model, i), c.cells);
            for (int col = 0; col < model.columnCount(); ++col)
                QVERIFY2(model.index(i, col).data(Qt::ForegroundRole).isValid() == c.red, c.what);
        }
        QCOMPARE(model.index(2, 6).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(200, 0, 0));
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
