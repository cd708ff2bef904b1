#pragma once
// Message boxes for tests: questions answer from a script, every box shown
// is recorded (kind and text), nothing modal ever opens.
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

#include "services/message_boxes.h"

class ScriptedBoxes final : public MessageBoxes {
public:
    ScriptedBoxes() { setMessageBoxes(this); }
    ~ScriptedBoxes() override { setMessageBoxes(nullptr); }

    // Answers for the next questions, in order; an unscripted question
    // answers No and is still recorded.
    void answer(bool yes) { answers.push_back(yes); }

    bool question(QWidget*, const QString& text) override {
        questions << text;
        if (whileAsking) whileAsking();
        if (answers.empty()) return false;
        bool a = answers.front();
        answers.pop_front();
        return a;
    }
    void notice(QWidget*, const QString& text) override { notices << text; }
    void error(QWidget*, const QString& text) override { errors << errorBoxText(text); }

    std::deque<bool> answers;
    // Runs while a question is open, to look at what the user sees then.
    std::function<void()> whileAsking;
    QStringList questions, notices, errors;
};
