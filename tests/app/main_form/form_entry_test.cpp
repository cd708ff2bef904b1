// Entry form behaviour: prompts, the address warning, clears, exclusions,
// half-width conversion and hyphens, refused characters, byte limits, the
// input method per field (commits, the date picker, a click while
// composing), sender colouring, web page and mail.
#include <QCheckBox>
#include <QClipboard>
#include <QDateEdit>
#include <QInputMethodEvent>
#include <QInputMethodQueryEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QUrlQuery>
#include <QtTest>

#include "app/main_form/contact.h"
#include "widgets/sjis_line_edit.h"
#include "tests/app/test_form_fixture.h"
#include "tests/support/input_method.h"
#include "text/sjis_qt.h"

namespace {
QString fullWidth(int n) { return QString(n, QChar(0x3042)); }  // "あ" x n: 2n Shift-JIS bytes
}  // namespace

class TestFormEntry : public QObject {
    Q_OBJECT
private slots:
    void promptsAndCaret_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("prompt");
        QTest::newRow("zip") << "Edit_Zip" << "お届け先の郵便番号を入力して下さい（F5：住所検索）";
        QTest::newRow("add1") << "Edit_Add1" << "お届け先のおところ①を入力して下さい";
        QTest::newRow("add2") << "Edit_Add2" << "お届け先のおところ②を入力して下さい";
        QTest::newRow("add3") << "Edit_Add3" << "お届け先のおところ②を入力して下さい";
        QTest::newRow("name") << "Edit_Custo1" << "お届け先のおなまえを入力して下さい";
        QTest::newRow("tel") << "Edit_tel" << "お届け先のでんわを入力して下さい";
        QTest::newRow("sender zip") << "Edit_MyZip" << "ご依頼主の郵便番号を入力して下さい（F5：住所検索）";
        QTest::newRow("sender add1") << "Edit_MyADD1" << "ご依頼主のおところ①を入力して下さい";
        QTest::newRow("sender add2") << "Edit_MyADD2" << "ご依頼主のおところ②を入力して下さい";
        QTest::newRow("sender name") << "Edit_My" << "ご依頼主のおなまえを入力して下さい";
        QTest::newRow("sender tel") << "Edit_MyTEL" << "ご依頼主のでんわを入力して下さい";
        QTest::newRow("goods1") << "Edit_G1" << "品名を入力して下さい";
        QTest::newRow("goods2") << "Edit_G2" << "品名を入力して下さい";
        QTest::newRow("goods3") << "Edit_G3" << "品名を入力して下さい";
    }
    void promptsAndCaret() {
        QFETCH(QString, field);
        QFETCH(QString, prompt);
        ShownForm f;
        auto* e = f.find<QLineEdit>(field);
        e->setText(QStringLiteral("12"));
        // Start somewhere that leaves the prompt line alone.
        f.focus(QStringLiteral("CheckBox_Pelican_3"));
        f.find<QLabel>(QStringLiteral("Panel_HelpMess"))->setText(QStringLiteral("x"));
        f.focus(field);  // a Tab arrival, which would normally select all
        QCOMPARE(f.find<QLabel>(QStringLiteral("Panel_HelpMess"))->text(), prompt);
        QVERIFY(!e->hasSelectedText());
        QCOMPARE(e->cursorPosition(), 2);
    }

    void otherControlsLeaveThePromptAlone() {
        ShownForm f;
        auto* help = f.find<QLabel>(QStringLiteral("Panel_HelpMess"));
        QCOMPARE(help->text(), QStringLiteral("お届け先の郵便番号を入力して下さい（F5：住所検索）"));
        for (const char* name : {"Edit_de_date1", "DateTimePicker_1", "CheckBox_My", "ComboBox_SEL"}) {
            f.focus(QLatin1String(name));
            QCOMPARE(help->text(), QStringLiteral("お届け先の郵便番号を入力して下さい（F5：住所検索）"));
        }
    }

    void addressWarningThreshold_data() {
        QTest::addColumn<QString>("add1");
        QTest::addColumn<QString>("entered");
        QTest::addColumn<bool>("warns");
        QTest::newRow("40 bytes pass") << fullWidth(20) << "Edit_Add2" << false;
        QTest::newRow("41 bytes warn") << fullWidth(20) + QStringLiteral("1") << "Edit_Add2" << true;
        QTest::newRow("half-width kana count 1 byte") << QString(41, QChar(0xFF71)) << "Edit_Add3" << true;
        QTest::newRow("40 half-width kana pass") << QString(40, QChar(0xFF71)) << "Edit_Add1" << false;
        QTest::newRow("checked on entering add1") << fullWidth(21) << "Edit_Add1" << true;
        QTest::newRow("not on the name field") << fullWidth(21) << "Edit_Custo1" << false;
    }
    void addressWarningThreshold() {
        QFETCH(QString, add1);
        QFETCH(QString, entered);
        QFETCH(bool, warns);
        ShownForm f;
        f.find<QLineEdit>(QStringLiteral("Edit_Add1"))->setText(add1);
        f.focus(entered);
        QCOMPARE(!f.find<QLabel>(QStringLiteral("Label_Warning"))->text().isEmpty(), warns);
    }

    void warningIsNotRerunWhileTyping() {
        ShownForm f;
        auto* add1 = f.find<QLineEdit>(QStringLiteral("Edit_Add1"));
        auto* warning = f.find<QLabel>(QStringLiteral("Label_Warning"));
        add1->setText(fullWidth(20));
        f.focus(QStringLiteral("Edit_Add1"));
        QVERIFY(warning->text().isEmpty());
        QTest::keyClicks(add1, QStringLiteral("12"));
        QVERIFY(warning->text().isEmpty());  // typing does not check
        f.focus(QStringLiteral("Edit_Add2"));
        QCOMPARE(warning->text(), QStringLiteral("警告:おところ①の文字数が多すぎます。　おところ②へ分割してください"));
        f.focus(QStringLiteral("Edit_Add1"));
        add1->clear();
        QVERIFY(!warning->text().isEmpty());  // stays until an address field is entered again
        f.focus(QStringLiteral("Edit_Add3"));
        QVERIFY(warning->text().isEmpty());
    }

    void consigneeClear_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }
    void consigneeClear() {
        QFETCH(bool, yes);
        ShownForm f;
        const QStringList cleared = {QStringLiteral("Edit_Zip"), QStringLiteral("Edit_Add1"),
                                     QStringLiteral("Edit_Add2"), QStringLiteral("Edit_Custo1"),
                                     QStringLiteral("Edit_tel")};
        const QStringList kept = {QStringLiteral("Edit_Add3"), QStringLiteral("Edit_G1"), QStringLiteral("Edit_G2"),
                                  QStringLiteral("Edit_G3"), QStringLiteral("Edit_My"),
                                  QStringLiteral("Edit_de_date1")};
        for (const QString& n : cleared + kept) f.find<QLineEdit>(n)->setText(QStringLiteral("12"));
        for (const char* n : {"Label_Warning", "Label_CutCut", "Label_0X", "Label_org"})
            f.find<QLabel>(QLatin1String(n))->setText(QStringLiteral("w"));
        f.find<QCheckBox>(QStringLiteral("CheckBox_Pelican_2"))->setChecked(true);
        f.focus(QStringLiteral("Edit_G2"));

        f.boxes.answer(yes);
        QTest::mouseClick(f.find(QStringLiteral("BitBtn_CLS")), Qt::LeftButton);
        QCOMPARE(f.boxes.questions, QStringList{QStringLiteral("お届け先をクリアますか?")});

        const QString left = yes ? QString() : QStringLiteral("12");
        for (const QString& n : cleared) QCOMPARE(f.find<QLineEdit>(n)->text(), left);
        for (const QString& n : kept) QCOMPARE(f.find<QLineEdit>(n)->text(), QStringLiteral("12"));
        for (const char* n : {"Label_Warning", "Label_CutCut", "Label_0X"})
            QCOMPARE(f.find<QLabel>(QLatin1String(n))->text(), yes ? QString() : QStringLiteral("w"));
        QCOMPARE(f.find<QLabel>(QStringLiteral("Label_org"))->text(), QStringLiteral("w"));
        QVERIFY(f.find<QCheckBox>(QStringLiteral("CheckBox_Pelican_2"))->isChecked());
    }

    void senderClearEmptiesTheFiveSenderFields() {
        ShownForm f;
        const QStringList sender = {QStringLiteral("Edit_MyZip"), QStringLiteral("Edit_MyADD1"),
                                    QStringLiteral("Edit_MyADD2"), QStringLiteral("Edit_My"),
                                    QStringLiteral("Edit_MyTEL")};
        for (const QString& n : sender) f.find<QLineEdit>(n)->setText(QStringLiteral("x"));
        f.find<QLineEdit>(QStringLiteral("Edit_Zip"))->setText(QStringLiteral("1"));
        f.form->Edit_Cls_My();
        for (const QString& n : sender) QVERIFY(f.find<QLineEdit>(n)->text().isEmpty());
        QCOMPARE(f.find<QLineEdit>(QStringLiteral("Edit_Zip"))->text(), QStringLiteral("1"));
    }

    void timeBandsExcludeEachOther() {
        ShownForm f;
        auto box = [&](int n) { return f.find<QCheckBox>(QStringLiteral("CheckBox_Pelican_%1").arg(n)); };
        QTest::mouseClick(box(1), Qt::LeftButton);
        QTest::mouseClick(box(3), Qt::LeftButton);
        for (int n = 1; n <= 6; ++n) QCOMPARE(box(n)->isChecked(), n == 3);
        QTest::mouseClick(box(3), Qt::LeftButton);  // unchecking changes nothing else
        for (int n = 1; n <= 6; ++n) QVERIFY(!box(n)->isChecked());
        f.focus(QStringLiteral("CheckBox_Pelican_6"));
        QTest::keyClick(box(6), Qt::Key_Space);  // the keyboard counts as a click
        box(2)->setChecked(true);                // the program may set any state
        QTest::mouseClick(box(5), Qt::LeftButton);
        for (int n = 1; n <= 6; ++n) QCOMPARE(box(n)->isChecked(), n == 5);
    }

    // Each box of the time-band and special-handling groups has its
    // indicator inside its own row, apart from its neighbours', and a click
    // on it changes that box alone.
    void checkBoxIndicatorsStayApart() {
        ShownForm f;
        for (const char* group : {"GroupBox_Pelican_1", "GroupBox_Pelican_2"}) {
            auto* g = f.find<QWidget>(QLatin1String(group));
            const QList<QCheckBox*> boxes = g->findChildren<QCheckBox*>();
            QVERIFY(boxes.size() >= 5);
            QList<QRect> indicators;
            for (QCheckBox* b : boxes) {
                QStyleOptionButton opt;
                opt.initFrom(b);
                const QRect r = b->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &opt, b);
                QVERIFY2(b->rect().contains(r), qPrintable(b->objectName()));
                for (const QRect& other : indicators) QVERIFY2(!other.intersects(r.translated(b->pos())), qPrintable(b->objectName()));
                indicators << r.translated(b->pos());
            }
            for (QCheckBox* b : boxes) {
                for (QCheckBox* o : boxes) o->setChecked(false);
                QTest::mouseClick(b, Qt::LeftButton, {}, indicators.at(boxes.indexOf(b)).translated(-b->pos()).center());
                for (QCheckBox* o : boxes) QVERIFY2(o->isChecked() == (o == b), qPrintable(o->objectName()));
            }
        }
    }

    void golfAndSkiExcludeEachOther() {
        ShownForm f;
        auto box = [&](int n) { return f.find<QCheckBox>(QStringLiteral("CheckBox_Pelican_%1").arg(n)); };
        QTest::mouseClick(box(22), Qt::LeftButton);
        QTest::mouseClick(box(21), Qt::LeftButton);
        QVERIFY(box(21)->isChecked());
        QVERIFY(!box(22)->isChecked());
        QTest::mouseClick(box(22), Qt::LeftButton);
        QVERIFY(!box(21)->isChecked());
        QVERIFY(box(22)->isChecked());
        // Airport, chilled and frozen are independent of everything.
        for (int n : {23, 24, 25}) QTest::mouseClick(box(n), Qt::LeftButton);
        for (int n : {22, 23, 24, 25}) QVERIFY(box(n)->isChecked());
        QVERIFY(!box(21)->isChecked());
        QTest::mouseClick(box(21), Qt::LeftButton);
        QVERIFY(!box(22)->isChecked());
        for (int n : {21, 23, 24, 25}) QVERIFY(box(n)->isChecked());
    }

    void halfWidthOnChange_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("result");
        QTest::newRow("zip") << "Edit_Zip" << "１２３－４５６７" << "123-4567";
        QTest::newRow("tel") << "Edit_tel" << "０３－１２３４－５６７８" << "03-1234-5678";
        // The sender's fields convert what the user adds; a sender record
        // read from its file is shown as saved.
        QTest::newRow("sender tel") << "Edit_MyTEL" << "０３－１２" << "03-12";
        // A hyphen-like mark between digits is the hyphen it stands for.
        QTest::newRow("zip long-vowel hyphen") << "Edit_Zip" << "１００ー０００１" << "100-0001";
        QTest::newRow("tel U+2010 hyphen") << "Edit_tel" << "03‐1234‐5678" << "03-1234-5678";
        QTest::newRow("tel bar and minus") << "Edit_tel" << "03―1234−5678" << "03-1234-5678";
        QTest::newRow("sender zip half-width mark") << "Edit_MyZip" << "100ｰ0001" << "100-0001";
    }
    void halfWidthOnChange() {
        QFETCH(QString, field);
        QFETCH(QString, pasted);
        QFETCH(QString, result);
        ShownForm f;
        f.focus(field);
        QApplication::clipboard()->setText(pasted);
        f.key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.find<QLineEdit>(field)->text(), result);
        // The program's own writes are converted in the consignee's fields.
        f.find<QLineEdit>(field)->setText(pasted);
        QCOMPARE(f.find<QLineEdit>(field)->text(), field.startsWith(u"Edit_My") ? pasted : result);
    }

    // The caret stays after what was just typed when the conversion makes
    // it longer (a voiced kana becomes a letter and a mark).
    void caretFollowsTheHalfWidthConversion_data() {
        QTest::addColumn<QString>("field");
        QTest::newRow("zip") << "Edit_Zip";
        QTest::newRow("tel") << "Edit_tel";
    }
    void caretFollowsTheHalfWidthConversion() {
        QFETCH(QString, field);
        ShownForm f;
        auto* e = f.find<QLineEdit>(field);
        f.focus(field);
        f.type(QStringLiteral("ガ"));
        f.type(QStringLiteral("1"));
        QCOMPARE(e->text(), QStringLiteral("ｶﾞ1"));
        e->setCursorPosition(1);
        f.type(QStringLiteral("パ"));
        QCOMPARE(e->text(), QStringLiteral("ｶﾊﾟﾞ1"));
        QCOMPARE(e->cursorPosition(), 3);
    }

    // A paste is converted first where the field converts, then held to the
    // limit: what does not fit is cut on a character boundary with a note;
    // when nothing fits, the field only beeps and the prompt stays.
    void pasteIsConvertedThenCutAtTheLimit_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("before");  // "|" marks the caret
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("after");   // "|" marks the caret
        QTest::addColumn<bool>("cut");
        QTest::newRow("zip fits after conversion") << "Edit_Zip" << "|" << "〒１２３－４５６７" << "123-4567|" << false;  // shown as the code alone
        QTest::newRow("zip cut after conversion") << "Edit_Zip" << "|" << "１２３４５６７８９０１２３４５６７８９"
                                                  << "1234567890123456|" << true;
        QTest::newRow("goods cut between characters") << "Edit_G3" << "|" << fullWidth(20) << fullWidth(15) + u'|' << true;
        QTest::newRow("odd byte left: nothing fits") << "Edit_Custo1" << QString(79, u'a') + u'|' << "あい"
                                                     << QString(79, u'a') + u'|' << false;
        QTest::newRow("pasted in the middle") << "Edit_MyZip" << "1|23" << "45678901" << "145678|23" << true;
    }
    void pasteIsConvertedThenCutAtTheLimit() {
        QFETCH(QString, field);
        QFETCH(QString, before);
        QFETCH(QString, pasted);
        QFETCH(QString, after);
        QFETCH(bool, cut);
        ShownForm f;
        auto* e = f.find<QLineEdit>(field);
        auto* help = f.find<QLabel>(QStringLiteral("Panel_HelpMess"));
        f.focus(field);
        e->setText(QString(before).remove(u'|'));
        e->setCursorPosition(static_cast<int>(before.indexOf(u'|')));
        const QString prompt = help->text();
        QApplication::clipboard()->setText(pasted);
        f.key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(e->text(), QString(after).remove(u'|'));
        QCOMPARE(e->cursorPosition(), after.indexOf(u'|'));
        QCOMPARE(help->text(), cut ? SjisLineEdit::cutMessage() : prompt);
    }

    void characterOutsideShiftJisIsRefused() {
        ShownForm f;
        auto* name = f.find<QLineEdit>(QStringLiteral("Edit_Custo1"));
        auto* help = f.find<QLabel>(QStringLiteral("Panel_HelpMess"));
        f.focus(QStringLiteral("Edit_Custo1"));
        f.type(QStringLiteral("山"));
        f.type(QStringLiteral("田"));
        f.type(QStringLiteral("😀"));  // one key press, a surrogate pair
        QCOMPARE(name->text(), QStringLiteral("山田"));
        QCOMPARE(help->text(), SjisLineEdit::notEncodableMessage());
        // A paste that holds one such character is refused whole.
        QApplication::clipboard()->setText(QStringLiteral("太郎😀様"));
        f.key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(name->text(), QStringLiteral("山田"));
        QCOMPARE(name->cursorPosition(), 2);
        // Everything CP932 holds goes in, the twins of Mac and web text too.
        QApplication::clipboard()->setText(QStringLiteral("〜①髙"));
        f.key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(name->text(), QStringLiteral("山田〜①髙"));
        // Other fields are untouched by a refusal elsewhere.
        QVERIFY(f.find<QLineEdit>(QStringLiteral("Edit_Zip"))->text().isEmpty());
    }

    void byteLimitsCountShiftJisBytes_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        // The seventh digit brings the hyphen, which counts too.
        QTest::newRow("zip 16") << "Edit_Zip" << QString(17, u'1') << QStringLiteral("111-") + QString(12, u'1');
        QTest::newRow("name 80: 40 full-width") << "Edit_Custo1" << fullWidth(41) << fullWidth(40);
        QTest::newRow("name 80: odd byte left") << "Edit_Custo1" << QString(79, u'a') + fullWidth(1)
                                                << QString(79, u'a');
        QTest::newRow("goods 30") << "Edit_G3" << fullWidth(16) << fullWidth(15);
        QTest::newRow("sender zip 8") << "Edit_MyZip" << QStringLiteral("123-45678") << QStringLiteral("123-4567");
        QTest::newRow("address has no limit") << "Edit_Add2" << fullWidth(60) << fullWidth(60);
    }
    void byteLimitsCountShiftJisBytes() {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        ShownForm f;
        f.focus(field);
        for (QChar c : typed) f.type(QString(c));
        QCOMPARE(f.find<QLineEdit>(field)->text(), kept);
    }

    void programMayFillPastTheLimitAndUserMayShorten() {
        ShownForm f;
        auto* zip = f.find<QLineEdit>(QStringLiteral("Edit_MyZip"));
        zip->setText(QStringLiteral("1234567890"));  // e.g. read from a file
        QCOMPARE(zip->text(), QStringLiteral("1234567890"));
        f.focus(QStringLiteral("Edit_MyZip"));
        f.type(QStringLiteral("1"));
        QCOMPARE(zip->text(), QStringLiteral("1234567890"));
        f.key(Qt::Key_Backspace);
        QCOMPARE(zip->text(), QStringLiteral("123456789"));
    }

    // What an input method commits into each group of fields, and whether
    // the field lets it compose at all (fields for codes and numbers do
    // not: a key goes in as typed, whatever state the input method is in).
    void inputMethodCommitsPerField_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("composes");
        QTest::addColumn<QString>("commit");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("note");  // the prompt line after the commit; empty: the field's prompt
        const QString cut = SjisLineEdit::cutMessage();
        QTest::newRow("address kana") << "Edit_Add1" << true << "とうきょうと" << "とうきょうと" << "";
        QTest::newRow("address 3 kanji") << "Edit_Add3" << true << "港区芝公園" << "港区芝公園" << "";
        QTest::newRow("name over-long") << "Edit_Custo1" << true << fullWidth(41) << fullWidth(40) << cut;
        QTest::newRow("goods over-long") << "Edit_G2" << true << QStringLiteral("林檎") + fullWidth(14)
                                         << QStringLiteral("林檎") + fullWidth(13) << cut;
        QTest::newRow("sender address kanji") << "Edit_MyADD2" << true << "芝公園" << "芝公園" << "";
        QTest::newRow("sender name kana") << "Edit_My" << true << "やまだ" << "やまだ" << "";
        QTest::newRow("zip full-width digits") << "Edit_Zip" << false << "１０５００１１" << "105-0011" << "";
        QTest::newRow("tel full-width digits") << "Edit_tel" << false << "０３１２３４５６７８" << "0312345678" << "";
        QTest::newRow("sender zip full-width digits") << "Edit_MyZip" << false << "１０５００１１" << "105-0011" << "";
        QTest::newRow("sender zip over-long") << "Edit_MyZip" << false << "１２３－４５６７８" << "123-4567" << cut;
        QTest::newRow("sender tel full-width") << "Edit_MyTEL" << false << "０３－１２３４－５６７８"
                                               << "03-1234-5678" << "";
        QTest::newRow("zip long-vowel hyphen") << "Edit_Zip" << false << "１００ー０００１" << "100-0001" << "";
        QTest::newRow("tel U+2010 hyphen") << "Edit_tel" << false << "03‐1234‐5678" << "03-1234-5678" << "";
        QTest::newRow("date full-width digits") << "Edit_de_date1" << false << "１２" << "12" << "";
        QTest::newRow("date over-long") << "Edit_de_date2" << false << "１２３" << "12" << cut;
        QTest::newRow("date kana refused") << "Edit_de_date3" << false << "いち" << ""
                                           << SjisLineEdit::digitsOnlyMessage();
    }
    void inputMethodCommitsPerField() {
        QFETCH(QString, field);
        QFETCH(bool, composes);
        QFETCH(QString, commit);
        QFETCH(QString, stored);
        QFETCH(QString, note);
        ShownForm f;
        auto* e = f.find<SjisLineEdit>(field);
        f.focus(field);
        const QString prompt = f.find<QLabel>(QStringLiteral("Panel_HelpMess"))->text();

        // Asked by the input method; leaving read-only (where QLineEdit turns
        // the input method back on) keeps the field's mode.
        e->setReadOnly(true);
        e->setReadOnly(false);
        QInputMethodQueryEvent asked(Qt::ImEnabled | Qt::ImHints | Qt::ImPreferredLanguage);
        QCoreApplication::sendEvent(e, &asked);
        QCOMPARE(asked.value(Qt::ImEnabled).toBool(), composes);
        QCOMPARE(e->testAttribute(Qt::WA_InputMethodEnabled), composes);
        if (composes)
            QCOMPARE(asked.value(Qt::ImPreferredLanguage).toString(), QStringLiteral("ja_JP"));
        else
            QVERIFY(asked.value(Qt::ImHints).toInt() &
                    (Qt::ImhDigitsOnly | Qt::ImhPreferNumbers | Qt::ImhDialableCharactersOnly));

        // The first character comes with a pre-edit, which only a composing
        // field takes; the rest comes as a commit alone.
        QInputMethodEvent first(QStringLiteral("ー"), {});
        first.setCommitString(commit.left(1));
        QCoreApplication::sendEvent(e, &first);
        QCOMPARE(first.isAccepted(), composes);
        QInputMethodEvent rest;
        rest.setCommitString(commit.mid(1));
        QCoreApplication::sendEvent(e, &rest);
        QCOMPARE(e->text(), stored);
        QCOMPARE(sjis::byteLength(e->text()), sjis::byteLength(stored));
        QCOMPARE(f.find<QLabel>(QStringLiteral("Panel_HelpMess"))->text(), note.isEmpty() ? prompt : note);
    }

    // Commits one after another: a mark becomes the hyphen once a digit
    // follows it, whichever commit brings the digit; in a Japanese field it
    // stays the long-vowel mark.
    void hyphenReadWhenTheNextDigitComes_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("commits");  // one commit after another, "|" between them
        QTest::addColumn<QString>("stored");
        QTest::newRow("sender tel") << "Edit_MyTEL" << "03|ー|1234" << "03-1234";
        QTest::newRow("sender zip full-width") << "Edit_MyZip" << "１００|ー|０" << "100-0";
        QTest::newRow("zip") << "Edit_Zip" << "100|ー|0001" << "100-0001";
        QTest::newRow("zip awaiting its digit") << "Edit_Zip" << "100|ー" << "100ｰ";
        QTest::newRow("address") << "Edit_Add1" << "コーポ1|ー|2" << "コーポ1ー2";
    }
    void hyphenReadWhenTheNextDigitComes() {
        QFETCH(QString, field);
        QFETCH(QString, commits);
        QFETCH(QString, stored);
        ShownForm f;
        auto* e = f.find<SjisLineEdit>(field);
        f.focus(field);
        for (const QString& c : commits.split(u'|')) {
            QInputMethodEvent commit;
            commit.setCommitString(c);
            QCoreApplication::sendEvent(e, &commit);
        }
        QCOMPARE(e->text(), stored);
        QCOMPARE(e->cursorPosition(), stored.size());
    }

    // The date picker takes digits as typed: with the input method on, a
    // day typed and Enter give that day.
    void datePickerTakesDigitsAsTyped() {
        ShownForm f;
        auto* picker = f.find<QDateEdit>(QStringLiteral("DateTimePicker_1"));
        f.focus(QStringLiteral("DateTimePicker_1"));
        QWidget* field = QApplication::focusWidget();
        QVERIFY(!composesIn(field));
        picker->setSelectedSection(QDateTimeEdit::DaySection);
        typeThroughInputMethod(field, QStringLiteral("20"));
        QCOMPARE(picker->date(), QDate(2026, 12, 20));
        QCOMPARE(f.focusedName(), QStringLiteral("Edit_de_date1"));
        // An input method that commits full-width digits anyway.
        f.focus(QStringLiteral("DateTimePicker_1"));
        picker->setSelectedSection(QDateTimeEdit::DaySection);
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("２１"));
        QCoreApplication::sendEvent(QApplication::focusWidget(), &commit);
        QCOMPARE(picker->date(), QDate(2026, 12, 21));
    }

    // A click during a composition, in the same field or another one, leaves
    // the composed text in its field once; the input method's repeat of it
    // after the reset goes nowhere, and the next composition goes in.
    void clickDuringCompositionKeepsTheTextOnce_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("clicked");
        QTest::addColumn<QString>("composed");
        QTest::newRow("same field") << "Edit_Custo1" << "Edit_Custo1" << "やまだ";
        QTest::newRow("another field") << "Edit_Add3" << "Edit_tel" << "０３";
        QTest::newRow("goods to name") << "Edit_G1" << "Edit_Custo1" << "林檎";
    }
    void clickDuringCompositionKeepsTheTextOnce() {
        QFETCH(QString, field);
        QFETCH(QString, clicked);
        QFETCH(QString, composed);
        ShownForm f;
        auto* composing = f.find<QLineEdit>(field);
        auto* target = f.find<QLineEdit>(clicked);
        f.focus(field);
        QInputMethodEvent preedit(composed, {});
        QCoreApplication::sendEvent(composing, &preedit);
        QVERIFY(composing->text().isEmpty());
        QTest::mouseClick(f.form->windowHandle(), Qt::LeftButton, {},
                          target->mapTo(f.form.get(), QPoint(target->width() - 4, target->height() / 2)));
        QCOMPARE(f.focusedName(), clicked);
        QCOMPARE(composing->text(), composed);
        if (target != composing) QVERIFY(target->text().isEmpty());

        QInputMethodEvent repeat;  // what ibus sends when the reset commits
        repeat.setCommitString(composed);
        QCoreApplication::sendEvent(QGuiApplication::focusObject(), &repeat);
        QCOMPARE(composing->text(), composed);
        if (target != composing) QVERIFY(target->text().isEmpty());

        QInputMethodEvent next(QStringLiteral("か"), {});
        QCoreApplication::sendEvent(target, &next);
        QInputMethodEvent nextCommit;
        nextCommit.setCommitString(QStringLiteral("か"));
        QCoreApplication::sendEvent(target, &nextCommit);
        QVERIFY(target->text().endsWith(QStringLiteral("か")));
    }

    void senderFieldsGreyWhenSenderNotPrinted() {
        ShownForm f;
        auto* my = f.find<QCheckBox>(QStringLiteral("CheckBox_My"));
        const QStringList sender = {QStringLiteral("Edit_MyZip"), QStringLiteral("Edit_MyADD1"),
                                    QStringLiteral("Edit_MyADD2"), QStringLiteral("Edit_My"),
                                    QStringLiteral("Edit_MyTEL")};
        const QColor normal = f.find<QLineEdit>(QStringLiteral("Edit_Zip"))->palette().color(QPalette::Base);
        QVERIFY(my->isChecked());
        QTest::mouseClick(my, Qt::LeftButton);
        for (const QString& n : sender) {
            QCOMPARE(f.find<QLineEdit>(n)->palette().color(QPalette::Base), QColor(128, 128, 128));
            QVERIFY(!f.find<QLineEdit>(n)->isReadOnly());
        }
        QTest::mouseClick(f.find(QStringLiteral("CheckBox_Date_1")), Qt::LeftButton);  // re-applies, same result
        QCOMPARE(f.find<QLineEdit>(QStringLiteral("Edit_My"))->palette().color(QPalette::Base),
                 QColor(128, 128, 128));
        QTest::mouseClick(my, Qt::LeftButton);
        for (const QString& n : sender) QCOMPARE(f.find<QLineEdit>(n)->palette().color(QPalette::Base), normal);
    }

    void webPageAndMail() {
        ShownForm f;
        QTest::mouseClick(f.find(QStringLiteral("BitBtn_WebHelp")), Qt::LeftButton);
        QTest::mouseClick(f.find(QStringLiteral("BitBtn_SendMail")), Qt::LeftButton);
        QCOMPARE(f.shell.opened.size(), 2);
        QCOMPARE(f.shell.opened[0].scheme(), QStringLiteral("https"));
        const QUrl mail = f.shell.opened[1];
        QCOMPARE(mail.toEncoded(),
                 QByteArray("mailto:support@vamu.example.jp?subject=vamu%E3%81%B8%E3%81%AE%E5%95%8F%E3%81%84"
                            "%E5%90%88%E3%82%8F%E3%81%9B&cc=&bcc="));
        const QUrlQuery q(mail);
        QCOMPARE(q.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded), QStringLiteral("vamuへの問い合わせ"));
        QVERIFY(q.hasQueryItem(QStringLiteral("cc")) && q.hasQueryItem(QStringLiteral("bcc")));
        QCOMPARE(f.find(QStringLiteral("BitBtn_SendMail"))->toolTip(), QStringLiteral("support@vamu.example.jp"));
    }
};

QTEST_MAIN(TestFormEntry)
#include "form_entry_test.moc"
