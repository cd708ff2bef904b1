#pragma once
// The fonts the windows ask for. The forms name the classic Japanese
// Windows faces; on a Debian machine these are mapped to the IPA and Noto
// fonts through Qt's substitution table, so real Japanese glyphs show.
#include <QFont>

class QLabel;

inline const QString kGothicFace = QStringLiteral("ＭＳ Ｐゴシック");
inline const QString kMinchoFace = QStringLiteral("ＭＳ Ｐ明朝");

// Registers the substitutes once per process (idempotent).
void registerFontSubstitutes();

// The proportional gothic face at a pixel height.
QFont gothicFont(int pixelSize, bool bold = false);

// Makes the label's font smaller, a pixel at a time down to `smallest`,
// until its one-line text fits the label's width (a face that draws it
// wider than the form was laid out for).
void fitTextToWidth(QLabel& label, int smallest = 8);
