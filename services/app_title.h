#pragma once
#include <QString>

// The application title: caption of every question, notice and error box,
// and the name by which a running instance is found.
inline QString appTitle() { return QStringLiteral("◇vamu_Pelican"); }
