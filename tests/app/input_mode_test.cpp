// Input modes on plain Qt editors, the way the input method sees them: what
// it is told (may it compose, which hints, which language), what becomes of
// a pre-edit and a commit, and the mode of a table cell's editor.
#include <QInputMethodEvent>
#include <QInputMethodQueryEvent>
#include <QLineEdit>
#include <QTableWidget>
#include <QtTest>
#include <memory>

#include "app/input_mode.h"
#include "app/input_mode_delegate.h"

Q_DECLARE_METATYPE(InputMode)

namespace {
// What the platform's input context is told when it asks the field.
QVariant ask(QWidget* w, Qt::InputMethodQuery q) {
    QInputMethodQueryEvent query(q | Qt::ImHints);
    QCoreApplication::sendEvent(w, &query);
    return query.value(q);
}
bool composes(QWidget* w) { return ask(w, Qt::ImEnabled).toBool(); }

bool sendPreedit(QWidget* w, const QString& preedit, const QString& commit = QString()) {
    QInputMethodEvent e(preedit, {});
    if (!commit.isEmpty()) e.setCommitString(commit);
    QCoreApplication::sendEvent(w, &e);
    return e.isAccepted();
}
void sendCommit(QWidget* w, const QString& commit) {
    QInputMethodEvent e;
    e.setCommitString(commit);
    QCoreApplication::sendEvent(w, &e);
}
}  // namespace

class InputModeTest : public QObject {
    Q_OBJECT
private slots:
    void modesOnALineEdit_data() {
        QTest::addColumn<InputMode>("mode");
        QTest::addColumn<bool>("on");
        QTest::addColumn<int>("hint");  // one hint the mode must give
        QTest::newRow("japanese") << InputMode::Japanese << true << int(Qt::ImhNone);
        QTest::newRow("digits") << InputMode::Digits << false << int(Qt::ImhDigitsOnly);
        QTest::newRow("code") << InputMode::Code << false << int(Qt::ImhPreferNumbers);
        QTest::newRow("telephone") << InputMode::Telephone << false << int(Qt::ImhDialableCharactersOnly);
    }
    void modesOnALineEdit() {
        QFETCH(InputMode, mode);
        QFETCH(bool, on);
        QFETCH(int, hint);
        QLineEdit e;
        setInputMode(&e, InputMode::Telephone);
        setInputMode(&e, mode);  // a second mode replaces the first
        QCOMPARE(inputMode(&e), mode);
        QCOMPARE(composes(&e), on);
        QCOMPARE(e.testAttribute(Qt::WA_InputMethodEnabled), on);
        QCOMPARE(ask(&e, Qt::ImHints).toInt() & hint, hint);
        if (on) QCOMPARE(ask(&e, Qt::ImPreferredLanguage).toString(), QStringLiteral("ja_JP"));

        // QLineEdit switches the input method back on when it leaves
        // read-only; the mode holds.
        e.setReadOnly(true);
        e.setReadOnly(false);
        QCOMPARE(composes(&e), on);
        QCOMPARE(e.testAttribute(Qt::WA_InputMethodEnabled), on);

        // A pre-edit shows only where the input method is on; a commit goes
        // in either way, alone or carried by a pre-edit event.
        QCOMPARE(sendPreedit(&e, QStringLiteral("ぜろ")), on);
        sendCommit(&e, QStringLiteral("０３"));
        QCOMPARE(e.text(), QStringLiteral("０３"));
        QCOMPARE(sendPreedit(&e, QStringLiteral("いち"), QStringLiteral("１")), on);
        QCOMPARE(e.text(), QStringLiteral("０３１"));
    }

    void tableCellEditorsTakeTheirColumnsMode() {
        QTableWidget table(1, 3);
        InputModeDelegate modes;
        modes.setColumnMode(0, InputMode::Code);
        modes.setColumnMode(1, InputMode::Japanese);
        const bool expected[] = {false, true, true};  // column 2: Qt's editor, input method on
        for (int c = 0; c < 3; ++c) {
            std::unique_ptr<QWidget> editor(
                modes.createEditor(table.viewport(), QStyleOptionViewItem(), table.model()->index(0, c)));
            QVERIFY(editor);
            QCOMPARE(composes(editor.get()), expected[c]);
        }
    }
};

QTEST_MAIN(InputModeTest)
#include "input_mode_test.moc"
