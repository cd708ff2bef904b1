#pragma once
// Questions, notices and the general error box, behind one interface so that
// tests can script the answers instead of clicking real modal boxes.
#include <QString>

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
};

// The boxes in use (the real Qt boxes unless a test installed others).
MessageBoxes& messageBoxes();
// Installs boxes for tests; nullptr restores the real ones. Not owned.
void setMessageBoxes(MessageBoxes* boxes);

// The message as the error box shows it: "." appended when missing.
QString errorBoxText(const QString& message);
