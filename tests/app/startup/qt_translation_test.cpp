// Qt's own texts follow the locale the program starts under: a field's
// context menu reads Japanese under a Japanese locale, English under C.
#include <QMenu>
#include <QTranslator>
#include <QtTest>
#include <memory>

#include "app/startup/qt_translation.h"
#include "widgets/sjis_line_edit.h"

class QtTranslationTest : public QObject {
    Q_OBJECT
private slots:
    void contextMenuFollowsTheLocale_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<QStringList>("items");  // the menu's entries, shortcuts left off
        const QStringList japanese = {QStringLiteral("元に戻す(&U)"), QStringLiteral("やり直す(&R)"),
                                      QStringLiteral("切り取り(&T)"), QStringLiteral("コピー(&C)"),
                                      QStringLiteral("貼り付け(&P)"), QStringLiteral("削除"),
                                      QStringLiteral("すべてを選択")};
        const QStringList english = {QStringLiteral("&Undo"), QStringLiteral("&Redo"),  QStringLiteral("Cu&t"),
                                     QStringLiteral("&Copy"), QStringLiteral("&Paste"), QStringLiteral("Delete"),
                                     QStringLiteral("Select All")};
        QTest::newRow("ja_JP") << "ja_JP" << true << japanese;
        QTest::newRow("C") << "C" << false << english;
        QTest::newRow("en_US") << "en_US" << false << english;
    }
    void contextMenuFollowsTheLocale() {
        QFETCH(QString, locale);
        QFETCH(bool, loaded);
        QFETCH(QStringList, items);
        std::unique_ptr<QTranslator> translator(installQtTranslation(QLocale(locale)));
        QCOMPARE(translator != nullptr, loaded);
        SjisLineEdit field;
        field.setText(QStringLiteral("山田"));
        std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
        QStringList shown;
        for (const QAction* a : menu->actions())
            if (!a->isSeparator()) shown << a->text().section(u'\t', 0, 0);
        QCOMPARE(shown, items);
        // Deleting the translator takes it out of the application again.
    }
};

QTEST_MAIN(QtTranslationTest)
#include "qt_translation_test.moc"
