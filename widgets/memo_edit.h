#pragma once
// The paste memo: a plain text editor that cuts overlong lines of pasted or
// dropped text, and marks lines that need the user's eye.
//
// An unwrapped line is laid out and drawn whole: every repaint of the
// memo, the caret's blink included, costs time in proportion to the
// longest visible line. A 1 MB line kept a core a third busy for as long as
// the memo had the focus. No address, name or telephone line comes near
// kMaxLineChars characters, and the transfer reads only the first lines,
// so nothing of use is lost.
#include <QPlainTextEdit>

class MemoEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    // Longest line, in characters, that a paste or drop brings in.
    static constexpr qsizetype kMaxLineChars = 1000;

    explicit MemoEdit(QWidget* parent = nullptr);

    // Gives the lines (counted from 0) a coloured background until the text
    // next changes; an empty list takes the marks away.
    void markLines(const QList<int>& lines);
    QList<int> markedLines() const { return marked_; }

    // The note shown when lines were cut.
    static QString cutMessage();

    // Each line of `text` cut to kMaxLineChars characters (a surrogate pair
    // is never split); `cut` tells whether anything was removed.
    static QString cutLongLines(const QString& text, bool* cut);

signals:
    // A paste or drop had lines longer than kMaxLineChars; they were cut.
    void linesCut();

protected:
    void insertFromMimeData(const QMimeData* source) override;

private:
    QList<int> marked_;
};
