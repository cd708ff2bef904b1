#include "app/main_form/contact.h"

#include <QByteArray>

QUrl supportMailUrl() {
    const QByteArray subject = QUrl::toPercentEncoding(QStringLiteral("vamuへの問い合わせ"));
    const QByteArray url = QByteArray("mailto:") + kSupportMailAddress + "?subject=" + subject + "&cc=&bcc=";
    return QUrl::fromEncoded(url, QUrl::StrictMode);
}
