// Texts that must be read whole: the overlong-address warning beside the
// code runs into no button, and a mapping saved in the batch window shows
// whole in the mapping list.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QtTest>

#include "app/batch/batch_window.h"
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
