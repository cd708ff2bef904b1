#pragma once
// Small pictures for the form's picture buttons, drawn in code: cheaper at
// start than decoding the style's image files, and the same on every style.
#include <QIcon>

QIcon clearIcon();  // consignee clear: a red cross
QIcon saveIcon();   // sender save: a floppy disk
QIcon webIcon();    // product web page: a globe
