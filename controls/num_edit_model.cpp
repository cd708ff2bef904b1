#include "controls/num_edit_model.h"

#include <utility>

namespace numedit {

namespace {

// Integer digits (the minus not counted) and decimals of a value text.
struct DigitCounts {
    bool hasPoint;
    int integer;
    int decimals;
};

DigitCounts countDigits(std::string_view v) {
    const auto dot = v.find('.');
    const bool hasPoint = dot != std::string_view::npos;
    const std::string_view intPart = hasPoint ? v.substr(0, dot) : v;
    int integer = static_cast<int>(intPart.size());
    if (!intPart.empty() && intPart.front() == '-') --integer;
    const int decimals = hasPoint ? static_cast<int>(v.size() - dot - 1) : 0;
    return {hasPoint, integer, decimals};
}

}  // namespace

NumEditModel::NumEditModel(Hooks hooks) : hooks_(std::move(hooks)) {}

FilterOptions NumEditModel::filterOptions() const {
    return {format_.integerLength, format_.decimalLength, format_.minus};
}

std::string NumEditModel::normalise(std::string_view s) const {
    return StripLeadingZeros(FilterText(s, filterOptions()), zeroEnabled_);
}

void NumEditModel::refuse() const {
    if (errorBeep && hooks_.beep) hooks_.beep();
}

void NumEditModel::notifyView() const {
    if (hooks_.viewChanged) hooks_.viewChanged();
}

void NumEditModel::notifyChange() const {
    if (hooks_.changed) hooks_.changed();
}

void NumEditModel::saveUndo() {
    undoText_ = value_;
    undoAvailable_ = true;
}

void NumEditModel::refresh() {
    display_ = DisplayText(value_, format_);
    notifyView();
}

void NumEditModel::store(std::string value) {
    value_ = std::move(value);
    refresh();
    notifyChange();
}

int NumEditModel::textWidth(std::string_view t) const {
    if (t.empty()) return 0;
    const int w = hooks_.measure ? hooks_.measure(t) : static_cast<int>(t.size());
    return w + 1;
}

bool NumEditModel::fitsWidth(std::string_view candidate) const {
    if (!hooks_.availableWidth) return true;
    return hooks_.availableWidth() >= textWidth(DisplayText(candidate, format_));
}

void NumEditModel::setText(std::string_view sjisText) {
    if (sjisText == value_) return;
    store(normalise(sjisText));
}

// --- typed input -----------------------------------------------------------

void NumEditModel::inputDigit(char digit) {
    if (readOnly) return;
    if (hasSelection()) clear();
    // The limit is tested before zeros are stripped: with one integer digit
    // allowed, "0" takes no further digit.
    const DigitCounts c = countDigits(value_);
    if ((!c.hasPoint && c.integer >= format_.integerLength) ||
        (c.hasPoint && c.decimals >= format_.decimalLength)) {
        refuse();
        return;
    }
    std::string candidate = StripLeadingZeros(value_ + digit, zeroEnabled_);
    if ((options & eoORInputStop) && !fitsWidth(candidate)) {
        refuse();
        return;
    }
    saveUndo();
    store(std::move(candidate));
}

void NumEditModel::inputPoint() {
    if (readOnly) return;
    if (format_.decimalLength == 0) {
        refuse();
        return;
    }
    if (hasSelection()) clear();
    if (value_.find('.') != std::string::npos) {
        refuse();
        return;
    }
    std::string candidate = value_ + '.';
    if ((options & eoORInputStop) && !fitsWidth(candidate)) {
        refuse();
        return;
    }
    // "" becomes "0." and "-" becomes "-0.".
    candidate = StripLeadingZeros(candidate, zeroEnabled_);
    saveUndo();
    store(std::move(candidate));
}

void NumEditModel::inputMinus() {
    if (readOnly) return;
    if (!format_.minus) {
        refuse();
        return;
    }
    if (hasSelection()) clear();
    // The minus toggles the sign wherever the caret is.
    if (!value_.empty() && value_.front() == '-') {
        saveUndo();
        store(value_.substr(1));
        return;
    }
    std::string candidate;
    candidate.reserve(value_.size() + 1);
    candidate += '-';
    candidate += value_;
    if ((options & eoORInputStop) && !fitsWidth(candidate)) {
        refuse();
        return;
    }
    saveUndo();
    store(std::move(candidate));
}

void NumEditModel::deleteLast() {
    if (readOnly || value_.empty()) return;
    if (hasSelection()) {
        clear();
        return;
    }
    std::string v = value_;
    v.pop_back();
    if (!v.empty() && v.back() == '.') v.pop_back();  // no value ends in a bare point
    saveUndo();
    store(std::move(v));
}

// --- selection, clipboard, undo ------------------------------------------------

void NumEditModel::selectAll() {
    selLength_ = static_cast<int>(display_.size());
    notifyView();
}

void NumEditModel::clearSelection() {
    selLength_ = 0;
    notifyView();
}

void NumEditModel::clear() {
    saveUndo();
    value_.clear();
    display_ = DisplayText(value_, format_);
    selLength_ = 0;
    notifyView();
    notifyChange();
}

void NumEditModel::copyToClipboard() {
    if (!hasSelection() || !hooks_.setClipboardText) return;
    hooks_.setClipboardText(imageCopy ? display_ : value_);
}

void NumEditModel::cutToClipboard() {
    if (readOnly || !hasSelection()) return;
    copyToClipboard();
    clear();
    notifyChange();
}

void NumEditModel::pasteFromClipboard() {
    if (readOnly || !hooks_.clipboardText) return;
    const std::optional<std::string> t = hooks_.clipboardText();
    if (!t) return;
    saveUndo();
    // eoORInputStop does not apply: pasted text is normalised, never refused.
    const std::string source = hasSelection() ? *t : value_ + *t;
    value_ = normalise(source);
    display_ = DisplayText(value_, format_);
    selLength_ = 0;
    notifyView();
    notifyChange();
}

void NumEditModel::undo() {
    if (!undoAvailable_) return;
    // Exchanging undo: a second Undo restores what the first one replaced.
    std::swap(value_, undoText_);
    display_ = DisplayText(value_, format_);
    selLength_ = static_cast<int>(display_.size());
    notifyView();
    notifyChange();
}

// --- key and focus dispatch ---------------------------------------------------

KeyOutcome NumEditModel::keyDown(Key key, unsigned mods) {
    const bool alone = mods == 0;
    const bool ctrl = mods == ModCtrl;
    switch (key) {
    case Key::Left:
    case Key::Right:
        if (mods == ModShift) {
            selectAll();
            return {true, 0};
        }
        [[fallthrough]];
    case Key::Home:
    case Key::End:
    case Key::PageUp:
    case Key::PageDown:
        if (!alone) return {};
        clearSelection();
        return {true, 0};
    case Key::Up:
        if (!alone) return {};
        clearSelection();
        return {true, arrowFocusMove && (options & eoArrowUp) ? -1 : 0};
    case Key::Down:
        if (!alone) return {};
        clearSelection();
        return {true, arrowFocusMove && (options & eoArrowDown) ? 1 : 0};
    case Key::A:
        if (!ctrl) return {};
        selectAll();
        return {true, 0};
    case Key::C:
        if (!ctrl) return {};
        copyToClipboard();
        return {true, 0};
    case Key::V:
        if (!ctrl || readOnly) return {};
        pasteFromClipboard();
        return {true, 0};
    case Key::X:
        if (!ctrl || readOnly) return {};
        cutToClipboard();
        return {true, 0};
    case Key::Backspace:
    case Key::Delete:
        if (!alone || readOnly) return {};
        deleteLast();
        return {true, 0};
    case Key::Other:
        break;
    }
    return {};
}

int NumEditModel::keyChar(char c) {
    if (readOnly) return 0;  // every character swallowed silently
    if (c >= '0' && c <= '9') {
        inputDigit(c);
    } else if (c == '.') {
        inputPoint();
    } else if (c == '-') {
        inputMinus();
    } else if (c == 1 || c == 3 || c == 22 || c == 24 || c == 8) {
        // Ctrl+A, C, V, X and Backspace: the key-down already acted.
    } else if (c == '\r') {
        if (enterFocusMove) return 1;
        refuse();
    } else {
        refuse();
    }
    return 0;
}

int NumEditModel::inputMethodChar(std::string_view s) {
    if (s.size() == 2) {
        const auto lead = static_cast<unsigned char>(s[0]);
        const auto trail = static_cast<unsigned char>(s[1]);
        if (lead == 0x82 && trail >= 0x4F && trail <= 0x58) return keyChar(static_cast<char>('0' + (trail - 0x4F)));
        if (lead == 0x81 && trail == 0x7C) return keyChar('-');
        if (lead == 0x81 && trail == 0x44) return keyChar('.');
    }
    if (s.size() == 1) return keyChar(s[0]);
    if (!readOnly) refuse();
    return 0;
}

void NumEditModel::focusEntered() {
    if (autoSelect) selectAll();
}

void NumEditModel::focusLeft() {
    // A lone minus means nothing; it goes quietly unless asked to stay.
    if (value_ == "-" && !(options & eoMinusOnly)) {
        value_.clear();
        refresh();
    }
    if (hideSelection) clearSelection();
}

std::array<bool, 8> NumEditModel::menuEnabled() const {
    const bool sel = hasSelection();
    const bool clip = hooks_.clipboardText && hooks_.clipboardText().has_value();
    return {undoAvailable_ && !readOnly,
            true,
            sel && !readOnly,
            sel,
            clip && !readOnly,
            sel && !readOnly,
            true,
            !sel && !value_.empty()};
}

void NumEditModel::menuClick(int tag) {
    switch (tag) {
    case MenuUndo:
        if (!readOnly) undo();
        break;
    case MenuCut: cutToClipboard(); break;
    case MenuCopy: copyToClipboard(); break;
    case MenuPaste: pasteFromClipboard(); break;
    case MenuDelete:
        if (!readOnly && hasSelection()) clear();
        break;
    case MenuSelectAll: selectAll(); break;
    default: break;
    }
}

// --- properties ----------------------------------------------------------------

// Length and sign rules re-filter the value (it may shrink or empty) without
// OnChange; the format-only properties just redraw.
void NumEditModel::refilter() {
    value_ = FilterText(value_, filterOptions());
    refresh();
}

void NumEditModel::reformat() { refresh(); }

void NumEditModel::setIntegerLength(int n) {
    if (n < 0 || n == format_.integerLength) return;
    format_.integerLength = n;
    refilter();
}

void NumEditModel::setDecimalLength(int n) {
    if (n < 0 || n == format_.decimalLength) return;
    format_.decimalLength = n;
    refilter();
}

void NumEditModel::setMinus(bool on) {
    if (on == format_.minus) return;
    format_.minus = on;
    refilter();
}

void NumEditModel::setComma(bool on) {
    if (on == format_.comma) return;
    format_.comma = on;
    reformat();
}

void NumEditModel::setDecimalFixed(bool on) {
    if (on == format_.decimalFixed) return;
    format_.decimalFixed = on;
    reformat();
}

void NumEditModel::setIntegerFixed(bool on) {
    if (on == format_.integerFixed) return;
    format_.integerFixed = on;
    reformat();
}

void NumEditModel::setZeroEnabled(bool on) {
    if (on == zeroEnabled_) return;
    zeroEnabled_ = on;
    reformat();
}

void NumEditModel::setLeftMark(std::string_view sjis) {
    if (sjis == format_.leftMark) return;
    format_.leftMark = std::string(sjis);
    reformat();
}

void NumEditModel::setRightMark(std::string_view sjis) {
    if (sjis == format_.rightMark) return;
    format_.rightMark = std::string(sjis);
    reformat();
}

}  // namespace numedit
