#include "widgets/input_mode.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QInputMethodQueryEvent>
#include <QWidget>

#include "widgets/composition_guard.h"

namespace {

const QString kFilterName = QStringLiteral("inputModeFilter");

bool isOff(InputMode mode) { return mode != InputMode::Japanese; }

Qt::InputMethodHints hintsFor(InputMode mode) {
    switch (mode) {
    case InputMode::Japanese: return Qt::ImhNone;
    case InputMode::Digits: return Qt::ImhDigitsOnly | Qt::ImhNoPredictiveText;
    case InputMode::Code:
        return Qt::ImhPreferNumbers | Qt::ImhLatinOnly | Qt::ImhNoPredictiveText | Qt::ImhNoAutoUppercase;
    case InputMode::Telephone: return Qt::ImhDialableCharactersOnly | Qt::ImhNoPredictiveText;
    case InputMode::Latin: return Qt::ImhLatinOnly | Qt::ImhNoPredictiveText | Qt::ImhNoAutoUppercase;
    }
    return Qt::ImhNone;
}

// Sits on the field and answers the input method for it: whether it may
// compose there and which language it should offer; in a field with the
// input method off it also keeps pre-edit text out.
class InputModeFilter final : public QObject {
public:
    InputModeFilter(QWidget* field, InputMode mode) : QObject(field), field_(field), mode_(mode) {
        setObjectName(kFilterName);
        field->installEventFilter(this);
    }
    void setMode(InputMode mode) { mode_ = mode; }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != field_) return false;
        switch (event->type()) {
        case QEvent::InputMethodQuery: return answer(static_cast<QInputMethodQueryEvent*>(event));
        case QEvent::InputMethod: {
            auto* e = static_cast<QInputMethodEvent*>(event);
            if (isOff(mode_)) return keepOutPreedit(e);
            composition::noteInputMethodEvent(field_, *e);
            return false;
        }
        case QEvent::ReadOnlyChange:
            // QLineEdit turns the attribute on again when it leaves read-only.
            if (isOff(mode_)) field_->setAttribute(Qt::WA_InputMethodEnabled, false);
            return false;
        default: return false;
        }
    }

private:
    // Answers the queries this mode decides and asks the field for the rest,
    // as QWidget::event() would.
    bool answer(QInputMethodQueryEvent* query) {
        const Qt::InputMethodQueries asked = query->queries();
        const Qt::InputMethodQuery decided = isOff(mode_) ? Qt::ImEnabled : Qt::ImPreferredLanguage;
        if (!(asked & decided)) return false;
        for (unsigned bit = 0; bit < 32; ++bit) {
            const auto q = static_cast<Qt::InputMethodQuery>(1U << bit);
            if (!(asked & q)) continue;
            if (q == Qt::ImEnabled && isOff(mode_))
                query->setValue(q, false);
            else if (q == Qt::ImPreferredLanguage && !isOff(mode_))
                query->setValue(q, QStringLiteral("ja_JP"));
            else
                query->setValue(q, fieldAnswer(q));
        }
        query->accept();
        return true;
    }

    QVariant fieldAnswer(Qt::InputMethodQuery q) const {
        QVariant v = field_->inputMethodQuery(q);
        // Widgets that predate the query answer it through the attribute.
        if (q == Qt::ImEnabled && !v.isValid() && field_->isEnabled())
            v = field_->testAttribute(Qt::WA_InputMethodEnabled);
        return v;
    }

    // A commit alone passes to the field as typed text, its full-width
    // digits as the digits they are (a date picker takes no others); a
    // pre-edit is dropped (the event counts as not taken), and a commit
    // that came with it is passed on without it.
    bool keepOutPreedit(QInputMethodEvent* event) {
        const QString typed = plainDigits(event->commitString());
        if (event->preeditString().isEmpty() && typed == event->commitString()) return false;
        if (!typed.isEmpty()) {
            QInputMethodEvent commit;
            commit.setCommitString(typed, event->replacementStart(), event->replacementLength());
            QCoreApplication::sendEvent(field_, &commit);
        }
        if (event->preeditString().isEmpty())
            event->accept();
        else
            event->ignore();
        return true;
    }

    static QString plainDigits(QString text) {
        for (QChar& c : text)
            if (c >= u'０' && c <= u'９') c = QChar(static_cast<char16_t>(u'0' + (c.unicode() - u'０')));
        return text;
    }

    QWidget* field_;
    InputMode mode_;
};

InputModeFilter* filterOf(const QWidget* field) {
    return dynamic_cast<InputModeFilter*>(field->findChild<QObject*>(kFilterName, Qt::FindDirectChildrenOnly));
}

}  // namespace

void setInputMode(QWidget* field, InputMode mode) {
    if (InputModeFilter* f = filterOf(field))
        f->setMode(mode);
    else
        new InputModeFilter(field, mode);
    field->setAttribute(Qt::WA_InputMethodEnabled, !isOff(mode));
    field->setInputMethodHints(hintsFor(mode));
}
