// The form's own small widgets on their own: the tab strip that tells the
// user's tab changes from the program's, the Shift-JIS entry field, and the
// print question's number field.
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include "services/message_boxes.h"
#include "widgets/sjis_line_edit.h"
#include "widgets/user_tab_bar.h"

class TestFormWidgets : public QObject {
    Q_OBJECT
private slots:
    // The print question is answered by typing or scanning over the
    // proposed number: it starts in the number field, and the scanner's
    // Enter there answers はい with the scanned number.
    void thePrintQuestionStartsInTheNumberField() {
        QWidget parent;
        parent.show();
        QString focused;
        QTimer::singleShot(50, [&] {
            QWidget* box = QApplication::activeModalWidget();
            if (!box) return;
            QWidget* field = box->focusWidget();  // the box's focus, given to the box when it is active
            focused = field ? field->objectName() : QString();
            if (focused != QStringLiteral("Edit_FirstNumber")) {
                box->close();
                return;
            }
            QTest::keyClicks(field, QStringLiteral("123456789024"));
            QTest::keyClick(field, Qt::Key_Return);
        });
        const std::optional<QString> answer =
            messageBoxes().printQuestion(&parent, QStringLiteral("印刷しますか?"), QStringLiteral("123456789013"));
        QCOMPARE(focused, QStringLiteral("Edit_FirstNumber"));
        QCOMPARE(answer.value_or(QStringLiteral("No")), QStringLiteral("123456789024"));
    }

    void tabStripReportsOnlyTheUsersChanges() {
        UserTabBar tabs;
        for (int i = 1; i <= 10; ++i) tabs.addTab(QStringLiteral("依頼主%1").arg(i));
        tabs.resize(600, 20);
        tabs.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tabs));
        QSignalSpy user(&tabs, &UserTabBar::userSelected);
        QSignalSpy any(&tabs, &QTabBar::currentChanged);

        tabs.setCurrentIndex(3);  // restoring the settings
        QCOMPARE(any.size(), 1);
        QVERIFY(user.isEmpty());

        QTest::mouseClick(&tabs, Qt::LeftButton, {}, tabs.tabRect(5).center());
        QCOMPARE(user.size(), 1);
        QCOMPARE(user.takeFirst().at(0).toInt(), 5);

        QTest::mouseClick(&tabs, Qt::LeftButton, {}, tabs.tabRect(5).center());  // same tab again
        QVERIFY(user.isEmpty());

        tabs.setFocus();
        QTest::keyClick(&tabs, Qt::Key_Right);
        QCOMPARE(user.size(), 1);
        QCOMPARE(tabs.currentIndex(), 6);
    }

    void refusedInputLeavesTextCaretAndUndoIntact() {
        SjisLineEdit e;
        e.setByteLimit(5);
        e.show();
        QVERIFY(QTest::qWaitForWindowExposed(&e));
        QSignalSpy refused(&e, &SjisLineEdit::inputRefused);
        QTest::keyClicks(&e, QStringLiteral("ab"));
        QTest::sendKeyEvent(QTest::Click, &e, Qt::Key_unknown, QStringLiteral("漢"), Qt::NoModifier);
        QCOMPARE(e.text(), QStringLiteral("ab漢"));
        e.setCursorPosition(1);
        QTest::sendKeyEvent(QTest::Click, &e, Qt::Key_unknown, QStringLiteral("字"), Qt::NoModifier);  // 6 bytes
        QCOMPARE(e.text(), QStringLiteral("ab漢"));
        QCOMPARE(e.cursorPosition(), 1);
        QCOMPARE(refused.size(), 1);
        QCOMPARE(refused.first().at(0).toString(), QString());  // the limit only beeps
        QTest::sendKeyEvent(QTest::Click, &e, Qt::Key_unknown, QString(QChar(0x2603)), Qt::NoModifier);  // snowman
        QCOMPARE(e.text(), QStringLiteral("ab漢"));
        QCOMPARE(refused.last().at(0).toString(), SjisLineEdit::notEncodableMessage());
        // Undo still walks back the accepted typing.
        QTest::keyClick(&e, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(e.text() != QStringLiteral("ab漢"));
        QVERIFY(!e.text().contains(QChar(0x2603)));
    }
};

QTEST_MAIN(TestFormWidgets)
#include "form_widgets_test.moc"
