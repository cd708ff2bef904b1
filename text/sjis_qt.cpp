#include "text/sjis_qt.h"

#include "text/sjis_convert.h"

namespace sjis {

namespace {

// UTF-8 of the text. A lone surrogate (half of a pair, from a broken
// escape or clipboard) becomes U+FFFD, which has no CP932 form, instead of
// the "?" that Qt's encoder would put there: it is then refused or shown
// as "〓" like any other character CP932 cannot hold.
QByteArray utf8Of(const QString& text) {
    if (text.isValidUtf16()) return text.toUtf8();
    QString fixed = text;
    for (qsizetype i = 0; i < fixed.size(); ++i) {
        if (fixed[i].isHighSurrogate() && i + 1 < fixed.size() && fixed[i + 1].isLowSurrogate()) ++i;
        else if (fixed[i].isSurrogate()) fixed[i] = QChar::ReplacementCharacter;
    }
    return fixed.toUtf8();
}

}  // namespace

QString toQString(std::string_view s) {
    const std::string u = toUtf8(s);
    return QString::fromUtf8(u.data(), static_cast<qsizetype>(u.size()));
}

std::string fromQString(const QString& text) {
    const QByteArray u = utf8Of(text);
    return fromUtf8Lossy(std::string_view(u.constData(), static_cast<std::size_t>(u.size())));
}

bool isEncodable(const QString& text) {
    const QByteArray u = utf8Of(text);
    return canEncode(std::string_view(u.constData(), static_cast<std::size_t>(u.size())));
}

int byteLength(const QString& text) { return static_cast<int>(fromQString(text).size()); }

}  // namespace sjis
