#include "widgets/composition_guard.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QPointer>
#include <QWidget>

namespace composition {
namespace {

// How long a repeat of a committed pre-edit is waited for; it comes over
// the input method's connection within milliseconds.
constexpr int kRepeatWaitMs = 1000;

// Watches every event of the application: mouse presses (seen at the
// window before any widget, so before the focus moves) and input-method
// events (the repeat may go to any widget).
class Guard final : public QObject {
public:
    explicit Guard(QObject* app) : QObject(app) { app->installEventFilter(this); }

    void note(QWidget* field, const QInputMethodEvent& event) {
        if (!event.preeditString().isEmpty()) {
            field_ = field;
            preedit_ = event.preeditString();
        } else if (field_ == field) {
            preedit_.clear();
        }
    }

    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (field_ && !preedit_.isEmpty()) commitPreedit();
            return false;
        case QEvent::InputMethod: return isRepeat(*static_cast<QInputMethodEvent*>(event));
        default: return false;
        }
    }

private:
    void commitPreedit() {
        const QString text = preedit_;
        preedit_.clear();
        repeat_.clear();
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QCoreApplication::sendEvent(field_, &commit);
        // The input method forgets its pre-edit, so Qt's own end of the
        // composition (on the press or the focus change) finds none.
        QGuiApplication::inputMethod()->reset();
        repeat_ = text;
        repeatWait_.setRemainingTime(kRepeatWaitMs);
    }

    bool isRepeat(const QInputMethodEvent& e) {
        if (repeat_.isEmpty() || (e.preeditString().isEmpty() && e.commitString().isEmpty())) return false;
        const bool same = !repeatWait_.hasExpired() && e.preeditString().isEmpty() &&
                          e.commitString() == repeat_ && e.replacementLength() == 0;
        repeat_.clear();
        return same;
    }

    QPointer<QWidget> field_;
    QString preedit_;
    QString repeat_;
    QDeadlineTimer repeatWait_;
};

}  // namespace

void noteInputMethodEvent(QWidget* field, const QInputMethodEvent& event) {
    static QPointer<Guard> guard;
    if (!guard) {
        QCoreApplication* app = QCoreApplication::instance();
        if (!app) return;
        guard = new Guard(app);
    }
    guard->note(field, event);
}

}  // namespace composition
