// Postal codes on the entry form through the real widgets: the hyphen, F5
// and F6 with one and with several candidates, the pick list by keyboard,
// the enabled keys, the warning after leaving the code and after the text
// transfer, and an unreadable table.
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "widgets/sjis_line_edit.h"
#include "tests/app/test_form_fixture.h"

namespace {

// Runs `answer` on the pick list once it is open (the list's dialog is
// modal: the timer fires inside its event loop). Records how many rows it
// had; -1 when no list opened within two seconds.
void whenPickListOpens(int& rows, std::function<void(QListWidget*)> answer, int triesLeft = 200) {
    QTimer::singleShot(10, [&rows, answer, triesLeft] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* list = modal ? modal->findChild<QListWidget*>(QStringLiteral("ListBox_Postal")) : nullptr;
        if (!list) {
            if (triesLeft > 0) whenPickListOpens(rows, answer, triesLeft - 1);
            else rows = -1;
            return;
        }
        rows = list->count();
        answer(list);
        // An answer that did not close the list must not hang the test.
        if (auto* still = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            rows = -2;
            still->reject();
        }
    });
}

}  // namespace

class TestFormPostal : public QObject {
    Q_OBJECT
    std::unique_ptr<ShownForm> f;
    QLineEdit* edit(const char* name) const { return f->find<QLineEdit>(QLatin1String(name)); }
    QString prompt() const { return f->find<QLabel>(QStringLiteral("Panel_HelpMess"))->text(); }
    QString zipWarning() const { return f->find<QLabel>(QStringLiteral("Label_ZipWarning"))->text(); }
    void press(Qt::Key key) {
        // After a closed pick list the offscreen platform leaves no window
        // active, where a desktop gives the focus back to the main window.
        if (!f->form->isActiveWindow()) {
            f->form->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(f->form.get()));
        }
        f->key(key);
        QCoreApplication::processEvents();
    }

private slots:
    void init() { f = std::make_unique<ShownForm>(); }
    void cleanup() { f.reset(); }

    void sevenDigitsShowTheHyphen_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("typed") << "Edit_Zip" << "1050011" << "105-0011";
        QTest::newRow("with hyphen") << "Edit_Zip" << "105-0011" << "105-0011";
        QTest::newRow("full width") << "Edit_Zip" << "１０５００１１" << "105-0011";
        QTest::newRow("six digits") << "Edit_Zip" << "105001" << "105001";
        QTest::newRow("sender") << "Edit_MyZip" << "1050011" << "105-0011";
    }
    void sevenDigitsShowTheHyphen() {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        f->focus(field);
        for (const QChar c : typed) f->type(QString(c));  // one key press each, full width too
        QCOMPARE(f->find<QLineEdit>(field)->text(), shown);
        // Pasted or set by the program: the same.
        f->find<QLineEdit>(field)->setText(typed);
        QCOMPARE(f->find<QLineEdit>(field)->text(), shown);
    }

    void keysActOnlyWhenTheyCan() {
        auto* f5 = f->find<QPushButton>(QStringLiteral("SpeedButton_F5"));
        auto* f6 = f->find<QPushButton>(QStringLiteral("SpeedButton_F6"));
        f->focus(QStringLiteral("Edit_Zip"));
        QVERIFY(!f5->isEnabled() && !f6->isEnabled());
        for (const auto& [text, enabled] : {std::pair{"10", false}, {"105", true}, {"1050", false},
                                            {"105-00", true}, {"1050011", true}, {"abc", false}}) {
            edit("Edit_Zip")->setText(QString::fromUtf8(text));
            QVERIFY2(f5->isEnabled() == enabled, text);
        }
        edit("Edit_Add1")->setText(QStringLiteral("港区"));
        QVERIFY(f6->isEnabled());
        // In the sender's part the keys follow the sender's fields.
        f->focus(QStringLiteral("Edit_MyTEL"));
        QVERIFY(!f5->isEnabled() && !f6->isEnabled());
    }

    void f5FillsTheAddressFromTheCode() {
        f->focus(QStringLiteral("Edit_Zip"));
        edit("Edit_Zip")->setText(QStringLiteral("1050011"));
        press(Qt::Key_F5);
        QCOMPARE(edit("Edit_Add1")->text(), QStringLiteral("東京都港区芝公園"));
        QCOMPARE(f->focusedName(), QStringLiteral("Edit_Add1"));
        QCOMPARE(edit("Edit_Add1")->cursorPosition(), 8);
        QVERIFY(f->boxes.questions.isEmpty());

        // Text already there: asked first; No keeps it, Yes replaces it.
        edit("Edit_Add1")->setText(QStringLiteral("大阪市"));
        f->focus(QStringLiteral("Edit_Zip"));
        press(Qt::Key_F5);
        QCOMPARE(f->boxes.questions, QStringList{QStringLiteral("おところを「東京都港区芝公園」に置き換えますか?")});
        QCOMPARE(edit("Edit_Add1")->text(), QStringLiteral("大阪市"));
        f->boxes.answer(true);
        f->focus(QStringLiteral("Edit_Zip"));
        press(Qt::Key_F5);
        QCOMPARE(edit("Edit_Add1")->text(), QStringLiteral("東京都港区芝公園"));
        // An address that already begins with the place keeps its 番地.
        edit("Edit_Add1")->setText(QStringLiteral("東京都港区芝公園4-2-8"));
        f->focus(QStringLiteral("Edit_Zip"));
        press(Qt::Key_F5);
        QCOMPARE(edit("Edit_Add1")->text(), QStringLiteral("東京都港区芝公園4-2-8"));
        QCOMPARE(f->boxes.questions.size(), 2);
    }

    void f5OffersAPickListForSeveralTowns() {
        f->focus(QStringLiteral("Edit_Zip"));
        edit("Edit_Zip")->setText(QStringLiteral("438-0078"));
        int rows = 0;
        whenPickListOpens(rows, [](QListWidget* list) { QTest::keyClick(list, Qt::Key_Escape); });
        press(Qt::Key_F5);
        QCOMPARE(rows, 17);
        QVERIFY(edit("Edit_Add1")->text().isEmpty());

        whenPickListOpens(rows, [](QListWidget* list) {
            QTest::keyClick(list, Qt::Key_Down);
            QTest::keyClick(list, Qt::Key_Return);
        });
        press(Qt::Key_F5);
        QCOMPARE(rows, 17);
        QCOMPARE(edit("Edit_Add1")->text(), QStringLiteral("静岡県磐田市石原町"));
        // The window's focus (it is the application's once the window is active again).
        QCOMPARE(f->form->focusWidget()->objectName(), QStringLiteral("Edit_Add1"));

        // Three digits: the code is completed from the choice.
        edit("Edit_Add1")->clear();
        edit("Edit_Zip")->setText(QStringLiteral("105"));
        f->focus(QStringLiteral("Edit_Zip"));
        whenPickListOpens(rows, [](QListWidget* list) {
            const QPoint at = list->visualItemRect(list->item(0)).center();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        });
        press(Qt::Key_F5);
        QCOMPARE(rows, 12);
        QCOMPARE(edit("Edit_Zip")->text(), QStringLiteral("105-0000"));
        QCOMPARE(edit("Edit_Add1")->text(), QStringLiteral("東京都港区"));
    }

    void f5ForTheSender() {
        f->focus(QStringLiteral("Edit_MyZip"));
        QTest::keyClicks(edit("Edit_MyZip"), QStringLiteral("1000013"));
        press(Qt::Key_F5);
        QCOMPARE(edit("Edit_MyADD1")->text(), QStringLiteral("東京都千代田区霞が関"));
        QVERIFY(edit("Edit_Add1")->text().isEmpty());
    }

    void f6FillsTheCodeFromTheAddress() {
        f->focus(QStringLiteral("Edit_Add1"));
        edit("Edit_Add1")->setText(QStringLiteral("港区芝公園４－２－８"));
        press(Qt::Key_F6);
        QCOMPARE(edit("Edit_Zip")->text(), QStringLiteral("105-0011"));

        // 芝 5丁目 and 1丁目 have different codes: the user picks.
        edit("Edit_Add1")->setText(QStringLiteral("東京都港区芝5-1"));
        f->boxes.answer(true);
        int rows = 0;
        whenPickListOpens(rows, [](QListWidget* list) {
            QTest::keyClick(list, Qt::Key_Down);
            QTest::keyClick(list, Qt::Key_Enter);
        });
        press(Qt::Key_F6);
        QCOMPARE(rows, 2);
        QCOMPARE(edit("Edit_Zip")->text(), QStringLiteral("108-0014"));
        QCOMPARE(f->boxes.questions, QStringList{QStringLiteral("郵便番号を「108-0014」に置き換えますか?")});
    }

    void warningAfterTheCodeIsCompleted() {
        auto* overlong = f->find<QLabel>(QStringLiteral("Label_Warning"));
        edit("Edit_Add1")->setText(QStringLiteral("大阪府大阪市北区梅田1-1"));
        f->focus(QStringLiteral("Edit_Zip"));
        QTest::keyClicks(edit("Edit_Zip"), QStringLiteral("1050011"));
        QVERIFY(zipWarning().isEmpty());  // not while typing
        press(Qt::Key_Return);            // leaves the field
        QCOMPARE(zipWarning(), QStringLiteral("郵便番号と住所が一致しません"));
        QVERIFY(overlong->text().isEmpty());
        QVERIFY(prompt().startsWith(QStringLiteral("郵便番号と住所が一致しません")));
        QVERIFY(prompt().contains(QStringLiteral("東京都港区")));
        // Correcting the address clears it; the user's text is never changed.
        edit("Edit_Add1")->setText(QStringLiteral("港区芝公園"));
        QVERIFY(zipWarning().isEmpty());
        QCOMPARE(edit("Edit_Add1")->text(), QStringLiteral("港区芝公園"));

        f->focus(QStringLiteral("Edit_Zip"));
        edit("Edit_Zip")->setText(QStringLiteral("000-0000"));
        f->focus(QStringLiteral("Edit_Add1"));
        QCOMPARE(zipWarning(), QStringLiteral("この郵便番号は見つかりません"));
        edit("Edit_Zip")->clear();
        QVERIFY(zipWarning().isEmpty());
    }

    // The code typed first, the address after it: leaving an address line
    // checks the two, and an address that stops inside the code's city is
    // not a mismatch yet.
    void warningAfterAnAddressLineIsLeft_data() {
        QTest::addColumn<QString>("add1");
        QTest::addColumn<QString>("add2");
        QTest::addColumn<QString>("warning");
        const QString mismatch = QStringLiteral("郵便番号と住所が一致しません");
        QTest::newRow("other city") << "東京都港区芝公園1-1-1" << "" << mismatch;
        QTest::newRow("other town") << "東京都千代田区丸の内1-1" << "" << mismatch;
        QTest::newRow("fits") << "東京都千代田区千代田1-1" << "" << "";
        QTest::newRow("prefecture only") << "東京都" << "" << "";
        QTest::newRow("city on line 2") << "東京都" << "千代田区千代田1-1" << "";
        QTest::newRow("other city on line 2") << "東京都" << "港区芝公園1-1-1" << mismatch;
    }
    void warningAfterAnAddressLineIsLeft() {
        QFETCH(QString, add1);
        QFETCH(QString, add2);
        QFETCH(QString, warning);
        f->focus(QStringLiteral("Edit_Zip"));
        QTest::keyClicks(edit("Edit_Zip"), QStringLiteral("1000001"));
        press(Qt::Key_Return);
        QVERIFY(zipWarning().isEmpty());  // no address yet
        edit("Edit_Add1")->setText(add1);
        press(Qt::Key_Return);
        edit("Edit_Add2")->setText(add2);
        press(Qt::Key_Return);
        QCOMPARE(f->focusedName(), QStringLiteral("Edit_Add3"));
        QCOMPARE(zipWarning(), warning);
        QCoreApplication::processEvents();
        if (!warning.isEmpty()) QVERIFY2(prompt().startsWith(warning), qPrintable(prompt()));
    }

    // The print question and its prompt line name a mismatch (typed without
    // leaving the field), before the overflow when there is one.
    void printQuestionNamesTheMismatch() {
        QString asked;
        f->boxes.whileAsking = [&] { asked = prompt(); };
        f->focus(QStringLiteral("Edit_Zip"));
        QTest::keyClicks(edit("Edit_Zip"), QStringLiteral("1000001"));
        press(Qt::Key_Return);
        for (const QChar c : QStringLiteral("港区芝公園1-1-1")) f->type(QString(c));
        press(Qt::Key_F11);
        const QString mismatch = QStringLiteral("郵便番号と住所が一致しません（〒100-0001は東京都千代田区千代田）");
        QCOMPARE(f->boxes.questions, QStringList{mismatch + QStringLiteral("\n印刷しますか?")});
        QCOMPARE(asked, mismatch);
        QCOMPARE(zipWarning(), QStringLiteral("郵便番号と住所が一致しません"));
        QVERIFY(f->printers->documents.empty());

        edit("Edit_Custo1")->setText(QString(40, QChar(0x5C71)));  // 山 × 40: too long to print
        f->focus(QStringLiteral("Edit_Add1"));
        press(Qt::Key_F11);
        QCOMPARE(asked, QStringLiteral("郵便番号と住所が一致しません　はみ出す項目: おなまえ"));
        QCOMPARE(f->boxes.questions.last(), mismatch + QStringLiteral("\nはみ出す項目: おなまえ\n印刷しますか?"));
    }

    // A business's own code is not in the bundled table: the user is told
    // where such codes come from and how to add them.
    void businessCodesPointToTheirFile_data() {
        QTest::addColumn<QString>("zip");
        QTest::addColumn<bool>("business");
        QTest::newRow("business") << "100-8994" << true;
        QTest::newRow("unknown place") << "000-0000" << false;
    }
    void businessCodesPointToTheirFile() {
        QFETCH(QString, zip);
        QFETCH(bool, business);
        const QString hint = QStringLiteral("事業所の郵便番号は JIGYOSYO.CSV を取り込むと引けます（F5で手順を表示）");
        f->focus(QStringLiteral("Edit_Zip"));
        QTest::keyClicks(edit("Edit_Zip"), zip);
        press(Qt::Key_Return);
        QCoreApplication::processEvents();
        QCOMPARE(zipWarning(), QStringLiteral("この郵便番号は見つかりません"));
        QCOMPARE(prompt(), business ? hint : QStringLiteral("この郵便番号は見つかりません"));
        auto* line = f->find<QLabel>(QStringLiteral("Panel_HelpMess"));
        QVERIFY(line->fontMetrics().horizontalAdvance(prompt()) <= line->contentsRect().width() - line->indent());
        f->focus(QStringLiteral("Edit_Zip"));
        f->boxes.notices.clear();
        press(Qt::Key_F5);
        QCOMPARE(f->boxes.notices.size(), business ? 1 : 0);
        for (const QString& help : f->boxes.notices)
            QVERIFY(help.contains(zip) && help.contains(QStringLiteral("README")) &&
                    help.contains(QStringLiteral("vamu_pelican_cli postal import KEN_ALL.CSV JIGYOSYO.CSV")));
        // The print question says what the code is, and the hint for a business's.
        press(Qt::Key_F11);
        QCOMPARE(f->boxes.questions.last(), QStringLiteral("この郵便番号は見つかりません\n") +
                                                (business ? hint + QStringLiteral("\n") : QString()) +
                                                QStringLiteral("印刷しますか?"));
    }

    void warningAfterTheTransfer() {
        auto* memo = f->find<QPlainTextEdit>(QStringLiteral("Memo1"));
        memo->setPlainText(QStringLiteral("〒150-0001\n大阪府大阪市北区梅田1-1\n佐藤 健一 様\n電話番号：03-5412-7788\n"));
        QTest::mouseClick(f->find<QPushButton>(QStringLiteral("BitBtn_1")), Qt::LeftButton);
        QCoreApplication::processEvents();
        QCOMPARE(edit("Edit_Zip")->text(), QStringLiteral("150-0001"));
        QCOMPARE(zipWarning(), QStringLiteral("郵便番号と住所が一致しません"));
        QVERIFY(prompt().startsWith(QStringLiteral("郵便番号と住所が一致しません")));
        // A fitting paste leaves no warning behind.
        memo->setPlainText(QStringLiteral("〒150-0001\n東京都渋谷区神宮前3-15-8\n佐藤 健一 様\n"));
        QTest::mouseClick(f->find<QPushButton>(QStringLiteral("BitBtn_1")), Qt::LeftButton);
        QCoreApplication::processEvents();
        QVERIFY(zipWarning().isEmpty());
    }

    void damagedImportedTableGivesWayToTheBundledOne() {
        // A damaged imported table, put there before the first lookup.
        QFile bad(f->dir.filePath(QStringLiteral("vamu_Pelican_postal.bin")));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("VPPOSTAL\x01\x00\x00\x00", 12);
        bad.close();
        const qsizetype errorsAtStart = f->boxes.errors.size();  // the missing sender file's
        const qsizetype noticesAtStart = f->boxes.notices.size();
        f->focus(QStringLiteral("Edit_Zip"));
        edit("Edit_Zip")->setText(QStringLiteral("1050011"));
        press(Qt::Key_F5);
        QCOMPARE(edit("Edit_Add1")->text(), QStringLiteral("東京都港区芝公園"));
        QCOMPARE(f->boxes.notices.size(), noticesAtStart + 1);
        QVERIFY2(f->boxes.notices.last().contains(QStringLiteral("vamu_Pelican_postal.bin")),
                 qPrintable(f->boxes.notices.last()));
        // Told once: the next lookup says nothing more.
        f->focus(QStringLiteral("Edit_Zip"));
        press(Qt::Key_F5);
        QCOMPARE(f->boxes.notices.size(), noticesAtStart + 1);
        QCOMPARE(f->boxes.errors.size(), errorsAtStart);
    }
};

QTEST_MAIN(TestFormPostal)
#include "form_postal_test.moc"
