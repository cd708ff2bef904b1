// The preview window on the real main form over a scripted printer: F10,
// following the form, overflow marks and the F11 prompt, zoom, the margin
// dialog's typed margins, and the test print as an ordinary job.
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QWheelEvent>

#include "app/main_form/app_windows.h"
#include "app/preview/preview_window.h"
#include "widgets/sjis_line_edit.h"
#include "controls/TNumEdit.h"
#include "print/Form_SLIP97YPrn.h"
#include "print/Wb_d97_Dot.h"
#include "print/core/form_items.h"
#include "tests/app/test_form_fixture.h"

namespace {

const QString kLongName = QStringLiteral("アイウエオカキクケコアイウエオカキクケコアイウエオカキクケコ");
const QString kOverflowName = QStringLiteral("はみ出す項目: おなまえ");

// The main form with the print-position dialog and the layout window as
// the program creates them, and the preview opened by F10.
struct Previewed {
    ShownForm s;
    TWb_d97_Dot dot;
    TForm_SLIP97YPrn dialog;
    TForm_Preview* preview = nullptr;
    Previewed() {
        Form_Main = s.form.get();
        Wb_d97_Dot = &dot;
        Form_SLIP97YPrn = &dialog;
        dialog.setMainForm(s.form.get());
        s.boxes.errors.clear();  // a fresh folder has no sender file
        s.form->SpeedButton_F10->click();
        preview = s.form->findChild<TForm_Preview*>(QStringLiteral("Form_Preview"));
    }
    ~Previewed() {
        Form_SLIP97YPrn = nullptr;
        Wb_d97_Dot = nullptr;
        Form_Main = nullptr;
    }
    // The device position of the name's text on the previewed page.
    QPoint namePosition() const {
        for (const auto& item : preview->page().items())
            if (item.item == print::FormItem::Name) return {item.x, item.y};
        return {-1, -1};
    }
};

}  // namespace

class TestPreviewWindow : public QObject {
    Q_OBJECT
private slots:
    void f10OpensOnePreview() {
        ShownForm s;
        QCOMPARE(s.form->SpeedButton_F10->text(), QStringLiteral("プレビュー"));
        QVERIFY(s.form->SpeedButton_F10->isEnabled());
        s.focus(QStringLiteral("Edit_Zip"));
        s.key(Qt::Key_F10);
        auto* preview = s.form->findChild<TForm_Preview*>(QStringLiteral("Form_Preview"));
        QVERIFY(preview);
        QVERIFY(preview->isVisible());
        QCOMPARE(preview->windowTitle(), QStringLiteral("プレビュー"));
        QVERIFY(preview->isWindow());
        // Closed, it is brought up to date when F10 shows it again.
        preview->close();
        s.form->Edit_Custo1->setText(QStringLiteral("アイウエオカキクケコアイウエオカキクケコアイウエオカキクケコ"));
        QCoreApplication::processEvents();
        s.form->SpeedButton_F10->click();
        QCOMPARE(s.form->findChildren<TForm_Preview*>().size(), 1);
        QVERIFY(preview->isVisible());
        QCOMPARE(preview->Label_Overflow->text(), QStringLiteral("はみ出す項目: おなまえ"));
    }

    void worksFromTheKeyboardAlone() {
        Previewed p;
        p.preview->activateWindow();
        QTRY_VERIFY(p.preview->isActiveWindow());
        // Tab visits every control and comes round again.
        QCOMPARE(tabCycle(p.preview->Button_Fit), (QStringList{QStringLiteral("Button_Actual"), QStringLiteral("Button_Close"),
                                    QStringLiteral("ScrollArea"), QStringLiteral("Button_Fit")}));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!p.preview->isVisible());
        p.s.form->SpeedButton_F10->click();
        QTest::keyClick(p.preview->Button_Close, Qt::Key_Space);
        QVERIFY(!p.preview->isVisible());
    }

    void followsTheFormAndNamesWhatDoesNotFit() {
        Previewed p;
        QVERIFY(p.preview);
        QCOMPARE(p.namePosition(), QPoint(-1, -1));  // empty: nothing drawn
        p.s.form->Edit_Custo1->setText(QStringLiteral("日通太郎"));
        QTRY_COMPARE(p.namePosition(), QPoint(405, 540));
        QCOMPARE(p.preview->Label_Overflow->text(), QString());
        p.s.form->Edit_Custo1->setText(kLongName);
        QTRY_COMPARE(p.preview->Label_Overflow->text(), kOverflowName);
        p.s.form->Edit_Custo1->clear();
        QTRY_COMPARE(p.preview->Label_Overflow->text(), QString());

        // A caption that cannot be drawn is shown in the window, not as an
        // error box, and the last page stays.
        p.s.boxes.errors.clear();
        p.s.form->Label_Prn_Top->setText(QStringLiteral("Top"));
        p.preview->refresh();
        QCOMPARE(p.preview->Label_Overflow->text(), QStringLiteral("'Top' is not a valid integer value"));
        QVERIFY(p.s.boxes.errors.isEmpty());
        QVERIFY(!p.preview->page().empty());
        // A margin that every text survives but the goods' area edge does not.
        p.s.form->Label_Prn_Top->setText(QStringLiteral("0"));
        p.s.form->Label_Prn_Left->setText(QStringLiteral("2147481000"));
        p.preview->refresh();
        p.preview->View->repaint();
        QVERIFY(p.preview->Label_Overflow->text().startsWith(QStringLiteral("Print position out of range")));
    }

    void zoomFitActualAndCtrlWheel() {
        Previewed p;
        p.preview->resize(800, 500);
        p.preview->zoomActual();
        QCOMPARE(p.preview->zoom(), p.preview->logicalDpiY() / 360.0);
        QCOMPARE(p.preview->Label_Zoom->text(), QStringLiteral("100%"));
        const double actual = p.preview->zoom();
        QWheelEvent up(QPointF(10, 10), p.preview->View->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, 120),
                       Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(p.preview->View, &up);
        QCOMPARE(p.preview->zoom(), actual * 1.25);
        QCOMPARE(p.preview->Label_Zoom->text(), QStringLiteral("125%"));
        p.preview->Button_Fit->click();
        const QSize viewport = p.preview->ScrollArea->maximumViewportSize();
        QVERIFY(p.preview->View->width() <= viewport.width() && p.preview->View->height() <= viewport.height());
        QVERIFY(p.preview->View->width() >= viewport.width() - 8 || p.preview->View->height() >= viewport.height() - 8);
    }

    void f11NamesOverflowsWithoutChangingTheCommand() {
        Previewed p;
        p.s.form->Edit_Custo1->setText(kLongName);
        p.s.boxes.answer(false);
        p.s.form->SpeedButton_F11->click();
        QCOMPARE(p.s.boxes.questions, QStringList{kOverflowName + QStringLiteral("\n印刷しますか?")});
        QCOMPARE(p.s.form->Panel_HelpMess->text(), kOverflowName);
        QCOMPARE(p.s.focusedName(), QStringLiteral("Edit_G1"));
        QVERIFY(p.s.printers->documents.empty());

        p.s.boxes.answer(true);
        p.s.form->SpeedButton_F11->click();
        QCOMPARE(p.s.form->Panel_HelpMess->text(), kOverflowName);
        QCOMPARE(p.s.printers->documents.size(), 1u);
        QVERIFY(p.s.printers->documents[0].ended);
        QCOMPARE(p.s.printers->documents[0].pages.size(), 1u);
        QVERIFY(p.s.boxes.errors.isEmpty());

        // Everything fits: the prompt line is left to the fields.
        p.s.form->Edit_Custo1->setText(QStringLiteral("日通太郎"));
        p.s.form->Panel_HelpMess->setText(QStringLiteral("before"));
        p.s.boxes.answer(false);
        p.s.form->SpeedButton_F11->click();
        QVERIFY(!p.s.form->Panel_HelpMess->text().startsWith(QStringLiteral("はみ出す項目")));
        QCOMPARE(p.s.boxes.questions.last(), QStringLiteral("印刷しますか?"));
    }

    void typedMarginsMoveThePreviewAtOnce() {
        Previewed p;
        p.s.form->Edit_Custo1->setText(QStringLiteral("日通太郎"));
        QTRY_COMPARE(p.namePosition(), QPoint(405, 540));
        p.dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p.dialog));
        p.dialog.NumEdit_LEFT->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(p.dialog.NumEdit_LEFT, QStringLiteral("100"));
        QCOMPARE(p.namePosition(), QPoint(505, 540));  // no event loop needed
        QCOMPARE(p.dialog.Label_LeftMm->text(), QStringLiteral("= 7.1 mm"));  // 100 dots at 360 dpi
        QCOMPARE(p.dialog.Label_TopMm->text(), QStringLiteral("= 0.0 mm"));
        // Closed without saving: the main form's margins again.
        p.dialog.reject();
        QCOMPARE(p.namePosition(), QPoint(405, 540));
    }

    void testPrintIsAnOrdinaryJob() {
        Previewed p;
        p.s.boxes.answer(true);
        p.s.form->SpeedButton_F11->click();
        p.dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p.dialog));
        QCOMPARE(p.dialog.BitBtn_TestPrn->text(), QStringLiteral("テスト印刷"));
        p.s.boxes.questions.clear();
        p.s.boxes.answer(false);
        p.dialog.BitBtn_TestPrn->click();
        QCOMPARE(p.s.boxes.questions, QStringList{QStringLiteral("普通紙をセットしてください。テスト印刷しますか?")});
        QCOMPARE(p.s.printers->documents.size(), 1u);

        p.dialog.NumEdit_TOP->setText(QStringLiteral("20"));
        p.s.boxes.answer(true);
        p.dialog.BitBtn_TestPrn->click();
        QVERIFY(p.s.boxes.errors.isEmpty());
        QCOMPARE(p.s.printers->documents.size(), 2u);
        const auto& waybill = p.s.printers->documents[0];
        const auto& test = p.s.printers->documents[1];
        // Same printer, title and settings (paper, bin, scale) as the waybill.
        QCOMPARE(test.printer, waybill.printer);
        QCOMPARE(test.title, waybill.title);
        QVERIFY(test.settings.paperSize == waybill.settings.paperSize &&
                test.settings.defaultSource == waybill.settings.defaultSource &&
                test.settings.scale == waybill.settings.scale);
        QVERIFY(test.ended);
        QCOMPARE(test.pages.size(), 1u);
        // The 10 mm number of the top ruler, at the typed top margin: 10.5 mm
        // across (149 dots at 360 dpi) and 3 mm down (43 dots) plus 20.
        bool found = false;
        for (const auto& call : test.pages[0])
            found = found || (call.text == "10" && call.x == 149 && call.y == 63);
        QVERIFY(found);
        // The main form's margins stay as they were.
        QCOMPARE(p.s.form->Label_Prn_Top->text(), QStringLiteral("0"));
    }
};

QTEST_MAIN(TestPreviewWindow)
#include "preview_window_test.moc"
