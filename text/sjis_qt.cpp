#include "text/sjis_qt.h"

#include "text/sjis_convert.h"

namespace sjis {

QString toQString(std::string_view s) {
    const std::string u = toUtf8(s);
    return QString::fromUtf8(u.data(), static_cast<qsizetype>(u.size()));
}

std::string fromQString(const QString& text) {
    const QByteArray u = text.toUtf8();
    return fromUtf8Lossy(std::string_view(u.constData(), static_cast<std::size_t>(u.size())));
}

bool isEncodable(const QString& text) {
    const QByteArray u = text.toUtf8();
    return canEncode(std::string_view(u.constData(), static_cast<std::size_t>(u.size())));
}

int byteLength(const QString& text) { return static_cast<int>(fromQString(text).size()); }

}  // namespace sjis
