#include "app/startup/qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>

QTranslator* installQtTranslation(const QLocale& locale) {
    // Qt's texts are English already: an English or C start looks for no file.
    const QStringList languages = locale.uiLanguages();
    if (languages.isEmpty() || languages.front() == u"C" || languages.front().startsWith(u"en")) return nullptr;
    auto translator = std::make_unique<QTranslator>(QCoreApplication::instance());
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return nullptr;
    QCoreApplication::installTranslator(translator.get());
    return translator.release();
}
