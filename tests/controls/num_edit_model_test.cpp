#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/num_edit_model.h"

namespace {

using numedit::Key;
using numedit::NumEditModel;

// A model wired to counters and a string clipboard; every character is 8
// pixels wide.
struct Rig {
    NumEditModel m;
    int beeps = 0;
    int changes = 0;
    int available = 1000;
    std::optional<std::string> clipboard;

    Rig() {
        numedit::Hooks h;
        h.measure = [](std::string_view t) { return static_cast<int>(t.size()) * 8; };
        h.availableWidth = [this] { return available; };
        h.beep = [this] { ++beeps; };
        h.changed = [this] { ++changes; };
        h.clipboardText = [this] { return clipboard; };
        h.setClipboardText = [this](const std::string& t) { clipboard = t; };
        m.setHooks(std::move(h));
    }
    void type(const std::string& keys) {
        for (char c : keys) m.keyChar(c);
    }
};

TEST(NumEditModel, TypingDefaults) {
    struct Case {
        const char* keys;
        const char* value;
        const char* display;
        int beeps;
    };
    const Case cases[] = {
        {"1234", "1234", "1,234", 0},
        {"05", "5", "5", 0},
        {".", "0.", "0.", 0},
        {"-", "-", "-", 0},
        {"-.", "-0.", "-0.", 0},
        {"1.2345", "1.234", "1.234", 1},     // a fourth decimal is refused
        {"1..2", "1.2", "1.2", 1},           // a second point is refused
        {"1234567890", "123456789", "123,456,789", 1},
        {"12-", "-12", "-12", 0},            // the minus toggles wherever it is typed
        {"12--", "12", "12", 0},
        {"1a2 ", "12", "12", 2},             // letters and blanks are refused
        {"000", "0", "0", 0},
    };
    for (const auto& c : cases) {
        Rig r;
        r.type(c.keys);
        EXPECT_EQ(r.m.text(), c.value) << c.keys;
        EXPECT_EQ(r.m.displayText(), c.display) << c.keys;
        EXPECT_EQ(r.beeps, c.beeps) << c.keys;
    }
}

TEST(NumEditModel, ParcelCount) {
    Rig r;
    r.m.setIntegerLength(3);
    r.m.setDecimalLength(0);
    r.m.errorBeep = false;
    r.type("999");
    EXPECT_EQ(r.m.text(), "999");
    r.type("9.x");  // a fourth digit, a point, a letter: all refused
    EXPECT_EQ(r.m.text(), "999");
    EXPECT_EQ(r.beeps, 0);  // silently
    r.type("-");
    EXPECT_EQ(r.m.text(), "-999");
    r.type("-");
    EXPECT_EQ(r.m.text(), "999");
    r.m.errorBeep = true;
    r.type("9");
    EXPECT_EQ(r.beeps, 1);
}

TEST(NumEditModel, DigitLimitCountsZerosBeforeStripping) {
    Rig r;
    r.m.setIntegerLength(1);
    r.type("0");
    EXPECT_EQ(r.m.text(), "0");
    r.type("5");
    EXPECT_EQ(r.m.text(), "0");
    EXPECT_EQ(r.beeps, 1);
}

TEST(NumEditModel, DeleteLast) {
    const std::pair<const char*, const char*> cases[] = {
        {"12.5", "12"}, {"105", "10"}, {"-5", "-"}, {".", "0"}, {"7", ""},
    };
    for (const auto& [before, after] : cases) {
        Rig r;
        r.m.setText(before);
        const int changes = r.changes;
        r.m.deleteLast();
        EXPECT_EQ(r.m.text(), after) << before;
        EXPECT_EQ(r.changes, changes + 1) << before;
    }
    Rig empty;
    empty.m.deleteLast();
    EXPECT_EQ(empty.changes, 0);
}

TEST(NumEditModel, SetTextNormalisesAndFiresOnlyOnDifference) {
    Rig r;
    r.m.setText("\x82\x50\x81\x43\x82\x51\x82\x52\x82\x53\x81\x44\x82\x54");  // １，２３４．５
    EXPECT_EQ(r.m.text(), "1234.5");
    EXPECT_EQ(r.changes, 1);
    r.m.setText("1234.5");
    EXPECT_EQ(r.changes, 1);  // same bytes: nothing happens
    r.m.setText("abc");
    EXPECT_EQ(r.m.text(), "");
    r.m.setText("12345678901");
    EXPECT_EQ(r.m.text(), "");
    r.m.setText("007");
    EXPECT_EQ(r.m.text(), "7");
    EXPECT_FALSE(r.m.undoAvailable());  // assignment is no editing step
}

TEST(NumEditModel, LengthPropertiesRefilterWithoutOnChange) {
    Rig r;
    r.m.setDecimalLength(2);
    r.type("3.14");
    EXPECT_EQ(r.m.text(), "3.14");
    r.type("1");
    EXPECT_EQ(r.beeps, 1);
    const int changes = r.changes;
    r.m.setDecimalLength(1);
    EXPECT_EQ(r.m.text(), "3.1");
    r.m.setDecimalLength(0);
    EXPECT_EQ(r.m.text(), "3");
    r.m.setDecimalLength(-1);  // ignored
    EXPECT_EQ(r.m.format().decimalLength, 0);
    r.m.setText("-5");
    const int after = r.changes;
    r.m.setMinus(false);
    EXPECT_EQ(r.m.text(), "");
    r.m.setText("12345");
    r.m.setIntegerLength(4);
    EXPECT_EQ(r.m.text(), "");  // too many digits empty the value
    EXPECT_EQ(r.changes, after + 1);
    EXPECT_EQ(changes + 1, after);
}

TEST(NumEditModel, FormatPropertiesRedisplayOnly) {
    Rig r;
    r.m.setText("1234");
    r.m.setComma(false);
    EXPECT_EQ(r.m.displayText(), "1234");
    r.m.setLeftMark("$");
    r.m.setRightMark("!");
    EXPECT_EQ(r.m.displayText(), "$1234!");
    r.m.setDecimalLength(2);
    r.m.setDecimalFixed(true);
    EXPECT_EQ(r.m.displayText(), "$1234.00!");
    EXPECT_EQ(r.m.text(), "1234");
    EXPECT_EQ(r.changes, 1);
}

TEST(NumEditModel, OvertypingAndExchangingUndo) {
    Rig r;
    r.type("123");
    r.m.selectAll();
    const int changes = r.changes;
    r.type("5");
    EXPECT_EQ(r.m.text(), "5");
    EXPECT_EQ(r.changes, changes + 2);  // the clear, then the digit
    r.m.undo();
    EXPECT_EQ(r.m.text(), "");
    r.m.undo();
    EXPECT_EQ(r.m.text(), "5");
    EXPECT_TRUE(r.m.hasSelection());  // undo selects the restored value
}

TEST(NumEditModel, UndoUnavailableUntilFirstStep) {
    Rig r;
    r.m.setText("12");
    r.m.undo();
    EXPECT_EQ(r.m.text(), "12");
    EXPECT_EQ(r.changes, 1);
    r.type("3");
    r.m.undo();
    EXPECT_EQ(r.m.text(), "12");
}

TEST(NumEditModel, ClipboardCopyCutPaste) {
    Rig r;
    r.type("1234");
    r.m.keyDown(Key::C, numedit::ModCtrl);  // nothing selected: no copy
    EXPECT_FALSE(r.clipboard);
    r.m.keyDown(Key::A, numedit::ModCtrl);
    r.m.keyDown(Key::C, numedit::ModCtrl);
    EXPECT_EQ(r.clipboard, "1234");
    r.m.imageCopy = true;
    r.m.copyToClipboard();
    EXPECT_EQ(r.clipboard, "1,234");

    const int changes = r.changes;
    r.m.keyDown(Key::X, numedit::ModCtrl);
    EXPECT_EQ(r.m.text(), "");
    EXPECT_EQ(r.changes, changes + 2);  // the clear and once more for the cut

    struct Paste {
        const char* value;
        bool selected;
        const char* clip;
        const char* result;
    };
    const Paste pastes[] = {
        {"345", false, "12", "34512"},
        {"345", true, "12", "12"},
        {"12", false, "34567890", ""},  // too long: emptied
        {"5", false, "abc", "5"},
        {"", false, "0012", "12"},
        {"1.5", false, ".5", "1.5"},    // a second point ends the reading
    };
    for (const auto& p : pastes) {
        Rig q;
        q.m.setText(p.value);
        if (p.selected) q.m.selectAll();
        q.clipboard = p.clip;
        q.m.keyDown(Key::V, numedit::ModCtrl);
        EXPECT_EQ(q.m.text(), p.result) << p.value << " + " << p.clip;
        EXPECT_FALSE(q.m.hasSelection());
        q.m.undo();
        EXPECT_EQ(q.m.text(), p.value);
    }
    Rig none;
    none.m.setText("5");
    none.m.pasteFromClipboard();  // no text on the clipboard
    EXPECT_FALSE(none.m.undoAvailable());
}

TEST(NumEditModel, PasteIgnoresWidthStop) {
    Rig r;
    r.m.options |= numedit::eoORInputStop;
    r.available = 30;  // room for three digits: 3*8+1 = 25
    r.type("1234");
    EXPECT_EQ(r.m.text(), "123");
    EXPECT_EQ(r.beeps, 1);
    r.clipboard = "45";
    r.m.pasteFromClipboard();
    EXPECT_EQ(r.m.text(), "12345");
}

TEST(NumEditModel, WidthStopAppliesToPointAndMinus) {
    Rig r;
    r.m.options |= numedit::eoORInputStop;
    r.available = 25;  // exactly "123"
    r.type("123.-");
    EXPECT_EQ(r.m.text(), "123");
    EXPECT_EQ(r.beeps, 2);
}

TEST(NumEditModel, ReadOnly) {
    Rig r;
    r.m.setText("123");
    r.m.readOnly = true;
    r.type("45-.\r");
    r.m.keyDown(Key::Backspace, 0);
    r.clipboard = "9";
    EXPECT_FALSE(r.m.keyDown(Key::V, numedit::ModCtrl).consumed);
    r.m.keyChar(22);
    EXPECT_EQ(r.m.text(), "123");
    EXPECT_EQ(r.beeps, 0);  // swallowed silently

    r.m.keyDown(Key::A, numedit::ModCtrl);
    r.m.keyDown(Key::C, numedit::ModCtrl);
    EXPECT_EQ(r.clipboard, "123");
    r.m.keyDown(Key::X, numedit::ModCtrl);
    EXPECT_EQ(r.m.text(), "123");

    const std::array<bool, 8> selected = {false, true, false, true, false, false, true, false};
    EXPECT_EQ(r.m.menuEnabled(), selected);
    r.m.clearSelection();
    const std::array<bool, 8> unselected = {false, true, false, false, false, false, true, true};
    EXPECT_EQ(r.m.menuEnabled(), unselected);
    r.m.menuClick(numedit::MenuDelete);
    r.m.menuClick(numedit::MenuPaste);
    EXPECT_EQ(r.m.text(), "123");
}

TEST(NumEditModel, MenuEnablingAndDelete) {
    Rig r;
    const std::array<bool, 8> fresh = {false, true, false, false, false, false, true, false};
    EXPECT_EQ(r.m.menuEnabled(), fresh);
    r.type("12");
    r.clipboard = "3";
    r.m.selectAll();
    const std::array<bool, 8> sel = {true, true, true, true, true, true, true, false};
    EXPECT_EQ(r.m.menuEnabled(), sel);
    r.m.menuClick(numedit::MenuDelete);
    EXPECT_EQ(r.m.text(), "");
    r.m.menuClick(numedit::MenuUndo);
    EXPECT_EQ(r.m.text(), "12");
}

TEST(NumEditModel, KeyTable) {
    struct Case {
        Key key;
        unsigned mods;
        bool arrowMove;
        bool consumed;
        int focusMove;
        bool selectedAfter;
    };
    using numedit::ModCtrl;
    using numedit::ModShift;
    const Case cases[] = {
        {Key::Left, ModShift, false, true, 0, true},
        {Key::Right, ModShift, false, true, 0, true},
        {Key::Left, 0, false, true, 0, false},
        {Key::Home, 0, false, true, 0, false},
        {Key::PageDown, 0, false, true, 0, false},
        {Key::Home, ModShift, false, false, 0, true},
        {Key::Up, 0, false, true, 0, false},
        {Key::Up, 0, true, true, -1, false},
        {Key::Down, 0, true, true, 1, false},
        {Key::Down, ModCtrl, true, false, 0, true},
        {Key::A, ModCtrl | ModShift, false, false, 0, true},
        {Key::Other, 0, false, false, 0, true},
    };
    for (const auto& c : cases) {
        Rig r;
        r.m.setText("12");
        r.m.selectAll();
        r.m.arrowFocusMove = c.arrowMove;
        const auto out = r.m.keyDown(c.key, c.mods);
        EXPECT_EQ(out.consumed, c.consumed) << static_cast<int>(c.key);
        EXPECT_EQ(out.focusMove, c.focusMove) << static_cast<int>(c.key);
        EXPECT_EQ(r.m.hasSelection(), c.selectedAfter) << static_cast<int>(c.key);
    }
    Rig r;
    r.m.arrowFocusMove = true;
    r.m.options = 0;
    EXPECT_EQ(r.m.keyDown(Key::Up, 0).focusMove, 0);
    EXPECT_EQ(r.m.keyChar('\r'), 0);
    EXPECT_EQ(r.beeps, 1);
    r.m.enterFocusMove = true;
    EXPECT_EQ(r.m.keyChar('\r'), 1);
    r.m.keyChar(1);
    r.m.keyChar(8);
    EXPECT_EQ(r.beeps, 1);
}

TEST(NumEditModel, InputMethodCharacters) {
    Rig r;
    r.m.inputMethodChar("\x82\x50");  // １
    r.m.inputMethodChar("\x82\x58");  // ９
    r.m.inputMethodChar("\x81\x44");  // ．
    r.m.inputMethodChar("\x82\x54");  // ５
    r.m.inputMethodChar("\x81\x7C");  // －
    EXPECT_EQ(r.m.text(), "-19.5");
    r.m.inputMethodChar("\x88\x9F");  // 亜
    r.m.inputMethodChar("\x81\x43");  // ，
    EXPECT_EQ(r.m.text(), "-19.5");
    EXPECT_EQ(r.beeps, 2);
}

TEST(NumEditModel, LeavingTheControl) {
    struct Case {
        unsigned options;
        bool hideSelection;
        const char* value;
        const char* after;
        bool selectedAfter;
    };
    const Case cases[] = {
        {0, true, "-", "", false},
        {numedit::eoMinusOnly, true, "-", "-", false},
        {0, false, "-12", "-12", true},
        {0, true, "-0.", "-0.", false},
    };
    for (const auto& c : cases) {
        Rig r;
        r.m.options = c.options;
        r.m.hideSelection = c.hideSelection;
        r.m.setText(c.value);
        r.m.focusEntered();  // AutoSelect
        EXPECT_TRUE(r.m.hasSelection());
        const int changes = r.changes;
        r.m.focusLeft();
        EXPECT_EQ(r.m.text(), c.after) << c.value;
        EXPECT_EQ(r.m.displayText(), c.after) << c.value;
        EXPECT_EQ(r.m.hasSelection(), c.selectedAfter) << c.value;
        EXPECT_EQ(r.changes, changes);  // never an OnChange
    }
}

}  // namespace
