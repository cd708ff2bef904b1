#include "app/sjis_line_edit.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPointer>
#include <QValidator>

#include "text/sjis_qt.h"

// Qt runs the validator on every change, typed or set by the program. It
// judges only while a user edit is in progress; program-set text passes, so
// loading a long value from a file never fails.
class SjisLineEditValidator final : public QValidator {
public:
    explicit SjisLineEditValidator(SjisLineEdit* owner) : QValidator(owner), owner_(owner) {}
    State validate(QString& input, int&) const override {
        return owner_->acceptsUserText(input) ? Acceptable : Invalid;
    }

private:
    SjisLineEdit* owner_;
};

namespace {
int countUnencodable(const QString& text) {
    if (sjis::isEncodable(text)) return 0;  // the usual case, one conversion
    int n = 0;
    for (int i = 0; i < text.size(); ++i) {
        // Judge whole characters, surrogate pairs included.
        const int len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        if (!sjis::isEncodable(text.mid(i, len))) ++n;
        i += len - 1;
    }
    return n;
}
bool onlyDigits(const QString& text) {
    for (QChar c : text)
        if (c < u'0' || c > u'9') return false;
    return true;
}
}  // namespace

SjisLineEdit::SjisLineEdit(QWidget* parent) : QLineEdit(parent) {
    setValidator(new SjisLineEditValidator(this));
}

QString SjisLineEdit::notEncodableMessage() {
    return QStringLiteral("この文字はシフトJISで保存できないため入力できません");
}

void SjisLineEdit::setByteLimit(int bytes) { byteLimit_ = bytes < 0 ? 0 : bytes; }

void SjisLineEdit::setInputMethodOn(bool on) {
    setAttribute(Qt::WA_InputMethodEnabled, on);
    setInputMethodHints(on ? Qt::ImhNone : Qt::ImhPreferLatin);
}

bool SjisLineEdit::inputMethodOn() const { return testAttribute(Qt::WA_InputMethodEnabled); }

bool SjisLineEdit::acceptsUserText(const QString& candidate) {
    if (userEditDepth_ == 0) return true;
    // Only what the user adds is judged: text the program put there earlier
    // (even over the limit) may still be shortened or edited.
    if (countUnencodable(candidate) > countUnencodable(textBeforeEdit_)) {
        refused_ = true;
        refusal_ = notEncodableMessage();
        return false;
    }
    if (digitsOnly_ && !onlyDigits(candidate) && onlyDigits(textBeforeEdit_)) {
        refused_ = true;
        refusal_.clear();
        return false;
    }
    if (byteLimit_ > 0) {
        const int bytes = sjis::byteLength(candidate);
        if (bytes > byteLimit_ && bytes > sjis::byteLength(textBeforeEdit_)) {
            refused_ = true;
            refusal_.clear();
            return false;
        }
    }
    return true;
}

template <class F>
void SjisLineEdit::userEdit(F&& baseCall) {
    if (userEditDepth_++ == 0) {
        textBeforeEdit_ = text();
        refused_ = false;
        refusal_.clear();
    }
    baseCall();
    if (--userEditDepth_ == 0 && refused_) {
        refused_ = false;
        QApplication::beep();
        emit inputRefused(refusal_);
    }
}

void SjisLineEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    emit focusEntered();
}

void SjisLineEdit::keyPressEvent(QKeyEvent* event) {
    userEdit([&] { QLineEdit::keyPressEvent(event); });
}

void SjisLineEdit::inputMethodEvent(QInputMethodEvent* event) {
    userEdit([&] { QLineEdit::inputMethodEvent(event); });
}

void SjisLineEdit::dropEvent(QDropEvent* event) {
    userEdit([&] { QLineEdit::dropEvent(event); });
}

void SjisLineEdit::mouseReleaseEvent(QMouseEvent* event) {
    // The middle button pastes the X11 selection here.
    userEdit([&] { QLineEdit::mouseReleaseEvent(event); });
}

void SjisLineEdit::contextMenuEvent(QContextMenuEvent* event) {
    // The standard menu runs modally here (Qt's own pops up and returns), so
    // its paste, undo and delete count as user input and get checked.
    QPointer<QMenu> menu = createStandardContextMenu();
    userEdit([&] { menu->exec(event->globalPos()); });
    delete menu.data();
}
