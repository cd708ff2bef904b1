#pragma once
// A one-line entry field whose text can always be stored in Shift-JIS.
// - The byte limit counts Shift-JIS bytes (half-width 1, full-width 2);
//   0 means no limit. Like a native edit's length limit it only stops the
//   user from adding text: the program may set any text.
// - A character that CP932 cannot hold (emoji, rare kanji) is refused as it
//   is typed, pasted or dropped: the field stays as it was, the computer
//   beeps and inputRefused() carries a short explanation.
// - A field may convert what the user adds (the half-width conversion of
//   the postal code and telephone); the limit is judged on the converted
//   text and the caret stays after the converted input.
// - Added text that does not fit is cut at the limit on a character
//   boundary, as a native edit with a text limit does: the part that fits
//   goes in, the computer beeps and inputRefused() says the text was cut.
//   When nothing of it fits, the field only beeps.
// - How the field meets the input method is set with setInputMode()
//   (widgets/input_mode.h).
#include <QLineEdit>
#include <functional>

class SjisLineEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit SjisLineEdit(QWidget* parent = nullptr);

    void setByteLimit(int bytes);
    int byteLimit() const { return byteLimit_; }
    // Accept only the digits 0-9 from the user (the delivery date fields),
    // judged after the input conversion.
    void setDigitsOnly(bool on) { digitsOnly_ = on; }

    // Conversion of the text the user adds. It must work character by
    // character (the conversion of a text is the conversions of its
    // characters joined), so that the caret can be mapped through it.
    void setInputConversion(std::function<QString(const QString&)> convert) { convert_ = std::move(convert); }
    // A rule over the whole text a user edit leaves, run before the
    // conversion, for what depends on the neighbours (a hyphen typed as
    // "ー" between digits). It must replace characters one for one, so the
    // caret keeps its place; a result of another length is not taken.
    void setInputRule(std::function<QString(const QString&)> rule) { rule_ = std::move(rule); }

    // The explanation shown when a character outside Shift-JIS is refused.
    static QString notEncodableMessage();
    // The note shown when added text was cut at the byte limit.
    static QString cutMessage();
    // The explanation shown when a digits-only field refuses other input.
    static QString digitsOnlyMessage();

signals:
    // The field has received the focus (after Qt's own focus handling, so a
    // handler may place the caret and clear the selection).
    void focusEntered();
    // User input was refused; the text is a short reason (empty when the
    // byte limit leaves no room, where the field only beeps as a native
    // field does).
    void inputRefused(const QString& reason);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    friend class SjisLineEditValidator;
    // Runs one piece of user input with the checks armed.
    template <class F>
    void userEdit(F&& baseCall);
    // Validator's verdict for a candidate text during user input; it may
    // convert or cut the candidate and move the caret to match.
    bool acceptsUserText(QString& candidate, int& caret);

    int byteLimit_ = 0;
    bool digitsOnly_ = false;
    int userEditDepth_ = 0;
    QString textBeforeEdit_;
    QString refusal_;
    bool refused_ = false;
    bool cut_ = false;
    std::function<QString(const QString&)> convert_;
    std::function<QString(const QString&)> rule_;
};
