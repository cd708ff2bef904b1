// The transfer panel of the main window: its controls, the memo's colour
// and prompt, the clear button, and the transfer button on the golden
// pastes (the same fields as the core and the command-line tool).
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>

#include "widgets/memo_edit.h"
#include "widgets/sjis_line_edit.h"
#include "text/sjis_qt.h"
#include "tests/app/test_form_fixture.h"
#include "tests/support/file_bytes.h"

namespace {

const QColor kSilver(0xC0, 0xC0, 0xC0);

const char* const kFields[][2] = {
    {"zip", "Edit_Zip"}, {"add1", "Edit_Add1"}, {"add2", "Edit_Add2"}, {"name", "Edit_Custo1"}, {"tel", "Edit_tel"}};

}  // namespace

class FormTransferTest : public QObject {
    Q_OBJECT
    std::unique_ptr<ShownForm> f;

    QPlainTextEdit* memo() const { return f->find<QPlainTextEdit>(QStringLiteral("Memo1")); }
    SjisLineEdit* edit(const char* name) const { return f->find<SjisLineEdit>(QLatin1String(name)); }
    QColor memoColour() const { return memo()->palette().color(QPalette::Base); }
    void clickTransfer() { QTest::mouseClick(f->find<QPushButton>(QStringLiteral("BitBtn_1")), Qt::LeftButton); }

private slots:
    void init() { f = std::make_unique<ShownForm>(); }
    void cleanup() { f.reset(); }

    void panelControls() {
        const struct { const char* name; const char* text; } labels[] = {
            {"Label1", "テキスト転送"},
            {"Label8", "↑↑ここクリップボードから貼り付けが、可能です　(　15行以内に収めてください　)↑↑"},
            {"Label12", "Memoｸﾘｱ"},
        };
        for (const auto& l : labels) {
            auto* label = f->find<QLabel>(QLatin1String(l.name));
            QVERIFY2(label, l.name);
            QCOMPARE(label->text(), QString::fromUtf8(l.text));
            QCOMPARE(label->parentWidget()->objectName(), QStringLiteral("Panel3"));
        }
        QPlainTextEdit* m = memo();
        QVERIFY(m);
        QCOMPARE(m->lineWrapMode(), QPlainTextEdit::NoWrap);
        QCOMPARE(m->focusPolicy(), Qt::ClickFocus);
        QCOMPARE(m->font().pixelSize(), 13);
        QVERIFY(m->toolTip().startsWith(QStringLiteral("ここにお届け先の住所、お名前等のテキストを貼り付けると")));
        QCOMPARE(memoColour(), kSilver);
        auto* transferButton = f->find<QPushButton>(QStringLiteral("BitBtn_1"));
        auto* clearButton = f->find<QPushButton>(QStringLiteral("BitBtn_MemoCLS"));
        QCOMPARE(transferButton->toolTip(), QStringLiteral("お届け先にテキストデータを転送します"));
        QCOMPARE(clearButton->toolTip(), QStringLiteral("メモをクリアします"));
        QVERIFY(!(transferButton->focusPolicy() & Qt::TabFocus));
        QVERIFY(!(clearButton->focusPolicy() & Qt::TabFocus));
        // Every control of the panel lies inside it.
        for (QWidget* w : f->find(QStringLiteral("Panel3"))->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            QVERIFY2(QRect(0, 0, 682, 130).contains(w->geometry()), qPrintable(w->objectName()));
    }

    void memoColourPromptAndClear() {
        memo()->setPlainText(QStringLiteral("山田"));
        QCOMPARE(memoColour(), QApplication::palette().color(QPalette::Base));
        memo()->setPlainText(QStringLiteral("\n\n"));  // only line breaks: not empty
        QCOMPARE(memoColour(), QApplication::palette().color(QPalette::Base));
        memo()->clear();
        QCOMPARE(memoColour(), kSilver);

        QTest::mouseClick(memo()->viewport(), Qt::LeftButton);
        QCOMPARE(f->focusedName(), QStringLiteral("Memo1"));
        QCOMPARE(f->find<QLabel>(QStringLiteral("Panel_HelpMess"))->text(),
                 QStringLiteral("テキストを貼り付けることができます　７行以内に収めてください"));

        memo()->setPlainText(QStringLiteral("a\nb"));
        f->form->Memo2 = QStringList{QStringLiteral("x")};
        QTest::mouseClick(f->find<QPushButton>(QStringLiteral("BitBtn_MemoCLS")), Qt::LeftButton);
        QCOMPARE(memo()->toPlainText(), QString());
        QVERIFY(f->form->Memo2.isEmpty());
        QCOMPARE(memoColour(), kSilver);
        QVERIFY(f->boxes.questions.isEmpty());  // cleared without asking
    }

    void transferFillsFieldsAndMovesFocus() {
        edit("Edit_Add3")->setText(QStringLiteral("三行目"));
        memo()->setPlainText(QStringLiteral(
            "お名前：山田太郎様\n〒123-4567\n東京都港区芝公園1-2-3\nABCビル5F\nTEL:03-1234-5678\nyamada@example.com\n"));
        clickTransfer();
        QCOMPARE(edit("Edit_Zip")->text(), QStringLiteral("123-4567"));
        QCOMPARE(edit("Edit_Add1")->text(), QStringLiteral("東京都港区芝公園1-2-3"));
        QCOMPARE(edit("Edit_Add2")->text(), QStringLiteral("ABCビル5F"));
        QCOMPARE(edit("Edit_Custo1")->text(), QStringLiteral("山田太郎"));
        QCOMPARE(edit("Edit_tel")->text(), QStringLiteral("03-1234-5678"));
        QCOMPARE(edit("Edit_Add3")->text(), QStringLiteral("三行目"));
        QCOMPARE(memo()->toPlainText(),
                 QStringLiteral("山田太郎\n123-4567\n東京都港区芝公園1-2-3\nABCビル5F\n03-1234-5678\n\n"));
        QCOMPARE(memo()->textCursor().position(), 0);
        QCOMPARE(f->focusedName(), QStringLiteral("Edit_Zip"));
        QCOMPARE(f->find<QLabel>(QStringLiteral("Panel_HelpMess"))->text(), QStringLiteral("お届け先の郵便番号を入力して下さい（F5：住所検索）"));
        QVERIFY(f->boxes.notices.isEmpty());
        QCOMPARE(f->form->Memo2.size(), 16);
    }

    void warningFollowsTheTransfer() {
        auto* warning = f->find<QLabel>(QStringLiteral("Label_Warning"));
        // 21 full-width characters: 42 bytes in address line one.
        memo()->setPlainText(QStringLiteral("東京都港区芝公園一丁目二番三号芝ビル本館"));
        clickTransfer();
        QCOMPARE(sjis::byteLength(edit("Edit_Add1")->text()), 40);
        QVERIFY(warning->text().isEmpty());
        memo()->setPlainText(QStringLiteral("東京都港区芝公園一丁目二番三号芝ビル本館1"));
        clickTransfer();
        QVERIFY(warning->text().startsWith(QStringLiteral("警告:おところ①の文字数が多すぎます")));
        // A stopped transfer re-evaluates too: the long address is still there.
        memo()->clear();
        clickTransfer();
        QVERIFY(!warning->text().isEmpty());
    }

    void messagesLeaveFieldsAndFocusTheMemo() {
        edit("Edit_Zip")->setText(QStringLiteral("999-9999"));
        memo()->setPlainText(QStringLiteral("1\n2\na@b.jp\n3\n4\n5\n6\n7\n8\n"));
        clickTransfer();
        QCOMPARE(f->boxes.notices, QStringList{QStringLiteral(" ７行以内に収めてください  現在 8行です")});
        QCOMPARE(edit("Edit_Zip")->text(), QStringLiteral("999-9999"));
        QCOMPARE(memo()->toPlainText(), QStringLiteral("1\n2\n3\n4\n5\n6\n7\n8"));
        QCOMPARE(f->focusedName(), QStringLiteral("Memo1"));

        f->focus(QStringLiteral("Edit_Add1"));
        memo()->setPlainText(QStringLiteral("  \n\n"));
        clickTransfer();
        QCOMPARE(f->boxes.notices.last(), QStringLiteral("転送テキストがありません"));
        QCOMPARE(edit("Edit_Zip")->text(), QStringLiteral("999-9999"));
        QCOMPARE(f->focusedName(), QStringLiteral("Edit_Add1"));
        QCOMPARE(memoColour(), kSilver);
    }

    // A pasted line longer than the memo keeps is cut on a character
    // boundary, with a note (a megabyte-long line made every caret blink
    // redraw it whole); short lines and every line break, "\r" too, stay.
    void overlongPastedLinesAreCut() {
        QTest::mouseClick(memo()->viewport(), Qt::LeftButton);
        auto* help = f->find<QLabel>(QStringLiteral("Panel_HelpMess"));
        const QString prompt = help->text();
        QApplication::clipboard()->setText(QStringLiteral("〒123-4567\n"));
        f->key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(help->text(), prompt);

        const QString longLine = QString(MemoEdit::kMaxLineChars - 1, u'a') + QStringLiteral("😀");
        QApplication::clipboard()->setText(longLine + QStringLiteral("tail\r山田太郎\n") + QString(1 << 16, u'b'));
        f->key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(memo()->toPlainText(), QStringLiteral("〒123-4567\n") + longLine + QStringLiteral("\n山田太郎\n") +
                                            QString(MemoEdit::kMaxLineChars, u'b'));
        QCOMPARE(help->text(), MemoEdit::cutMessage());
    }

    // A kept line that went to no field is named in the prompt line (as it
    // was pasted) and marked in the memo until the memo changes; the print
    // question names it too.
    void unplacedLinesAreNamedAndMarked() {
        auto* m = static_cast<MemoEdit*>(memo());
        auto* help = f->find<QLabel>(QStringLiteral("Panel_HelpMess"));
        m->setPlainText(QStringLiteral("山田\n佐藤\n鈴木"));
        clickTransfer();
        QCoreApplication::processEvents();
        QCOMPARE(help->text(), QStringLiteral("転送しなかった行: 佐藤 / 鈴木"));
        QCOMPARE(m->markedLines(), (QList<int>{1, 2}));

        m->setPlainText(QStringLiteral("〒460-0008\n愛知県名古屋市中区栄3-4-5\n栄ビル5F\n田中 美咲 様\nTEL：052-123-4567"));
        clickTransfer();
        QCoreApplication::processEvents();
        QCOMPARE(edit("Edit_Custo1")->text(), QStringLiteral("栄ビル5F"));
        QCOMPARE(help->text(), QStringLiteral("転送しなかった行: 田中 美咲 様"));
        const QList<QTextEdit::ExtraSelection> marks = m->extraSelections();
        QCOMPARE(marks.size(), 1);
        QCOMPARE(marks[0].cursor.block().blockNumber(), 3);
        QVERIFY(marks[0].format.hasProperty(QTextFormat::BackgroundBrush));

        f->key(Qt::Key_F11);
        QCOMPARE(f->boxes.questions.value(0), QStringLiteral("転送しなかった行: 田中 美咲 様\n印刷しますか?"));
        // Any edit of the memo takes the mark away, and the question is plain.
        QTest::mouseClick(m->viewport(), Qt::LeftButton);
        QTest::keyClick(m, Qt::Key_A);
        QVERIFY(m->extraSelections().isEmpty());
        f->focus(QStringLiteral("Edit_G1"));
        f->key(Qt::Key_F11);
        QCOMPARE(f->boxes.questions.value(1), QStringLiteral("印刷しますか?"));
    }

    void unencodablePasteShowsGeta() {
        memo()->setPlainText(QStringLiteral("山田\U0001F600太郎"));
        clickTransfer();
        QCOMPARE(edit("Edit_Custo1")->text(), QStringLiteral("山田〓太郎"));
    }

    void goldenPastes_data() {
        QTest::addColumn<QString>("base");
        const QDir dir(QStringLiteral(VP_GOLDEN_DIR));
        for (const QString& name : dir.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name))
            QTest::newRow(qPrintable(name.chopped(4))) << dir.filePath(name.chopped(4));
    }

    void goldenPastes() {
        QFETCH(QString, base);
        const QJsonObject expected = QJsonDocument::fromJson(readFile(base + QStringLiteral(".json"))).object();
        QVERIFY(!expected.isEmpty());
        // Sentinels show which fields a stopped transfer leaves alone.
        for (const auto& field : kFields) edit(field[1])->setText(QStringLiteral("untouched"));
        memo()->setPlainText(QString::fromUtf8(readFile(base + QStringLiteral(".txt"))));
        clickTransfer();

        const QJsonValue message = expected.value(QStringLiteral("message"));
        if (message.isNull()) QVERIFY(f->boxes.notices.isEmpty());
        else QCOMPARE(f->boxes.notices, QStringList{message.toString()});
        for (const auto& field : kFields) {
            const QJsonValue e = expected.value(QLatin1String(field[0]));
            QCOMPARE(edit(field[1])->text(), e.isNull() ? QStringLiteral("untouched") : e.toString());
        }
    }
};

QTEST_MAIN(FormTransferTest)
#include "form_transfer_test.moc"
