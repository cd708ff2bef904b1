#pragma once
// The product's web page and support mail address, opened by two buttons.
#include <QUrl>

inline constexpr const char* kWebPageAddress = "https://vamu.example.jp/pelican/";
inline constexpr const char* kSupportMailAddress = "support@vamu.example.jp";

// A new mail to the support address with a fixed subject and empty cc and
// bcc, as a mailto: URL (RFC 6068): the subject is UTF-8, percent-encoded,
// so every mail program reads the Japanese text the same way.
QUrl supportMailUrl();
