#pragma once
// The numeric edit control without its window: the value text, its display
// text, selection (all or nothing), the exchanging undo and every editing
// rule. The widget hands in text measurement, clipboard, beep and the two
// notifications, so the model runs and tests without Qt.
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "controls/num_filter.h"
#include "controls/num_format.h"

namespace numedit {

enum Option : unsigned {
    eoMinusOnly = 1u << 0,      // a lone "-" survives leaving the control
    eoArrowUp = 1u << 1,        // with ArrowFocusMove, Up moves to the previous control
    eoArrowDown = 1u << 2,      // with ArrowFocusMove, Down moves to the next control
    eoAutoWidthSize = 1u << 3,  // width follows the longest value (layout time only)
    eoORInputStop = 1u << 4,    // refuse typing whose display would not fit
};

enum class Key { Left, Right, Up, Down, Home, End, PageUp, PageDown, Backspace, Delete, A, C, V, X, Other };
enum Modifier : unsigned { ModShift = 1u, ModCtrl = 2u, ModAlt = 4u };

// What the window must do after a key: whether the key was used, and a focus
// move (-1 previous control, +1 next control, 0 none).
struct KeyOutcome {
    bool consumed = false;
    int focusMove = 0;
};

// Popup menu items by tag; tags 1 and 6 are separators.
enum MenuTag { MenuUndo = 0, MenuCut = 2, MenuCopy = 3, MenuPaste = 4, MenuDelete = 5, MenuSelectAll = 7 };

struct Hooks {
    std::function<int(std::string_view)> measure;  // width of a Shift-JIS line in the font
    std::function<int()> availableWidth;           // room for the display text
    std::function<void()> beep;
    std::function<void()> changed;      // the value changed through input or Text
    std::function<void()> viewChanged;  // repaint and move the caret
    std::function<std::optional<std::string>()> clipboardText;  // Shift-JIS; nullopt: no text
    std::function<void(const std::string&)> setClipboardText;
};

class NumEditModel {
public:
    explicit NumEditModel(Hooks hooks = {});
    void setHooks(Hooks hooks) { hooks_ = std::move(hooks); }

    // Value
    const std::string& text() const { return value_; }
    void setText(std::string_view sjisText);
    const std::string& displayText() const { return display_; }
    std::string formattedValue() const { return FormatValue(value_, format_); }
    std::string fieldTemplate() const { return FieldTemplate(value_, format_); }
    std::string maxTemplate() const { return MaxTemplate(format_); }
    std::string caretPrefix() const { return CaretPrefix(value_, format_); }
    // Measured width plus one; 0 for an empty text.
    int textWidth(std::string_view t) const;
    bool fitsWidth(std::string_view candidate) const;

    // Selection and undo
    bool hasSelection() const { return selLength_ > 0; }
    int selectionLength() const { return selLength_; }
    bool undoAvailable() const { return undoAvailable_; }

    // Editing operations
    void inputDigit(char digit);
    void inputPoint();
    void inputMinus();
    void deleteLast();
    void selectAll();
    void clearSelection();
    void clear();
    void copyToClipboard();
    void cutToClipboard();
    void pasteFromClipboard();
    void undo();

    // Input dispatch
    KeyOutcome keyDown(Key key, unsigned modifiers);
    int keyChar(char c);  // returns a focus move as in KeyOutcome
    int inputMethodChar(std::string_view sjisChar);
    void focusEntered();
    void focusLeft();
    std::array<bool, 8> menuEnabled() const;
    void menuClick(int tag);

    // Properties that shape the value
    const FormatOptions& format() const { return format_; }
    void setIntegerLength(int n);
    void setDecimalLength(int n);
    void setMinus(bool on);
    void setComma(bool on);
    void setDecimalFixed(bool on);
    void setIntegerFixed(bool on);
    void setZeroEnabled(bool on);
    void setLeftMark(std::string_view sjis);
    void setRightMark(std::string_view sjis);
    bool zeroEnabled() const { return zeroEnabled_; }

    // Behaviour properties (stored only)
    bool readOnly = false;
    bool errorBeep = true;
    bool imageCopy = false;
    bool hideSelection = true;
    bool enterFocusMove = false;
    bool arrowFocusMove = false;
    bool autoSelect = true;
    unsigned options = eoArrowUp | eoArrowDown;

private:
    FilterOptions filterOptions() const;
    std::string normalise(std::string_view s) const;
    void refuse() const;
    void saveUndo();
    void store(std::string value);  // value, display, view, OnChange
    void refresh();                 // display and view, no OnChange
    void reformat();
    void refilter();
    void notifyView() const;
    void notifyChange() const;

    Hooks hooks_;
    FormatOptions format_;
    bool zeroEnabled_ = false;
    std::string value_;
    std::string display_;
    int selLength_ = 0;
    std::string undoText_;
    bool undoAvailable_ = false;
};

}  // namespace numedit
