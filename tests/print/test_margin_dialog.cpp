// The print-position dialog: margins copied in, keys, the question, the
// record written and the main window's labels updated.
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "controls/TNumEdit.h"
#include "print/Form_SLIP97YPrn.h"
#include "tests/print/test_printer_box_support.h"

using namespace printer_box_test;

class TestMarginDialog : public QObject {
    Q_OBJECT

    struct Open {
        BoxForm f{{fakePrinter("PrinterA ")}};
        TForm_SLIP97YPrn dlg;
        Open() {
            f.boxes.errors.clear();
            f.form->Label_Prn_Top->setText(QStringLiteral("12"));
            f.form->Label_Prn_Left->setText(QStringLiteral("-3"));
            dlg.setMainForm(f.form.get());
            dlg.show();
            dlg.activateWindow();
            if (!QTest::qWaitForWindowActive(&dlg)) qWarning("dialog did not become active");
        }
        void type(TNumEdit* field, const QString& text) {
            field->setFocus(Qt::TabFocusReason);
            QCoreApplication::processEvents();
            QTest::keyClicks(field, text);
        }
        void save(bool yes) {
            f.boxes.answer(yes);
            dlg.BitBtn_MRGN->click();
        }
    };

private slots:
    void showsTheMarginsAndFocusesTop() {
        Open o;
        QCOMPARE(o.dlg.windowTitle(), QStringLiteral("印字位置調整"));
        QCOMPARE(o.dlg.GroupBox1->title(), QStringLiteral("印字位置調整セット"));
        QCOMPARE(o.dlg.Label5->text(), QStringLiteral("TOPﾏｰｼﾞﾝ"));
        QCOMPARE(o.dlg.Label6->text(), QStringLiteral("LEFTﾏｰｼﾞﾝ"));
        QCOMPARE(o.dlg.BitBtn_MRGN->text(), QStringLiteral("印字位置登録"));
        QCOMPARE(o.dlg.frameGeometry().size(), QSize(256, 160));  // room for millimetres and the test print
        QCOMPARE(o.dlg.NumEdit_TOP->text(), QStringLiteral("12"));
        QCOMPARE(o.dlg.NumEdit_LEFT->text(), QStringLiteral("-3"));
        QVERIFY(!o.dlg.NumEdit_TOP->errorBeep());
        QCOMPARE(o.dlg.NumEdit_TOP->decimalLength(), 0);
        QCOMPARE(o.dlg.NumEdit_LEFT->integerLength(), 9);
        QCOMPARE(QApplication::focusWidget(), o.dlg.NumEdit_TOP);
        QVERIFY(o.dlg.NumEdit_TOP->hasSelection());  // typing replaces the old margin
    }

    void enterAndUpMoveTheFocus() {
        Open o;
        QTest::keyClick(o.dlg.NumEdit_TOP, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), o.dlg.NumEdit_LEFT);
        QTest::keyClick(o.dlg.NumEdit_LEFT, Qt::Key_Up);
        QCOMPARE(QApplication::focusWidget(), o.dlg.NumEdit_TOP);
        QTest::keyClick(o.dlg.NumEdit_TOP, Qt::Key_Enter);
        QTest::keyClick(o.dlg.NumEdit_LEFT, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), o.dlg.BitBtn_MRGN);
        QCOMPARE(o.dlg.NumEdit_TOP->text(), QStringLiteral("12"));  // keys changed no value
        QVERIFY(o.f.boxes.questions.isEmpty());

        // Enter on the focused button saves, as a click does.
        o.f.boxes.answer(false);
        QTest::keyClick(o.dlg.BitBtn_MRGN, Qt::Key_Return);
        QCOMPARE(o.f.boxes.questions, QStringList{QStringLiteral("印字位置調整の余白を登録しますか?")});
    }

    void noKeepsTheDialogOpenAndWritesNothing() {
        Open o;
        o.type(o.dlg.NumEdit_TOP, QStringLiteral("40"));
        o.save(false);
        QCOMPARE(o.f.boxes.questions, QStringList{QStringLiteral("印字位置調整の余白を登録しますか?")});
        QVERIFY(o.dlg.isVisible());
        QVERIFY(!QFile::exists(iniPath()));
        QCOMPARE(o.f.form->Label_Prn_Top->text(), QStringLiteral("12"));
        QCOMPARE(o.dlg.NumEdit_TOP->text(), QStringLiteral("40"));
    }

    void yesWritesAllFourKeysUpdatesTheLabelsAndCloses_data() {
        QTest::addColumn<QString>("typedTop");
        QTest::addColumn<QString>("storedTop");
        QTest::addColumn<QString>("shownTop");
        QTest::newRow("negative") << QStringLiteral("-15") << QStringLiteral("-15") << QStringLiteral("-15");
        QTest::newRow("grouped in the field, plain in the file")
            << QStringLiteral("1234") << QStringLiteral("1234") << QStringLiteral("1,234");
        QTest::newRow("emptied") << QString() << QString() << QString();
        QTest::newRow("lone minus dropped") << QStringLiteral("-") << QString() << QString();
    }
    void yesWritesAllFourKeysUpdatesTheLabelsAndCloses() {
        QFETCH(QString, typedTop);
        QFETCH(QString, storedTop);
        QFETCH(QString, shownTop);
        Open o;
        o.f.form->ComboBox_SEL->setCurrentIndex(1);
        o.f.form->Label_PrinterIndex->setText(QStringLiteral("0"));
        o.dlg.NumEdit_TOP->setFocus(Qt::TabFocusReason);
        QTest::keyClick(o.dlg.NumEdit_TOP, Qt::Key_Delete);  // all selected on entry
        QTest::keyClicks(o.dlg.NumEdit_TOP, typedTop);
        o.dlg.NumEdit_LEFT->setFocus(Qt::TabFocusReason);  // leaving the field
        QCoreApplication::processEvents();
        QCOMPARE(o.dlg.NumEdit_TOP->displayText(), shownTop);
        o.save(true);
        QVERIFY2(o.f.boxes.errors.isEmpty(), qPrintable(o.f.boxes.errors.join(u'|')));
        QVERIFY(!o.dlg.isVisible());
        QCOMPARE(readFile(iniPath()), sj("[連続(４インチ)]\r\nPrnName=PrinterA\r\nPrnNoIndex=0\r\nvamPrn_Top=") +
                                          storedTop.toLatin1() + "\r\nvamPrn_Left=-3\r\n");
        QCOMPARE(o.f.form->Label_Prn_Top->text(), storedTop);
        QCOMPARE(o.f.form->Label_Prn_Left->text(), QStringLiteral("-3"));

        // The record survives a restart: a new window loads it.
        o.dlg.hide();
        auto again = std::make_unique<TForm_Main>();
        again->show();
        again->ComboBox_SEL->setCurrentIndex(1);
        again->ComboBox_SELChange();
        QCOMPARE(again->Label_Prn_Top->text(), storedTop);
    }

    void closeBoxSavesNothing() {
        Open o;
        o.type(o.dlg.NumEdit_TOP, QStringLiteral("99"));
        o.dlg.close();
        QVERIFY(!QFile::exists(iniPath()));
        QCOMPARE(o.f.form->Label_Prn_Top->text(), QStringLiteral("12"));
        QVERIFY(o.f.boxes.questions.isEmpty());
    }

    // With VP_SCREENSHOT_DIR set (e.g. under xvfb-run with the xcb platform)
    // the printer box and the dialog are saved as pictures for review.
    void screenshots() {
        const QString out = qEnvironmentVariable("VP_SCREENSHOT_DIR");
        if (out.isEmpty()) QSKIP("VP_SCREENSHOT_DIR not set");
        Open o;
        o.f.form->Label_Prn_Top->setText(QStringLiteral("-15"));
        o.f.form->Label_Prn_Left->setText(QStringLiteral("1234"));
        o.dlg.hide();
        o.dlg.show();
        QTest::qWait(200);
        QVERIFY(o.f.form->GroupBox1->grab().save(out + QStringLiteral("/printer_box.png")));
        QVERIFY(o.dlg.grab().save(out + QStringLiteral("/print_position_dialog.png")));
    }

    void marginButtonOpensTheDialogModally() {
        BoxForm f({fakePrinter("A")});
        f.form->Label_Prn_Top->setText(QStringLiteral("8"));
        QString seen;
        QTimer::singleShot(0, [&] {
            auto* dlg = qobject_cast<TForm_SLIP97YPrn*>(QApplication::activeModalWidget());
            if (!dlg) return;
            seen = dlg->NumEdit_TOP->text();
            dlg->reject();
        });
        f.find<QPushButton>(QStringLiteral("BitBtn_PrnSet2"))->click();
        QCOMPARE(seen, QStringLiteral("8"));
    }
};

QTEST_MAIN(TestMarginDialog)
#include "test_margin_dialog.moc"
