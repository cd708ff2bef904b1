#pragma once
// Questions, notices and the general error box, behind one interface so that
// tests can script the answers instead of clicking real modal boxes.
#include <QString>
#include <optional>

class QWidget;

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Yes/No question without icon: "はい(&Y)" default (Enter), "いいえ(&N)"
    // on Escape; any answer but Yes is false.
    virtual bool question(QWidget* parent, const QString& text) = 0;
    // Notice without icon and one "OK" button.
    virtual void notice(QWidget* parent, const QString& text) = 0;
    // General error box: stop icon; a full stop is added when missing.
    virtual void error(QWidget* parent, const QString& text) = 0;
    // The print question with a field for the tracking number (伝票番号)
    // of the first form in the printer, filled with `number`: the field's
    // text when the answer is Yes, nullopt otherwise. Enter in the field
    // (what a barcode scanner sends after the digits) answers Yes. Boxes
    // without such a field ask the plain question and keep the number.
    virtual std::optional<QString> printQuestion(QWidget* parent, const QString& text, const QString& number) {
        return question(parent, text) ? std::optional(number) : std::nullopt;
    }
};

// The boxes in use (the real Qt boxes unless a test installed others).
MessageBoxes& messageBoxes();
// Installs boxes for tests; nullptr restores the real ones. Not owned.
void setMessageBoxes(MessageBoxes* boxes);

// The message as the error box shows it: "." appended when missing.
QString errorBoxText(const QString& message);
