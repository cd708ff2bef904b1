#include "widgets/code_text.h"

#include "text/sjis_qt.h"
#include "transfer/han_conv.h"

namespace codetext {
namespace {

bool isDigit(QChar c) { return (c >= u'0' && c <= u'9') || (c >= u'０' && c <= u'９'); }

bool isHyphenLike(QChar c) {
    switch (c.unicode()) {
    case 0x30FC:  // ー
    case 0xFF70:  // ｰ
    case 0x2010:  // ‐
    case 0x2015:  // ―
    case 0x2014:  // — (the same Shift-JIS code as ―)
    case 0xFF0D:  // －
    case 0x2212:  // − (the same Shift-JIS code as －)
        return true;
    default: return false;
    }
}

QString convertEncodable(const QString& text) {
    return text.isEmpty() ? text : sjis::toQString(halfWidthCode(sjis::fromQString(text)));
}

}  // namespace

QString hyphensBetweenDigits(const QString& text) {
    QString out = text;
    for (qsizetype i = 1; i + 1 < out.size(); ++i)
        if (isHyphenLike(out[i]) && isDigit(out[i - 1]) && isDigit(out[i + 1])) out[i] = u'-';
    return out;
}

QString halfWidth(const QString& text) {
    const QString read = hyphensBetweenDigits(text);
    if (sjis::isEncodable(read)) return convertEncodable(read);
    // Runs that Shift-JIS holds are converted; the other characters stay.
    QString out, run;
    for (qsizetype i = 0; i < read.size(); ++i) {
        const qsizetype len = (read[i].isHighSurrogate() && i + 1 < read.size()) ? 2 : 1;
        const QString ch = read.mid(i, len);
        if (sjis::isEncodable(ch)) {
            run += ch;
        } else {
            out += convertEncodable(run) + ch;
            run.clear();
        }
        i += len - 1;
    }
    return out + convertEncodable(run);
}

}  // namespace codetext
