// The form's own small widgets on their own: the tab strip that tells the
// user's tab changes from the program's, and the Shift-JIS entry field.
#include <QSignalSpy>
#include <QtTest>

#include "widgets/sjis_line_edit.h"
#include "widgets/user_tab_bar.h"

class TestFormWidgets : public QObject {
    Q_OBJECT
private slots:
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
