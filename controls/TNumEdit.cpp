#include "controls/TNumEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDialog>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleHints>
#include <qdrawutil.h>

#include "services/guard.h"
#include "text/sjis_qt.h"

namespace {

constexpr int kDefaultWidth = 121;
constexpr int kDefaultHeight = 20;

numedit::Key keyOf(int qtKey) {
    using numedit::Key;
    switch (qtKey) {
    case Qt::Key_Left: return Key::Left;
    case Qt::Key_Right: return Key::Right;
    case Qt::Key_Up: return Key::Up;
    case Qt::Key_Down: return Key::Down;
    case Qt::Key_Home: return Key::Home;
    case Qt::Key_End: return Key::End;
    case Qt::Key_PageUp: return Key::PageUp;
    case Qt::Key_PageDown: return Key::PageDown;
    case Qt::Key_Backspace: return Key::Backspace;
    case Qt::Key_Delete: return Key::Delete;
    case Qt::Key_A: return Key::A;
    case Qt::Key_C: return Key::C;
    case Qt::Key_V: return Key::V;
    case Qt::Key_X: return Key::X;
    default: return Key::Other;
    }
}

unsigned modifiersOf(Qt::KeyboardModifiers m) {
    unsigned out = 0;
    if (m & Qt::ShiftModifier) out |= numedit::ModShift;
    if (m & Qt::ControlModifier) out |= numedit::ModCtrl;
    if (m & Qt::AltModifier) out |= numedit::ModAlt;
    return out;
}

// Focus changes caused by another window or by a popup are not the user
// entering or leaving this control: the selection stays as it is.
bool movesWithinForm(Qt::FocusReason r) {
    return r != Qt::ActiveWindowFocusReason && r != Qt::PopupFocusReason;
}

}  // namespace

TNumEdit::TNumEdit(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::IBeamCursor);
    // Numbers are typed directly: the input method stays off here, so a key
    // goes in as typed whatever state the input method is in.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(kDefaultWidth, kDefaultHeight);
    wireModel();
    buildMenu();
    applyBorder();
    measureFont();
    adjustHeight();
}

TNumEdit::~TNumEdit() = default;

void TNumEdit::wireModel() {
    numedit::Hooks h;
    h.measure = [this](std::string_view t) { return measure(t); };
    h.availableWidth = [this] { return availableWidth(); };
    h.beep = [] { QApplication::beep(); };
    h.changed = [this] { emit changed(); };
    h.viewChanged = [this] { viewChanged(); };
    h.clipboardText = []() -> std::optional<std::string> {
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        if (!data || !data->hasText()) return std::nullopt;
        return sjis::fromQString(data->text());
    };
    h.setClipboardText = [](const std::string& t) { QGuiApplication::clipboard()->setText(sjis::toQString(t)); };
    model_.setHooks(std::move(h));
}

void TNumEdit::buildMenu() {
    static const char16_t* const captions[8] = {
        u"元に戻す(&U)", u"-", u"切り取り(&T)", u"コピー(&C)", u"貼り付け(&P)", u"削除(&D)", u"-", u"すべて選択(&A)",
    };
    ownMenu_ = new QMenu(this);
    for (int tag = 0; tag < 8; ++tag) {
        const QString caption = QString::fromUtf16(captions[tag]);
        QAction* a = caption == u"-" ? ownMenu_->addSeparator() : ownMenu_->addAction(caption);
        a->setData(tag);
        if (!a->isSeparator())
            connect(a, &QAction::triggered, this, [this, tag] { guarded(this, [&] { menuClick(tag); }); });
    }
}

// --- value and properties ----------------------------------------------------------

QString TNumEdit::text() const { return sjis::toQString(model_.text()); }
void TNumEdit::setText(const QString& text) { model_.setText(sjis::fromQString(text)); }
QString TNumEdit::displayText() const { return sjis::toQString(model_.displayText()); }

void TNumEdit::setIntegerLength(int n) { model_.setIntegerLength(n); }
void TNumEdit::setDecimalLength(int n) { model_.setDecimalLength(n); }
void TNumEdit::setMinus(bool on) { model_.setMinus(on); }
void TNumEdit::setComma(bool on) { model_.setComma(on); }
void TNumEdit::setDecimalFixed(bool on) { model_.setDecimalFixed(on); }
void TNumEdit::setIntegerFixed(bool on) { model_.setIntegerFixed(on); }
void TNumEdit::setZeroEnabled(bool on) { model_.setZeroEnabled(on); }
QString TNumEdit::leftMark() const { return sjis::toQString(model_.format().leftMark); }
void TNumEdit::setLeftMark(const QString& mark) { model_.setLeftMark(sjis::fromQString(mark)); }
QString TNumEdit::rightMark() const { return sjis::toQString(model_.format().rightMark); }
void TNumEdit::setRightMark(const QString& mark) { model_.setRightMark(sjis::fromQString(mark)); }

void TNumEdit::setAutoSelect(bool on) {
    model_.autoSelect = on;
    update();
}

void TNumEdit::setAlignment(TAlignment a) {
    if (a == alignment_) return;
    alignment_ = a;
    viewChanged();
}

void TNumEdit::setVertAlignment(TVertAlignment a) {
    if (a == vertAlignment_) return;
    vertAlignment_ = a;
    viewChanged();
}

void TNumEdit::setAutoSize(bool on) {
    if (on == autoSize_) return;
    autoSize_ = on;
    adjustHeight();
    viewChanged();
}

void TNumEdit::setBorderStyle(TBorderStyle s) {
    if (s == borderStyle_) return;
    borderStyle_ = s;
    applyBorder();
    adjustHeight();
    viewChanged();
}

void TNumEdit::setCtl3D(bool on) {
    if (on == ctl3D_) return;
    ctl3D_ = on;
    applyBorder();
    adjustHeight();
    viewChanged();
}

void TNumEdit::setLeftMargin(int px) {
    if (px < 0 || px == margins_[0]) return;
    margins_[0] = px;
    viewChanged();
}

void TNumEdit::setRightMargin(int px) {
    if (px < 0 || px == margins_[2]) return;
    margins_[2] = px;
    viewChanged();
}

void TNumEdit::setTopMargin(int px) {
    if (px < 0 || px == margins_[1]) return;
    margins_[1] = px;
    adjustHeight();
    viewChanged();
}

void TNumEdit::setBottomMargin(int px) {
    if (px < 0 || px == margins_[3]) return;
    margins_[3] = px;
    adjustHeight();
    viewChanged();
}

QColor TNumEdit::color() const { return color_.isValid() ? color_ : palette().color(QPalette::Active, QPalette::Base); }

void TNumEdit::setColor(const QColor& c) {
    color_ = c;
    update();
}

QColor TNumEdit::disabledColor() const {
    return disabledColor_.isValid() ? disabledColor_ : palette().color(QPalette::Disabled, QPalette::Text);
}

void TNumEdit::setDisabledColor(const QColor& c) {
    if (c == disabledColor_) return;
    disabledColor_ = c;
    update();
}

// --- popup menu -------------------------------------------------------------------

QMenu* TNumEdit::popupMenu() const { return assignedMenu_ ? assignedMenu_.data() : ownMenu_; }
void TNumEdit::setPopupMenu(QMenu* menu) { assignedMenu_ = menu; }

void TNumEdit::menuPopup() {
    if (!hasFocus()) setFocus(Qt::OtherFocusReason);
    const std::array<bool, 8> enabled = model_.menuEnabled();
    for (QAction* a : ownMenu_->actions()) {
        const int tag = a->data().toInt();
        if (tag >= 0 && tag < 8) a->setEnabled(enabled[static_cast<std::size_t>(tag)]);
    }
}

void TNumEdit::menuClick(int tag) { model_.menuClick(tag); }

void TNumEdit::contextMenuEvent(QContextMenuEvent* e) {
    guarded(this, [&] {
        QMenu* menu = popupMenu();
        if (menu == ownMenu_) menuPopup();
        else if (!hasFocus()) setFocus(Qt::OtherFocusReason);
        menu->exec(e->globalPos());
    });
}

// --- geometry ---------------------------------------------------------------------

QRect TNumEdit::clientRect() const { return contentsRect(); }

int TNumEdit::measure(std::string_view sjis) const {
    return QFontMetrics(font()).horizontalAdvance(sjis::toQString(sjis));
}

int TNumEdit::availableWidth() const {
    const int b = (borderStyle_ == bsSingle && ctl3D_) ? 2 : 1;
    return clientRect().width() - margins_[0] - margins_[2] - 2 * b;
}

numedit::LayoutBoxes TNumEdit::layout() const {
    const numedit::FormatOptions& f = model_.format();
    numedit::LayoutInput in;
    in.clientWidth = clientRect().width();
    in.clientHeight = clientRect().height();
    in.textHeight = textHeight_;
    in.leftMargin = margins_[0];
    in.topMargin = margins_[1];
    in.rightMargin = margins_[2];
    in.bottomMargin = margins_[3];
    in.align = alignment_ == taLeftJustify   ? numedit::HAlign::Left
               : alignment_ == taCenter      ? numedit::HAlign::Center
                                             : numedit::HAlign::Right;
    in.vAlign = vertAlignment_ == taTopJustify      ? numedit::VAlign::Top
                : vertAlignment_ == taBottomJustify ? numedit::VAlign::Bottom
                                                    : numedit::VAlign::Center;
    in.valueWidth = model_.textWidth(model_.formattedValue());
    in.fieldWidth = model_.textWidth(model_.fieldTemplate());
    // The marks take room only while something is shown.
    if (!model_.text().empty() || f.integerFixed || f.decimalFixed) {
        in.leftMarkWidth = model_.textWidth(f.leftMark);
        in.rightMarkWidth = model_.textWidth(f.rightMark);
    }
    return numedit::ComputeLayout(in);
}

QRect TNumEdit::toWidget(const numedit::Box& b) const {
    const QPoint o = clientRect().topLeft();
    return QRect(QPoint(b.left, b.top), QPoint(b.right - 1, b.bottom - 1)).translated(o);
}

QRect TNumEdit::leftMarkRect() const { return toWidget(layout().leftMark); }
QRect TNumEdit::textRect() const { return toWidget(layout().text); }
QRect TNumEdit::rightMarkRect() const { return toWidget(layout().rightMark); }

QRect TNumEdit::caretRect() const {
    const numedit::Point p = numedit::CaretPos(layout(), model_.textWidth(model_.caretPrefix()));
    return QRect(p.x, p.y, caretWidth_, textHeight_).translated(clientRect().topLeft());
}

QSize TNumEdit::sizeHint() const { return size(); }

QVariant TNumEdit::inputMethodQuery(Qt::InputMethodQuery query) const {
    switch (query) {
    case Qt::ImEnabled: return false;
    case Qt::ImCursorRectangle: return caretRect();
    case Qt::ImFont: return font();
    case Qt::ImHints: return int(Qt::ImhFormattedNumbersOnly | Qt::ImhNoPredictiveText);
    default: return QWidget::inputMethodQuery(query);
    }
}

// --- size, font, border ----------------------------------------------------------------

void TNumEdit::measureFont() {
    textHeight_ = QFontMetrics(font()).height();
    caretWidth_ = font().bold() ? 2 : 1;
}

void TNumEdit::adjustHeight() {
    if (!autoSize_) return;
    const QMargins m = contentsMargins();
    resize(width(), textHeight_ + margins_[1] + margins_[3] + m.top() + m.bottom());
}

// A single border is a sunken 3D edge of two pixels with Ctl3D, else one
// thin line; the client area lies inside it.
void TNumEdit::applyBorder() {
    const int b = borderStyle_ == bsNone ? 0 : (ctl3D_ ? 2 : 1);
    setContentsMargins(b, b, b, b);
}

void TNumEdit::gainedParent() {
    measureFont();
    adjustHeight();
    color_ = QColor();  // back to the window colour
    viewChanged();
}

void TNumEdit::fontChanged() {
    const bool focused = caretCreated_;
    if (focused) destroyCaret();
    measureFont();
    adjustHeight();
    if (focused) createCaret();
    update();
}

bool TNumEdit::event(QEvent* e) {
    if (e->type() == QEvent::ParentChange && parentWidget()) gainedParent();
    // Editing keys belong to the control even where the window has shortcuts
    // on them (Ctrl+C, Delete, digits); function keys stay the window's.
    if (e->type() == QEvent::ShortcutOverride) {
        auto* k = static_cast<QKeyEvent*>(e);
        const unsigned mods = modifiersOf(k->modifiers());
        const numedit::Key key = keyOf(k->key());
        const bool ctrlEdit = mods == numedit::ModCtrl &&
                              (key == numedit::Key::A || key == numedit::Key::C || key == numedit::Key::V ||
                               key == numedit::Key::X);
        const bool plain = (mods & ~numedit::ModShift) == 0 &&
                           (key != numedit::Key::Other || (!k->text().isEmpty() && k->text().front() >= u' '));
        if (ctrlEdit || plain) {
            e->accept();
            return true;
        }
    }
    return QWidget::event(e);
}

void TNumEdit::changeEvent(QEvent* e) {
    if (e->type() == QEvent::FontChange) fontChanged();
    if (e->type() == QEvent::EnabledChange || e->type() == QEvent::PaletteChange) update();
    QWidget::changeEvent(e);
}

void TNumEdit::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    viewChanged();
}

// --- caret --------------------------------------------------------------------------

void TNumEdit::createCaret() {
    caretCreated_ = true;
    caretBlinkOn_ = true;
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    if (flash > 0) caretBlink_.start(flash / 2, this);
    updateCaret();
}

void TNumEdit::destroyCaret() {
    caretCreated_ = false;
    caretBlink_.stop();
    update();
}

void TNumEdit::updateCaret() {
    if (!caretCreated_ || !hasFocus()) return;
    caretBlinkOn_ = true;  // a moved caret shows at once
    update();
    // The input method's composition window follows the caret.
    if (QInputMethod* im = QGuiApplication::inputMethod()) im->update(Qt::ImCursorRectangle | Qt::ImFont);
}

void TNumEdit::timerEvent(QTimerEvent* e) {
    if (e->timerId() != caretBlink_.timerId()) return QWidget::timerEvent(e);
    caretBlinkOn_ = !caretBlinkOn_;
    update(caretRect());
}

void TNumEdit::viewChanged() {
    update();
    updateCaret();
}

// --- painting -----------------------------------------------------------------------

void TNumEdit::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QColor background = color();
    p.fillRect(rect(), background);
    if (borderStyle_ == bsSingle) {
        if (ctl3D_) qDrawWinPanel(&p, rect(), palette(), true);
        else {
            p.setPen(palette().color(QPalette::WindowText));
            p.drawRect(rect().adjusted(0, 0, -1, -1));
        }
    }
    p.setClipRect(clientRect());

    QColor fill = background;
    QColor ink = palette().color(QPalette::Active, QPalette::Text);
    if (!isEnabled()) {
        ink = disabledColor();
    } else if (model_.hasSelection()) {
        fill = palette().color(QPalette::Active, QPalette::Highlight);
        ink = palette().color(QPalette::Active, QPalette::HighlightedText);
    }

    const numedit::LayoutBoxes boxes = layout();
    const numedit::FormatOptions& f = model_.format();
    numedit::Box block = boxes.text;
    if (!f.leftMark.empty()) block.left = boxes.leftMark.left;
    if (!f.rightMark.empty()) block.right = boxes.rightMark.right;
    p.fillRect(toWidget(block), fill);

    const std::string formatted = model_.formattedValue();
    p.setPen(ink);
    p.setFont(font());
    const auto draw = [&](const numedit::Box& b, const std::string& s) {
        const QRect r = toWidget(b);
        p.drawText(QRect(r.left(), r.top(), qMax(r.width(), 1) + 64, textHeight_),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, sjis::toQString(s));
    };
    if (!formatted.empty() && !f.leftMark.empty()) draw(boxes.leftMark, f.leftMark);
    if (!formatted.empty()) draw(boxes.text, formatted);
    if (!formatted.empty() && !f.rightMark.empty()) draw(boxes.rightMark, f.rightMark);

    if (caretCreated_ && caretBlinkOn_ && hasFocus())
        p.fillRect(caretRect(), palette().color(QPalette::Active, QPalette::Text));
}

// --- focus ----------------------------------------------------------------------------

void TNumEdit::focusInEvent(QFocusEvent* e) {
    QWidget::focusInEvent(e);
    guarded(this, [&] {
        createCaret();
        if (movesWithinForm(e->reason())) model_.focusEntered();
    });
}

void TNumEdit::focusOutEvent(QFocusEvent* e) {
    QWidget::focusOutEvent(e);
    guarded(this, [&] {
        destroyCaret();
        if (movesWithinForm(e->reason())) model_.focusLeft();
    });
}

void TNumEdit::moveFocus(int direction) {
    if (direction != 0) focusNextPrevChild(direction > 0);
}

// --- keys and the input method ------------------------------------------------------------

void TNumEdit::keyPressEvent(QKeyEvent* e) {
    guarded(this, [&] {
        const numedit::KeyOutcome out = model_.keyDown(keyOf(e->key()), modifiersOf(e->modifiers()));
        if (out.consumed) {
            e->accept();
            moveFocus(out.focusMove);
            return;
        }
        if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
            // Without EnterFocusMove, Enter belongs to the dialog first (its
            // default button); the control only beeps where no dialog takes it.
            if (!enterFocusMove() && qobject_cast<QDialog*>(window())) {
                e->ignore();
                return;
            }
            moveFocus(model_.keyChar('\r'));
            e->accept();
            return;
        }
        // Alt and Ctrl with a printable key type nothing (Ctrl+letter arrives
        // as its control code and is handled as a character).
        const bool chord = (e->modifiers() & Qt::AltModifier) ||
                           ((e->modifiers() & Qt::ControlModifier) && !e->text().isEmpty() && e->text().front() >= u' ');
        if (e->key() == Qt::Key_Escape || e->text().isEmpty() || chord) {
            e->ignore();  // not a character: the form's keys (F2, F11, Escape) go on
            return;
        }
        int focusMove = 0;
        for (const QChar ch : e->text()) focusMove = model_.inputMethodChar(sjis::fromQString(QString(ch)));
        moveFocus(focusMove);
        e->accept();
    });
}

void TNumEdit::inputMethodEvent(QInputMethodEvent* e) {
    // A pre-edit is never shown (the input method is off here); text an
    // input method commits anyway counts as typed.
    if (e->commitString().isEmpty()) {
        e->ignore();
        return;
    }
    guarded(this, [&] {
        // "０"…"９", "－" and "．" become their half-width forms, anything
        // else is refused.
        int focusMove = 0;
        for (const QChar ch : e->commitString()) focusMove = model_.inputMethodChar(sjis::fromQString(QString(ch)));
        moveFocus(focusMove);
        e->accept();
    });
}

// --- mouse ----------------------------------------------------------------------------------

void TNumEdit::mousePressEvent(QMouseEvent* e) {
    guarded(this, [&] {
        if (!hasFocus()) setFocus(Qt::MouseFocusReason);
        if (e->button() == Qt::LeftButton) model_.clearSelection();
    });
    QWidget::mousePressEvent(e);
}

// Qt reports a double click after the press that opened it (press, release,
// press, double click), so no later press has to be told to keep the
// selection; the base class (which would treat it as one more press) is not
// called.
void TNumEdit::mouseDoubleClickEvent(QMouseEvent* e) {
    guarded(this, [&] {
        if (!hasFocus()) setFocus(Qt::MouseFocusReason);
        model_.selectAll();
        emit doubleClicked();
    });
    e->accept();
}

void TNumEdit::mouseMoveEvent(QMouseEvent* e) {
    guarded(this, [&] {
        if (!(e->buttons() & Qt::LeftButton)) return;
        const numedit::Box t = layout().text;
        const int x = e->position().toPoint().x() - clientRect().left();
        if (x >= t.left && x <= t.right) model_.selectAll();
    });
    QWidget::mouseMoveEvent(e);
}

void TNumEdit::mouseReleaseEvent(QMouseEvent* e) {
    QWidget::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        guarded(this, [&] { emit clicked(); });
}
