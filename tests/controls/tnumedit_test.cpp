#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QImage>
#include <QInputMethodEvent>
#include <QInputMethodQueryEvent>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "controls/TNumEdit.h"

namespace {

// A small form: two numeric fields and a button, shown and active, so focus
// moves and keys behave as in a real window.
struct Form {
    QWidget window;
    TNumEdit* first;
    TNumEdit* second;
    QPushButton* button;

    Form() {
        first = new TNumEdit(&window);
        second = new TNumEdit(&window);
        button = new QPushButton(QStringLiteral("OK"), &window);
        first->move(10, 10);
        second->move(10, 50);
        button->move(10, 90);
        window.resize(200, 140);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        first->setFocus(Qt::TabFocusReason);
    }
};

int advance(const QFont& f, const QString& s) { return s.isEmpty() ? 0 : QFontMetrics(f).horizontalAdvance(s) + 1; }

bool hasPixel(const QImage& img, const std::function<bool(QColor)>& pred) {
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (pred(img.pixelColor(x, y))) return true;
    return false;
}

}  // namespace

class TNumEditTest : public QObject {
    Q_OBJECT

private slots:
    void typingShowsGroupedValueAndCopies() {
        Form f;
        QSignalSpy changed(f.first, &TNumEdit::changed);
        QTest::keyClicks(f.first, QStringLiteral("1234"));
        QCOMPARE(f.first->displayText(), QStringLiteral("1,234"));
        QCOMPARE(f.first->text(), QStringLiteral("1234"));
        QCOMPARE(changed.count(), 4);

        QApplication::clipboard()->clear();
        QTest::keyClick(f.first, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(f.first, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("1234"));
        f.first->setImageCopy(true);
        QTest::keyClick(f.first, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("1,234"));

        // Overtyping the selection, then the exchanging undo from the menu.
        QTest::keyClick(f.first, Qt::Key_5);
        QCOMPARE(f.first->text(), QStringLiteral("5"));
        f.first->menuClick(0);
        QCOMPARE(f.first->text(), QString());
        f.first->menuClick(0);
        QCOMPARE(f.first->text(), QStringLiteral("5"));
    }

    void keysThatAreNotCharacters() {
        Form f;
        f.first->setText(QStringLiteral("12.5"));
        QTest::keyClick(f.first, Qt::Key_Backspace);
        QCOMPARE(f.first->text(), QStringLiteral("12"));
        QTest::keyClick(f.first, Qt::Key_Delete);
        QCOMPARE(f.first->text(), QStringLiteral("1"));
        QTest::keyClick(f.first, Qt::Key_1, Qt::ControlModifier);  // a chord types nothing
        QTest::keyClick(f.first, Qt::Key_1, Qt::AltModifier);
        QCOMPARE(f.first->text(), QStringLiteral("1"));
        QApplication::clipboard()->setText(QStringLiteral("２３"));
        QTest::keyClick(f.first, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.first->text(), QStringLiteral("123"));
    }

    void editingKeysWinOverWindowShortcuts() {
        Form f;
        int fired = 0;
        auto* copy = new QAction(&f.window);
        copy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
        f.window.addAction(copy);
        connect(copy, &QAction::triggered, this, [&] { ++fired; });
        auto* f2 = new QAction(&f.window);
        f2->setShortcut(QKeySequence(Qt::Key_F2));
        f.window.addAction(f2);
        connect(f2, &QAction::triggered, this, [&] { fired += 10; });
        f.first->setText(QStringLiteral("42"));
        f.first->selectAll();
        QApplication::clipboard()->clear();
        QTest::keyClick(f.first, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("42"));
        QCOMPARE(fired, 0);
        QTest::keyClick(f.first, Qt::Key_F2);
        QCOMPARE(fired, 10);
    }

    void setTextNormalises() {
        TNumEdit e;
        QSignalSpy changed(&e, &TNumEdit::changed);
        e.setText(QStringLiteral("１，２３４．５"));
        QCOMPARE(e.text(), QStringLiteral("1234.5"));
        e.setText(QStringLiteral("1234.5"));
        QCOMPARE(changed.count(), 1);
        e.setText(QStringLiteral("12😀"));  // no Shift-JIS form: the reading stops there
        QCOMPARE(e.text(), QStringLiteral("12"));
        e.setText(QStringLiteral("12345678901"));
        QCOMPARE(e.text(), QString());
    }

    void inputMethodFullWidth() {
        Form f;
        // The input method is off here: told so when it asks, and a pre-edit
        // is not taken; a commit that comes anyway counts as typed.
        QInputMethodQueryEvent asked(Qt::ImEnabled);
        QApplication::sendEvent(f.first, &asked);
        QVERIFY(!asked.value(Qt::ImEnabled).toBool());
        QInputMethodEvent preedit(QStringLiteral("１"), {});
        QApplication::sendEvent(f.first, &preedit);
        QVERIFY(!preedit.isAccepted());
        QCOMPARE(f.first->text(), QString());
        QInputMethodEvent ime;
        ime.setCommitString(QStringLiteral("１２．５－"));
        QApplication::sendEvent(f.first, &ime);
        QCOMPARE(f.first->text(), QStringLiteral("-12.5"));
        f.first->setErrorBeep(false);
        QInputMethodEvent kanji;
        kanji.setCommitString(QStringLiteral("あ，"));
        QApplication::sendEvent(f.first, &kanji);
        QCOMPARE(f.first->text(), QStringLiteral("-12.5"));
        QCOMPARE(f.first->inputMethodQuery(Qt::ImCursorRectangle).toRect(), f.first->caretRect());
    }

    void emptyRightAlignedCaret() {
        Form f;
        TNumEdit* e = f.first;
        QVERIFY(e->hasFocus());
        QVERIFY(e->caretShown());
        const QRect c = e->clientRect();
        QCOMPARE(e->textRect().width(), 0);
        QCOMPARE(e->caretRect().x() - c.x(), c.width() - 4);
        QCOMPARE(e->caretRect().width(), 1);
        // Nothing but the background is drawn.
        const QImage img = e->grab(c).toImage();
        const QColor bg = e->color();
        QVERIFY(!hasPixel(img, [&](QColor p) { return p != bg && p != e->palette().color(QPalette::Text); }));

        f.second->setFocus(Qt::TabFocusReason);
        QVERIFY(!e->caretShown());
    }

    void caretFollowsTypedValue() {
        Form f;
        TNumEdit* e = f.first;
        QTest::keyClicks(e, QStringLiteral("1234"));
        const QRect c = e->clientRect();
        const int F = advance(e->font(), QStringLiteral("1,234"));
        QCOMPARE(e->textRect().left() - c.x(), c.width() - 2 - F - 1);
        // The caret stands at the end of the value.
        QCOMPARE(e->caretRect().x(), e->textRect().left() + F - 1);
    }

    void leftJustifiedFixedField() {
        TNumEdit e;
        e.setAlignment(TNumEdit::taLeftJustify);
        e.setText(QStringLiteral("7"));
        const QRect c = e.clientRect();
        QCOMPARE(e.textRect().left() - c.x(), 2);  // starts at the left margin and grows right

        e.setMinus(false);
        e.setComma(false);
        e.setIntegerLength(3);
        e.setIntegerFixed(true);
        const int W = advance(e.font(), QStringLiteral("000"));
        const int F = advance(e.font(), QStringLiteral("7"));
        QCOMPARE(e.textRect().left() - c.x(), 2 + W - F);  // the digit sits at the field's right end
        QCOMPARE(e.textRect().right() + 1 - c.x(), 2 + W);
    }

    void leftMarkOnlyWithValue() {
        TNumEdit e;
        e.setLeftMark(QStringLiteral("￥"));
        QCOMPARE(e.leftMarkRect().width(), 0);
        QCOMPARE(e.displayText(), QString());
        e.setText(QStringLiteral("5"));
        QCOMPARE(e.displayText(), QStringLiteral("￥5"));
        QCOMPARE(e.leftMarkRect().width(), advance(e.font(), QStringLiteral("￥")));
        QCOMPARE(e.leftMarkRect().right() + 1, e.textRect().left());
    }

    void verticalAlignment() {
        TNumEdit e;
        e.setAutoSize(false);
        e.resize(121, 40);
        const QRect c = e.clientRect();
        const int H = e.textHeight();
        e.setVertAlignment(TNumEdit::taTopJustify);
        QCOMPARE(e.textRect().top() - c.y(), 2);
        e.setVertAlignment(TNumEdit::taBottomJustify);
        QCOMPARE(e.textRect().top() - c.y(), c.height() - H - 2);
        e.setVertAlignment(TNumEdit::taVCenter);
        QCOMPARE(e.textRect().top() - c.y(), (c.height() - H - 4) / 2 + 2);
    }

    void selectionAndDisabledColours() {
        TNumEdit e;
        e.setText(QStringLiteral("888"));
        e.setColor(Qt::white);
        e.setDisabledColor(QColor(255, 0, 0));
        e.selectAll();
        const QColor hl = e.palette().color(QPalette::Active, QPalette::Highlight);
        QVERIFY(hasPixel(e.grab().toImage(), [&](QColor p) { return p == hl; }));
        e.setEnabled(false);
        const QImage img = e.grab().toImage();
        QVERIFY(!hasPixel(img, [&](QColor p) { return p == hl; }));
        QVERIFY(hasPixel(img, [](QColor p) { return p.red() > 200 && p.green() < 90 && p.blue() < 90; }));
    }

    void mouseSelection() {
        Form f;
        TNumEdit* e = f.first;
        e->setText(QStringLiteral("1234"));
        const QPoint onValue = e->textRect().center();
        QSignalSpy clicks(e, &TNumEdit::clicked);
        QSignalSpy doubles(e, &TNumEdit::doubleClicked);
        QTest::mouseDClick(e, Qt::LeftButton, Qt::NoModifier, onValue);
        QVERIFY(e->hasSelection());
        QCOMPARE(doubles.count(), 1);
        QTest::mouseClick(e, Qt::LeftButton, Qt::NoModifier, onValue);
        QVERIFY(!e->hasSelection());
        QVERIFY(clicks.count() >= 1);

        // Dragging over the empty area left of the value selects nothing;
        // crossing the value selects it all.
        const QPoint empty(e->clientRect().left() + 3, onValue.y());
        QTest::mousePress(e, Qt::LeftButton, Qt::NoModifier, empty);
        QMouseEvent moveEmpty(QEvent::MouseMove, empty + QPoint(2, 0), e->mapToGlobal(empty + QPoint(2, 0)),
                              Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(e, &moveEmpty);
        QVERIFY(!e->hasSelection());
        QMouseEvent moveValue(QEvent::MouseMove, onValue, e->mapToGlobal(onValue), Qt::NoButton, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(e, &moveValue);
        QVERIFY(e->hasSelection());
        QTest::mouseRelease(e, Qt::LeftButton, Qt::NoModifier, onValue);
        QVERIFY(e->hasSelection());
    }

    void popupEnabling() {
        Form f;
        TNumEdit* e = f.first;
        const auto enabled = [e] {
            e->menuPopup();
            QStringList on;
            for (QAction* a : e->popupMenu()->actions())
                if (!a->isSeparator() && a->isEnabled()) on << QString::number(a->data().toInt());
            return on.join(u',');
        };
        QApplication::clipboard()->setText(QStringLiteral("9"));
        QCOMPARE(e->popupMenu()->actions().size(), 8);
        QCOMPARE(e->popupMenu()->actions().at(5)->text(), QStringLiteral("削除(&D)"));
        QCOMPARE(enabled(), QStringLiteral("4"));
        QTest::keyClicks(e, QStringLiteral("12"));
        QCOMPARE(enabled(), QStringLiteral("0,4,7"));
        e->selectAll();
        QCOMPARE(enabled(), QStringLiteral("0,2,3,4,5"));
        e->setReadOnly(true);
        QCOMPARE(enabled(), QStringLiteral("3"));
        e->clearSelection();
        QCOMPARE(enabled(), QStringLiteral("7"));
        QTest::keyClicks(e, QStringLiteral("34"));
        QCOMPARE(e->text(), QStringLiteral("12"));

        e->setReadOnly(false);
        e->selectAll();
        e->menuClick(5);  // 削除 clears the value
        QCOMPARE(e->text(), QString());
        // Opening the menu focuses the control.
        f.second->menuPopup();
        QVERIFY(f.second->hasFocus());
    }

    void focusBehaviour() {
        Form f;
        f.second->setText(QStringLiteral("56"));
        QTest::keyClick(f.first, Qt::Key_Minus);
        QCOMPARE(f.first->text(), QStringLiteral("-"));
        QTest::keyClick(f.first, Qt::Key_Tab);
        QVERIFY(f.second->hasFocus());
        QCOMPARE(f.first->text(), QString());  // the lone minus is dropped on leaving
        QVERIFY(f.second->hasSelection());     // AutoSelect

        f.second->setOptions(numedit::eoMinusOnly | numedit::eoArrowUp | numedit::eoArrowDown);
        f.second->setHideSelection(false);
        f.second->setText(QStringLiteral("-"));
        f.second->selectAll();
        f.button->setFocus(Qt::TabFocusReason);
        QCOMPARE(f.second->text(), QStringLiteral("-"));
        QVERIFY(f.second->hasSelection());
    }

    void focusMovesByKey() {
        Form f;
        QTest::keyClick(f.first, Qt::Key_Down);
        QVERIFY(f.first->hasFocus());  // ArrowFocusMove is off by default
        f.first->setArrowFocusMove(true);
        QTest::keyClick(f.first, Qt::Key_Down);
        QVERIFY(f.second->hasFocus());
        f.second->setArrowFocusMove(true);
        QTest::keyClick(f.second, Qt::Key_Up);
        QVERIFY(f.first->hasFocus());
        f.first->setEnterFocusMove(true);
        QTest::keyClick(f.first, Qt::Key_Return);
        QVERIFY(f.second->hasFocus());
        f.second->setErrorBeep(false);
        QTest::keyClick(f.second, Qt::Key_Return);
        QVERIFY(f.second->hasFocus());
    }

    void boldCaretAndAutoSize() {
        Form f;
        QFont bold = f.first->font();
        bold.setBold(true);
        f.first->setFont(bold);
        QCOMPARE(f.first->caretWidth(), 2);
        QCOMPARE(f.first->caretRect().width(), 2);

        TNumEdit e;
        const int H = QFontMetrics(e.font()).height();
        QCOMPARE(e.textHeight(), H);
        QCOMPARE(e.clientRect().height(), H + 4);
        e.setTopMargin(5);
        QCOMPARE(e.clientRect().height(), H + 7);
        e.setBottomMargin(-1);  // ignored
        QCOMPARE(e.bottomMargin(), 2);
        e.setAutoSize(false);
        e.resize(121, 50);
        QCOMPARE(e.height(), 50);
        QCOMPARE(e.width(), 121);
    }

    void widthStopUsesAvailableWidth() {
        TNumEdit e;
        e.setAutoSize(false);
        e.setOptions(numedit::eoORInputStop);
        e.setErrorBeep(false);
        e.resize(40, 20);
        for (int i = 0; i < 9; ++i) QTest::keyClick(&e, Qt::Key_8);
        const int room = e.availableWidth();
        QVERIFY(advance(e.font(), e.displayText()) <= room);
        QVERIFY(e.text().size() < 9);
    }
};

QTEST_MAIN(TNumEditTest)
#include "tnumedit_test.moc"
