// Keyboard flow of the entry form: focus order, the key map per field,
// the Enter character and the delivery date digit filter.
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "tests/app/test_form_fixture.h"

namespace {
const QStringList kOrder = {
    QStringLiteral("Edit_Zip"),           QStringLiteral("Edit_Add1"),           QStringLiteral("Edit_Add2"),
    QStringLiteral("Edit_Add3"),          QStringLiteral("Edit_Custo1"),         QStringLiteral("Edit_tel"),
    QStringLiteral("PageControl_My"),     QStringLiteral("CheckBox_My"),         QStringLiteral("Edit_MyZip"),
    QStringLiteral("Edit_MyADD1"),        QStringLiteral("Edit_MyADD2"),         QStringLiteral("Edit_My"),
    QStringLiteral("Edit_MyTEL"),         QStringLiteral("BitBtn_My"),           QStringLiteral("CheckBox_Date_1"),
    QStringLiteral("DateTimePicker_1"),   QStringLiteral("Edit_de_date1"),       QStringLiteral("Edit_de_date2"),
    QStringLiteral("Edit_de_date3"),      QStringLiteral("Edit_G1"),             QStringLiteral("Edit_G2"),
    QStringLiteral("Edit_G3"),            QStringLiteral("CheckBox_Pelican_1"),  QStringLiteral("CheckBox_Pelican_2"),
    QStringLiteral("CheckBox_Pelican_3"), QStringLiteral("CheckBox_Pelican_4"),  QStringLiteral("CheckBox_Pelican_5"),
    QStringLiteral("CheckBox_Pelican_6"), QStringLiteral("CheckBox_Pelican_21"), QStringLiteral("CheckBox_Pelican_22"),
    QStringLiteral("CheckBox_Pelican_23"), QStringLiteral("CheckBox_Pelican_24"), QStringLiteral("CheckBox_Pelican_25"),
    QStringLiteral("ComboBox_SEL"),       QStringLiteral("BitBtn_SendMail")};

// The text fields that carry the key map (F2, F11, Enter, Up).
const QStringList kKeyMapFields = {
    QStringLiteral("Edit_Zip"),      QStringLiteral("Edit_Add1"),     QStringLiteral("Edit_Add2"),
    QStringLiteral("Edit_Add3"),     QStringLiteral("Edit_Custo1"),   QStringLiteral("Edit_tel"),
    QStringLiteral("Edit_MyZip"),    QStringLiteral("Edit_MyADD1"),   QStringLiteral("Edit_MyADD2"),
    QStringLiteral("Edit_My"),       QStringLiteral("Edit_MyTEL"),    QStringLiteral("DateTimePicker_1"),
    QStringLiteral("Edit_de_date1"), QStringLiteral("Edit_de_date2"), QStringLiteral("Edit_de_date3"),
    QStringLiteral("Edit_G1"),       QStringLiteral("Edit_G2"),       QStringLiteral("Edit_G3")};

// Controls without the text fields' key map: F2 does nothing there.
const QStringList kNoKeyMap = {QStringLiteral("CheckBox_My"), QStringLiteral("CheckBox_Pelican_3"),
                               QStringLiteral("CheckBox_Pelican_21"), QStringLiteral("PageControl_My"),
                               QStringLiteral("ComboBox_SEL"), QStringLiteral("BitBtn_My")};
}  // namespace

class TestFormKeys : public QObject {
    Q_OBJECT
private slots:
    void tabWalksTheOrderAndWrapsAround() {
        ShownForm f;
        QCOMPARE(f.focusedName(), QStringLiteral("Edit_Zip"));
        QStringList seen;
        for (int i = 0; i < kOrder.size(); ++i) {
            f.key(Qt::Key_Tab);
            seen << f.focusedName();
        }
        QStringList expected = kOrder.mid(1);
        expected << kOrder.first();
        QCOMPARE(seen, expected);
    }

    void shiftTabWalksBackwards() {
        ShownForm f;
        QStringList seen;
        for (int i = 0; i < kOrder.size(); ++i) {
            f.key(Qt::Key_Backtab, Qt::ShiftModifier);
            seen << f.focusedName();
        }
        QStringList expected;
        for (int i = static_cast<int>(kOrder.size()) - 1; i >= 0; --i) expected << kOrder[i];
        QCOMPARE(seen, expected);
    }

    void clickOnlyButtonsAreOutsideTheOrder() {
        ShownForm f;
        // The clear and web-help buttons take the focus by mouse only.
        for (const char* name : {"BitBtn_CLS", "BitBtn_WebHelp"})
            QCOMPARE(f.find(QLatin1String(name))->focusPolicy(), Qt::ClickFocus);
        for (int i = 1; i <= 12; ++i)
            QCOMPARE(f.find(QStringLiteral("SpeedButton_F%1").arg(i))->focusPolicy(), Qt::NoFocus);
    }

    void enterAndUp_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("to");
        const int enter = Qt::Key_Return, up = Qt::Key_Up;
        QTest::newRow("zip enter") << "Edit_Zip" << enter << "Edit_Add1";
        QTest::newRow("zip up: nothing") << "Edit_Zip" << up << "Edit_Zip";
        QTest::newRow("keypad enter") << "Edit_Zip" << int(Qt::Key_Enter) << "Edit_Add1";
        QTest::newRow("add1 up") << "Edit_Add1" << up << "Edit_Zip";
        QTest::newRow("add3 enter") << "Edit_Add3" << enter << "Edit_Custo1";
        QTest::newRow("tel enter jumps to goods") << "Edit_tel" << enter << "Edit_G1";
        QTest::newRow("tel up") << "Edit_tel" << up << "Edit_Custo1";
        QTest::newRow("sender zip up") << "Edit_MyZip" << up << "CheckBox_My";
        QTest::newRow("sender tel enter") << "Edit_MyTEL" << enter << "BitBtn_My";
        QTest::newRow("picker enter") << "DateTimePicker_1" << enter << "Edit_de_date1";
        QTest::newRow("picker up") << "DateTimePicker_1" << up << "CheckBox_Date_1";
        QTest::newRow("date1 up") << "Edit_de_date1" << up << "DateTimePicker_1";
        QTest::newRow("date3 enter") << "Edit_de_date3" << enter << "Edit_G1";
        QTest::newRow("goods2 up") << "Edit_G2" << up << "Edit_G1";
        QTest::newRow("goods2 enter") << "Edit_G2" << enter << "Edit_G3";
        QTest::newRow("goods3 enter") << "Edit_G3" << enter << "CheckBox_Pelican_1";
        // No key handler on check boxes, lists and buttons: Enter stays put.
        QTest::newRow("time band enter: nothing") << "CheckBox_Pelican_1" << enter << "CheckBox_Pelican_1";
        QTest::newRow("feed mode enter: nothing") << "ComboBox_SEL" << enter << "ComboBox_SEL";
        QTest::newRow("tab strip up: nothing") << "PageControl_My" << up << "PageControl_My";
    }
    void enterAndUp() {
        QFETCH(QString, from);
        QFETCH(int, key);
        QFETCH(QString, to);
        ShownForm f;
        f.focus(from);
        f.key(Qt::Key(key));
        QCOMPARE(f.focusedName(), to);
        QVERIFY(f.boxes.questions.isEmpty());  // moving onto a button does not press it
    }

    // Enter on a focused button presses it, as a click would; the sender
    // save is reached this way straight from the sender telephone field.
    void enterPressesTheFocusedButton_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("questions");
        QTest::addColumn<int>("opened");
        QTest::newRow("sender save") << "BitBtn_My" << QStringList{QStringLiteral("ご依頼主を登録しますか?")} << 0;
        QTest::newRow("consignee clear") << "BitBtn_CLS" << QStringList{QStringLiteral("お届け先をクリアますか?")}
                                         << 0;
        QTest::newRow("mail") << "BitBtn_SendMail" << QStringList{} << 1;
        QTest::newRow("web page") << "BitBtn_WebHelp" << QStringList{} << 1;
    }
    void enterPressesTheFocusedButton() {
        QFETCH(QString, button);
        QFETCH(QStringList, questions);
        QFETCH(int, opened);
        ShownForm f;
        f.find(button)->setFocus(Qt::MouseFocusReason);
        QCoreApplication::processEvents();
        QCOMPARE(f.focusedName(), button);
        f.key(Qt::Key_Return);
        QCOMPARE(f.boxes.questions, questions);
        QCOMPARE(f.shell.opened.size(), opened);
    }

    void enterCharacterIsDiscarded() {
        ShownForm f;
        auto* zip = f.find<QLineEdit>(QStringLiteral("Edit_Zip"));
        auto* add1 = f.find<QLineEdit>(QStringLiteral("Edit_Add1"));
        f.focus(QStringLiteral("Edit_Zip"));
        QTest::keyClicks(zip, QStringLiteral("100"));
        f.key(Qt::Key_Return);
        QCOMPARE(zip->text(), QStringLiteral("100"));
        QCOMPARE(add1->text(), QString());
        QVERIFY(f.boxes.questions.isEmpty());
    }

    void functionKeysInEveryKeyMapField() {
        ShownForm f;
        QSignalSpy print(f.find<QPushButton>(QStringLiteral("SpeedButton_F11")), &QPushButton::clicked);
        for (const QString& name : kKeyMapFields) {
            f.boxes.questions.clear();
            f.focus(name);
            f.key(Qt::Key_F11);
            QVERIFY2(print.size() == 1, qPrintable(name));
            print.clear();
            f.boxes.questions.clear();  // the print command's own question
            f.focus(name);
            f.key(Qt::Key_F2);  // answered No: the window stays, focus to the postal code
            QVERIFY2(f.boxes.questions == QStringList{QStringLiteral("終了しますか?")}, qPrintable(name));
            QVERIFY(f.form->isVisible());
            QCOMPARE(f.focusedName(), QStringLiteral("Edit_Zip"));
        }
    }

    // Preview and print work wherever the focus is (after a click on a time
    // band box, say); F2 stays with the text fields.
    void previewAndPrintKeysOutsideTheKeyMap() {
        ShownForm f;
        QSignalSpy preview(f.find<QPushButton>(QStringLiteral("SpeedButton_F10")), &QPushButton::clicked);
        QSignalSpy print(f.find<QPushButton>(QStringLiteral("SpeedButton_F11")), &QPushButton::clicked);
        for (const QString& name : kNoKeyMap) {
            f.form->activateWindow();  // back from the preview
            QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
            f.focus(name);
            QCOMPARE(f.focusedName(), name);
            QWidget* control = f.find(name);
            QTest::keyClick(control, Qt::Key_F11);
            QVERIFY2(print.size() == 1, qPrintable(name));
            QTest::keyClick(control, Qt::Key_F10);
            QVERIFY2(preview.size() == 1, qPrintable(name));
            f.boxes.questions.clear();  // the print command's own question
            QTest::keyClick(control, Qt::Key_F2);
            QVERIFY2(f.boxes.questions.isEmpty(), qPrintable(name));
            print.clear();
            preview.clear();
        }
    }

    void exitCommand() {
        {
            ShownForm f;
            f.boxes.answer(true);
            f.focus(QStringLiteral("Edit_G1"));
            f.key(Qt::Key_F2);
            QCOMPARE(f.boxes.questions, QStringList{QStringLiteral("終了しますか?")});
            QVERIFY(!f.form->isVisible());
        }
        {
            ShownForm f;
            f.boxes.answer(false);
            f.focus(QStringLiteral("Edit_G1"));
            f.find<QPushButton>(QStringLiteral("SpeedButton_F2"))->click();
            QVERIFY(f.form->isVisible());
            QCOMPARE(f.focusedName(), QStringLiteral("Edit_Zip"));
        }
    }

    void closeBoxAsksNothing() {
        ShownForm f;
        QVERIFY(f.form->close());
        QVERIFY(f.boxes.questions.isEmpty());
    }

    void deliveryDateTakesTwoDigitsOnly_data() {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("text");
        QTest::newRow("letter") << QStringList{QStringLiteral("a")} << QString();
        QTest::newRow("full-width digits") << QStringList{QStringLiteral("１"), QStringLiteral("２")}
                                           << QStringLiteral("12");
        QTest::newRow("hyphen") << QStringList{QStringLiteral("-")} << QString();
        QTest::newRow("full-width kana") << QStringList{QStringLiteral("あ")} << QString();
        QTest::newRow("two digits") << QStringList{QStringLiteral("1"), QStringLiteral("2")} << QStringLiteral("12");
        QTest::newRow("third digit refused")
            << QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")} << QStringLiteral("12");
        QTest::newRow("mixed") << QStringList{QStringLiteral("x"), QStringLiteral("0"), QStringLiteral("／"),
                                              QStringLiteral("9")}
                               << QStringLiteral("09");
    }
    void deliveryDateTakesTwoDigitsOnly() {
        QFETCH(QStringList, keys);
        QFETCH(QString, text);
        ShownForm f;
        f.focus(QStringLiteral("Edit_de_date2"));
        for (const QString& k : keys) f.type(k);
        QCOMPARE(f.find<QLineEdit>(QStringLiteral("Edit_de_date2"))->text(), text);
        QCOMPARE(f.focusedName(), QStringLiteral("Edit_de_date2"));
    }

    void deliveryDateBackspaceAndPaste() {
        ShownForm f;
        auto* d = f.find<QLineEdit>(QStringLiteral("Edit_de_date1"));
        f.focus(QStringLiteral("Edit_de_date1"));
        f.type(QStringLiteral("2"));
        f.type(QStringLiteral("7"));
        f.key(Qt::Key_Backspace);
        QCOMPARE(d->text(), QStringLiteral("2"));
        // Pasting letters is refused just like typing them.
        QApplication::clipboard()->setText(QStringLiteral("a1"));
        f.key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(d->text(), QStringLiteral("2"));
    }
};

QTEST_MAIN(TestFormKeys)
#include "form_keys_test.moc"
