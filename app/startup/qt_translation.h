#pragma once
// Qt's own texts (a line edit's context menu, Qt's file dialog, standard
// buttons) in the user's language, from the Qt translations the system
// holds (Debian: qt6-translations-l10n).
#include <QLocale>

class QTranslator;

// Installs Qt's translation for `locale` on the running application. Returns
// the installed translator (owned by the application), or nullptr when
// Qt's built-in English serves: an English or C locale, or no translation
// file for the language. Reading one costs a file look-up and a mapping.
QTranslator* installQtTranslation(const QLocale& locale = QLocale::system());
