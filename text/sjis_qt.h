#pragma once
// The Qt boundary: widgets hold QString, the core holds CP932 bytes.
#include <QString>
#include <string>
#include <string_view>

namespace sjis {

// CP932 bytes to QString (invalid sequences show as U+FFFD).
QString toQString(std::string_view sjisBytes);

// QString to CP932; a character without a CP932 form becomes "〓".
std::string fromQString(const QString& text);

// True when every character of the text has a CP932 form.
bool isEncodable(const QString& text);

// Length of the text in CP932 bytes ("〓" counted for unencodable ones).
int byteLength(const QString& text);

}  // namespace sjis
