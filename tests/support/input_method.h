#pragma once
// A Japanese input method in hiragana mode, as a field meets it: where the
// field lets it compose (it answers the input method's "enabled?" query
// with yes), typed digits become a full-width pre-edit that Enter only
// commits; where it does not, the keys reach the field as typed. A barcode
// scanner types this way too.
#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QInputMethodQueryEvent>
#include <QTest>
#include <QWidget>

inline bool composesIn(QWidget* field) {
    QInputMethodQueryEvent asked(Qt::ImEnabled);
    QCoreApplication::sendEvent(field, &asked);
    return asked.value(Qt::ImEnabled).toBool();
}

// Types ASCII `keys` into the field, then Enter when `enter` is set.
inline void typeThroughInputMethod(QWidget* field, const QString& keys, bool enter = true) {
    if (!composesIn(field)) {
        QTest::keyClicks(field, keys);
        if (enter) QTest::keyClick(field, Qt::Key_Return);
        return;
    }
    QString preedit;
    for (QChar c : keys) {
        preedit += (c > u' ' && c <= u'~') ? QChar(static_cast<char16_t>(c.unicode() + 0xFEE0)) : c;
        QInputMethodEvent shown(preedit, {});
        QCoreApplication::sendEvent(field, &shown);
    }
    if (!enter) return;
    QInputMethodEvent committed;
    committed.setCommitString(preedit);
    QCoreApplication::sendEvent(field, &committed);
}
