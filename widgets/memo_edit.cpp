#include "widgets/memo_edit.h"

#include <QMimeData>
#include <QTextBlock>

MemoEdit::MemoEdit(QWidget* parent) : QPlainTextEdit(parent) {
    // The marks belong to the text they were made for.
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        if (!marked_.isEmpty()) markLines({});
    });
}

void MemoEdit::markLines(const QList<int>& lines) {
    marked_.clear();
    QList<QTextEdit::ExtraSelection> marks;
    for (const int line : lines) {
        const QTextBlock block = document()->findBlockByNumber(line);
        if (!block.isValid()) continue;
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(block);
        mark.format.setBackground(QColor(0xFF, 0xE0, 0x70));
        mark.format.setProperty(QTextFormat::FullWidthSelection, true);
        marks << mark;
        marked_ << line;
    }
    setExtraSelections(marks);
}

QString MemoEdit::cutMessage() {
    return QStringLiteral("%1文字を超える行は、超えた部分を切り捨てました").arg(kMaxLineChars);
}

QString MemoEdit::cutLongLines(const QString& text, bool* cut) {
    *cut = false;
    QString out;
    out.reserve(text.size());
    qsizetype run = 0;  // characters of the current line so far
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        // The editor starts a new line at each of these.
        if (c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator) {
            out += c;
            run = 0;
            continue;
        }
        const qsizetype len = (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ? 2 : 1;
        if (run < kMaxLineChars) {
            out.append(text.constData() + i, len);
            ++run;
        } else {
            *cut = true;
        }
        i += len - 1;
    }
    return out;
}

void MemoEdit::insertFromMimeData(const QMimeData* source) {
    if (!source || !source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    bool cut = false;
    const QString text = cutLongLines(source->text(), &cut);
    if (!cut) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    insertPlainText(text);
    ensureCursorVisible();
    emit linesCut();
}
