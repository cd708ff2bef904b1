#include "widgets/sjis_line_edit.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPointer>
#include <QValidator>
#include <algorithm>

#include "text/sjis_qt.h"

// Qt runs the validator on every change, typed or set by the program. It
// judges only while a user edit is in progress; program-set text passes, so
// loading a long value from a file never fails.
class SjisLineEditValidator final : public QValidator {
public:
    explicit SjisLineEditValidator(SjisLineEdit* owner) : QValidator(owner), owner_(owner) {}
    State validate(QString& input, int& pos) const override {
        return owner_->acceptsUserText(input, pos) ? Acceptable : Invalid;
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

// An edit turns `before` into `after` by replacing one stretch: the parts
// kept at the start and at the end, never splitting a surrogate pair.
struct Edit {
    qsizetype head = 0, tail = 0;
};
Edit editBetween(const QString& before, const QString& after) {
    Edit e;
    const qsizetype most = std::min(before.size(), after.size());
    while (e.head < most && before[e.head] == after[e.head]) ++e.head;
    while (e.tail < most - e.head && before[before.size() - 1 - e.tail] == after[after.size() - 1 - e.tail]) ++e.tail;
    if (e.head > 0 && after[e.head - 1].isHighSurrogate()) --e.head;
    if (e.tail > 0 && after[after.size() - e.tail].isLowSurrogate()) --e.tail;
    return e;
}

// The longest start of `text` that takes at most `bytes` Shift-JIS bytes.
QString fitting(const QString& text, int bytes) {
    qsizetype end = 0;
    while (end < text.size()) {
        const qsizetype len = (text[end].isHighSurrogate() && end + 1 < text.size()) ? 2 : 1;
        bytes -= sjis::byteLength(text.mid(end, len));
        if (bytes < 0) break;
        end += len;
    }
    return text.left(end);
}
}  // namespace

SjisLineEdit::SjisLineEdit(QWidget* parent) : QLineEdit(parent) {
    setValidator(new SjisLineEditValidator(this));
}

QString SjisLineEdit::notEncodableMessage() {
    return QStringLiteral("この文字はシフトJISで保存できないため入力できません");
}

QString SjisLineEdit::cutMessage() {
    return QStringLiteral("入力できる長さを超えたため、超えた部分を切り捨てました");
}

QString SjisLineEdit::digitsOnlyMessage() { return QStringLiteral("この欄には数字だけを入力できます"); }

void SjisLineEdit::setByteLimit(int bytes) { byteLimit_ = bytes < 0 ? 0 : bytes; }

bool SjisLineEdit::acceptsUserText(QString& candidate, int& caret) {
    if (userEditDepth_ == 0) return true;
    // Only what the user adds is judged: text the program put there earlier
    // (even over the limit) may still be shortened or edited.
    if (countUnencodable(candidate) > countUnencodable(textBeforeEdit_)) {
        refused_ = true;
        refusal_ = notEncodableMessage();
        return false;
    }
    if (rule_) {
        QString ruled = rule_(candidate);
        if (ruled.size() == candidate.size()) candidate = std::move(ruled);
    }
    if (!convert_ && byteLimit_ == 0 && !digitsOnly_) return true;

    // The candidate as kept start, added stretch and kept end; each part is
    // converted on its own, which a character-wise conversion allows.
    const Edit e = editBetween(textBeforeEdit_, candidate);
    const auto conv = [this](const QString& t) { return convert_ ? convert_(t) : t; };
    const QString head = conv(candidate.left(e.head));
    QString added = conv(candidate.mid(e.head, candidate.size() - e.head - e.tail));
    const QString tail = conv(candidate.right(e.tail));
    const qsizetype addedBefore = candidate.size() - e.head - e.tail;

    // Full-width digits count as the digits they are once converted.
    if (digitsOnly_ && !onlyDigits(head + added + tail) && onlyDigits(textBeforeEdit_)) {
        refused_ = true;
        refusal_ = digitsOnlyMessage();
        return false;
    }

    if (byteLimit_ > 0) {
        const int kept = sjis::byteLength(head) + sjis::byteLength(tail);
        const int before = sjis::byteLength(textBeforeEdit_);
        if (kept + sjis::byteLength(added) > std::max(byteLimit_, before)) {
            // Never past the limit, nor past what the program put there.
            const QString fit = fitting(added, std::max(byteLimit_, before) - kept);
            if (fit.isEmpty()) {
                refused_ = true;
                refusal_.clear();
                return false;
            }
            added = fit;
            cut_ = true;
        }
    }

    // The caret keeps its place relative to the stretch it was in.
    const qsizetype at = caret;
    qsizetype mapped = 0;
    if (at <= e.head) mapped = conv(candidate.left(at)).size();
    else if (at < e.head + addedBefore) mapped = head.size() + std::min(conv(candidate.mid(e.head, at - e.head)).size(), added.size());
    else mapped = head.size() + added.size() + conv(candidate.mid(e.head + addedBefore, at - e.head - addedBefore)).size();
    candidate = head + added + tail;
    caret = static_cast<int>(mapped);
    return true;
}

template <class F>
void SjisLineEdit::userEdit(F&& baseCall) {
    if (userEditDepth_++ == 0) {
        textBeforeEdit_ = text();
        refused_ = false;
        cut_ = false;
        refusal_.clear();
    }
    baseCall();
    if (--userEditDepth_ == 0 && (refused_ || cut_)) {
        const QString reason = refused_ ? refusal_ : cutMessage();
        refused_ = cut_ = false;
        QApplication::beep();
        emit inputRefused(reason);
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
