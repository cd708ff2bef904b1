#pragma once
// What the program remembers of its secondary windows between runs: each
// window's size and place, and the folder the file dialogs last used. Kept
// in a small file of its own in the base folder (INI lines, values UTF-8),
// so the settings file stays exactly as it is; a folder that cannot be
// written costs only this memory, never a window.
#include <QMargins>
#include <QRect>
#include <QString>

class QWidget;

inline constexpr char kWindowMemoryFileName[] = "vamu_Pelican_windows.ini";

// Keeps `window` inside the available area of its screen each time it is
// shown, and gives it back the size and place it had when last hidden,
// in this run or an earlier one. The window's objectName names its section
// of the file. An empty base folder: placed, nothing remembered.
void keepWindowPlacement(QWidget& window, const QString& baseFolder);

// The client rectangle for a window that wants `wanted`, with `frame` around
// it, inside `available`: shrunk to fit, then moved in over the edges it
// crosses.
QRect fitIntoArea(const QRect& wanted, const QMargins& frame, const QRect& available);

// The folder a file dialog starts in: where the user last chose a file,
// else the user's documents folder, else the home folder (never the hidden
// data folder the program runs in).
QString fileDialogFolder(const QString& baseFolder);
// Remembers the folder of a file the user chose in a file dialog.
void rememberFileDialogFolder(const QString& baseFolder, const QString& chosenFile);
