// Texts that must be read whole: the overlong-address warning beside the
// code runs into no button, and a mapping saved in the batch window shows
// whole in the mapping list.
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

#include "app/batch/batch_window.h"
#include "app/history/history_window.h"
#include "services/app_title.h"
#include "services/message_boxes.h"
#include "widgets/sjis_line_edit.h"
#include "tests/app/test_form_fixture.h"
#include "tests/support/file_bytes.h"

class TestTextFit : public QObject {
    Q_OBJECT
private slots:
    void overlongAddressWarningRunsIntoNothing() {
        ShownForm f;
        f.form->Edit_Add1->setText(QString(21, QChar(0x3042)));  // あ × 21: 42 bytes
        f.focus(QStringLiteral("Edit_Add2"));
        QLabel* warning = f.form->Label_Warning;
        QVERIFY(!warning->text().isEmpty());
        QCOMPARE(warning->pos(), QPoint(220, 36));
        // The text fits the label, and the label's line is its own to the
        // panel's edge: other fonts may draw the text wider than this one.
        QVERIFY(warning->fontMetrics().horizontalAdvance(warning->text()) <= warning->width());
        const QRect line(warning->x(), warning->y(), f.form->Panel1->width() - warning->x(), warning->height());
        QVERIFY(warning->geometry().right() < f.form->Panel1->width());
        for (QWidget* w : f.form->Panel1->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            if (w != warning && w->isVisible()) QVERIFY2(!line.intersects(w->geometry()), qPrintable(w->objectName()));
    }

    // Texts the user tells apart by their ends: each is as wide as the room
    // it is shown in, or narrower.
    void textsReadWhole() {
        ShownForm f;
        const QString csv = f.dir.filePath(QStringLiteral("orders.csv"));
        writeFile(csv, "注文番号,郵便番号,住所,氏名,電話番号\r\n"
                       "123456-20250710-0012345678,1050011,東京都港区芝公園4-2-8,山田太郎,03-3433-1111\r\n"
                       "503-1234567-1234567,1050011,東京都港区芝公園4-2-8,鈴木一郎,03-3433-1111\r\n");
        f.form->SpeedButton_F9Click();
        auto* batch = f.form->findChild<TBatchWindow*>(QStringLiteral("Form_Batch"));
        QVERIFY(batch);
        batch->openFile(csv);
        f.form->SpeedButton_F8->click();
        auto* history = f.form->findChild<HistoryWindow*>(QStringLiteral("Form_History"));
        QVERIFY(history);
        // A caption read in the window manager's bar beside its buttons.
        int boxWidth = 0;
        QTimer::singleShot(0, [&] {
            QWidget* box = QApplication::activeModalWidget();
            if (!box) return;
            boxWidth = box->width();
            box->close();
        });
        setMessageBoxes(nullptr);  // the real boxes for once
        messageBoxes().question(f.form.get(), QStringLiteral("終了しますか?"));
        setMessageBoxes(&f.boxes);

        const auto cell = [](const QTableView* t, int column, const QString& text) {
            // The cell's own margins, as the item view draws it.
            return std::pair{t->fontMetrics().horizontalAdvance(text) + 8, t->columnWidth(column)};
        };
        const QLabel* memo = f.form->Label12;
        const struct {
            const char* what;
            std::pair<int, int> neededAndRoom;
        } texts[] = {
            {"Memoｸﾘｱ", {memo->fontMetrics().horizontalAdvance(memo->text()),
                          std::min(memo->width(), f.form->width() - memo->mapTo(f.form.get(), QPoint()).x())}},
            {"楽天の注文番号", cell(batch->Table_Orders, TBatchWindow::kOrderColumn, batch->Table_Orders->item(0, TBatchWindow::kOrderColumn)->text())},
            {"Amazonの注文番号", cell(batch->Table_Orders, TBatchWindow::kOrderColumn, batch->Table_Orders->item(1, TBatchWindow::kOrderColumn)->text())},
            {"履歴の伝票番号", cell(history->Grid_History, 8, QStringLiteral("123456789012"))},
            {"履歴の注文番号", cell(history->Grid_History, 7, QStringLiteral("123456-20250710-0012345678"))},
            {"確認の見出し", {QFontMetrics(QApplication::font()).horizontalAdvance(appTitle()) + 150, boxWidth}},
        };
        QStringList cut;
        for (const auto& t : texts)
            if (t.neededAndRoom.first > t.neededAndRoom.second)
                cut << QStringLiteral("%1: %2 > %3").arg(QString::fromUtf8(t.what)).arg(t.neededAndRoom.first).arg(t.neededAndRoom.second);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral(", "))));
        QCOMPARE(batch->Table_Orders->item(0, TBatchWindow::kOrderColumn)->text(), QStringLiteral("123456-20250710-0012345678"));
    }

    // A long message (an export's path) is shortened in its line: the
    // history window keeps its width (and so never remembers a wider one).
    void historyWindowKeepsItsWidthForALongMessage() {
        ShownForm f;
        f.form->SpeedButton_F8->click();
        auto* history = f.form->findChild<HistoryWindow*>(QStringLiteral("Form_History"));
        QVERIFY(history && QTest::qWaitForWindowExposed(history));
        const int width = history->width();
        const QString path = f.dir.filePath(QStringLiteral("とても長い名前の書き出し先フォルダ/") + QString(60, u'x') + QStringLiteral(".csv"));
        QVERIFY(QDir(f.dir.path()).mkpath(QFileInfo(path).absolutePath()));
        history->askCsvPath = [&](QWidget*, const QString&) { return path; };
        QTest::mouseClick(history->BitBtn_Csv, Qt::LeftButton);
        QVERIFY(history->Label_Count->text().contains(path));
        QCoreApplication::processEvents();
        QCOMPARE(history->width(), width);
    }

    void savedMappingNameShowsWhole() {
        ShownForm f;
        const QString csv = f.dir.filePath(QStringLiteral("orders.csv"));
        writeFile(csv, "zip,address,name\r\n1050011,x,y\r\n");
        f.form->SpeedButton_F9Click();
        auto* batch = f.form->findChild<TBatchWindow*>(QStringLiteral("Form_Batch"));
        QVERIFY(batch && QTest::qWaitForWindowExposed(batch));
        batch->openFile(csv);
        batch->Edit_MappingName->setText(QStringLiteral("自社CSV"));
        batch->Button_SaveMapping->click();
        QComboBox* combo = batch->ComboBox_Mapping;
        QCOMPARE(combo->currentText(), QStringLiteral("自社CSV"));
        // The list widens once the window has laid itself out again.
        const auto shownWhole = [combo] {
            QStyleOptionComboBox option;
            option.initFrom(combo);
            const QRect field =
                combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
            return combo->fontMetrics().horizontalAdvance(combo->currentText()) <= field.width();
        };
        QTRY_VERIFY(shownWhole());
    }
};

QTEST_MAIN(TestTextFit)
#include "text_fit_test.moc"
