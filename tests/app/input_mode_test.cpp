// Input modes on a plain Qt editor, the way the input method sees them: what
// it is told (may it compose, which hints, which language), also after the
// editor was read-only for a while, and what becomes of a pre-edit that
// carries a commit. The form's fields are tried in test_form_entry, the
// batch table's cells in test_batch_window.
#include <QInputMethodEvent>
#include <QInputMethodQueryEvent>
#include <QLineEdit>
#include <QtTest>

#include "app/input_mode.h"

Q_DECLARE_METATYPE(InputMode)

namespace {
// What the platform's input context is told when it asks the field.
QVariant ask(QWidget* w, Qt::InputMethodQuery q) {
    QInputMethodQueryEvent query(q | Qt::ImHints);
    QCoreApplication::sendEvent(w, &query);
    return query.value(q);
}
bool composes(QWidget* w) { return ask(w, Qt::ImEnabled).toBool(); }

// Whether the field took an event that shows `preedit` and commits `commit`.
bool sendPreedit(QWidget* w, const QString& preedit, const QString& commit) {
    QInputMethodEvent e(preedit, {});
    e.setCommitString(commit);
    QCoreApplication::sendEvent(w, &e);
    return e.isAccepted();
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

        // A commit goes in, even where it comes with a pre-edit the field
        // does not take.
        QCOMPARE(sendPreedit(&e, QStringLiteral("いち"), QStringLiteral("１")), on);
        QCOMPARE(e.text(), QStringLiteral("１"));
    }
};

QTEST_MAIN(InputModeTest)
#include "input_mode_test.moc"
