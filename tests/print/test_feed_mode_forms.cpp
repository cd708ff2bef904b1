// The form of each feed mode: named in the printer file's record, chosen in
// the printer set-up dialog; the waybill, the tracking numbers and the
// history follow it, and a form that cannot be had prints nothing.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "app/main_form/app_windows.h"
#include "history/history_store.h"
#include "print/WbPrinterSetupDialog.h"
#include "print/Wb_d97_Dot.h"
#include "print/core/form_file.h"
#include "print/core/layout.h"
#include "print/core/recording_surface.h"
#include "print/printer_file.h"
#include "tests/print/test_printer_box_support.h"
#include "widgets/sjis_line_edit.h"

using namespace printer_box_test;

namespace {

// Every place of the built-in form one tenth of an inch further right and
// down, on a form as much larger; ten-digit numbers without a check digit.
print::Form shiftedForm() {
    print::Form f = print::builtinForm();
    f.id = "shifted";
    f.name = "ずらした用紙";
    f.carrier.name = "テスト運輸";
    f.tracking = print::TrackingRule::Digits;
    f.trackingDigits = 10;
    f.width += 16;
    f.height += 16;
    f.pageLength += 16;
    for (print::FormItemPlace& p : f.items) {
        p.u += 16;
        p.right += 16;
        p.v += 16;
        p.bottom += 16;
    }
    return f;
}

QList<QPair<QString, QByteArray>> shiftedFormFile() {
    return {{QStringLiteral("forms/shifted.form"), QByteArray::fromStdString(print::formText(shiftedForm()))}};
}

// The texts a page draws, without the face and colours.
std::vector<std::pair<std::string, QPoint>> textsOf(const std::vector<print::RecordingSurface::Call>& page) {
    std::vector<std::pair<std::string, QPoint>> out;
    for (const auto& c : page) out.emplace_back(c.text, QPoint(c.x, c.y));
    return out;
}

}  // namespace

class TestFeedModeForms : public QObject {
    Q_OBJECT

    LayoutWindow layout_;

private slots:
    void initTestCase() { layout_.open(); }
    void cleanupTestCase() { layout_.close(); }
    void init() { TWbPrinterSetupDialog::runner() = nullptr; }

    // The record's PrnForm: written only once a record names a form other
    // than the built-in one, so files that never did keep their bytes.
    void theRecordKeepsItsFormOnlyOnceItNamedOne() {
        QTemporaryDir dir;
        const QString section = QStringLiteral("手差し");
        printer_file::Record r{QStringLiteral("A"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"),
                               QStringLiteral("A4"), QString(), false, QString()};
        const QByteArray plain = sj("[手差し]\r\nPrnName=A\r\nPrnNoIndex=0\r\nvamPrn_Top=0\r\nvamPrn_Left=0\r\n"
                                    "PrnPaperSize=A4\r\nPrnBin=\r\n");
        for (const char* builtin : {"", "pelican"}) {
            r.form = QString::fromLatin1(builtin);
            printer_file::writeRecord(dir.path(), section, r);
            QCOMPARE(readFile(printer_file::path(dir.path())), plain);
            QCOMPARE(printer_file::readRecord(dir.path(), section).form, QString());
        }
        r.form = QStringLiteral("shifted");
        printer_file::writeRecord(dir.path(), section, r);
        QCOMPARE(readFile(printer_file::path(dir.path())), plain + "PrnForm=shifted\r\n");
        QCOMPARE(printer_file::readRecord(dir.path(), section).form, QStringLiteral("shifted"));
        // Back to the built-in form: the key stays and says so.
        r.form.clear();
        printer_file::writeRecord(dir.path(), section, r);
        QCOMPARE(readFile(printer_file::path(dir.path())), plain + "PrnForm=pelican\r\n");
        QCOMPARE(printer_file::readRecord(dir.path(), section).form, QStringLiteral("pelican"));
    }

    // The feed mode's form moves every text, proposes and checks its own
    // numbers and is kept with the history's row; the other feed mode
    // prints on the built-in form as ever.
    void theFeedModesFormDecidesWhereAndWithWhichNumberItPrints() {
        BoxForm f({fakePrinter("A")}, 0, sj("[手差し]\r\nPrnName=A\r\nPrnForm=shifted\r\n"), shiftedFormFile());
        f.boxes.errors.removeAll(QStringLiteral("File not found."));  // a fresh folder has no sender file
        f.form->Edit_Custo1->setText(QStringLiteral("山田太郎"));
        f.form->Edit_Add1->setText(QStringLiteral("東京都千代田区"));
        f.boxes.answer(true);
        f.boxes.numbers.push_back(QStringLiteral("123456789013"));  // the built-in form's kind: refused
        f.boxes.answer(true);
        f.boxes.numbers.push_back(QStringLiteral("0123-456789"));
        f.form->SpeedButton_F11Click();
        QCOMPARE(f.boxes.errors, QStringList{QStringLiteral("伝票番号は10桁です (12桁あります).")});
        QCOMPARE(f.printers->documents.size(), std::size_t{1});

        print::WaybillFields fields = gatherWaybillFields(*f.form);
        QCOMPARE(fields.form->id, std::string("shifted"));
        print::RecordingSurface onShifted;
        print::layoutWaybill(fields, onShifted);
        const auto printed = f.printers->documents[0].pages.at(0);
        QCOMPARE(printed == onShifted.calls, true);
        fields.form = nullptr;
        print::RecordingSurface onBuiltin;
        print::layoutWaybill(fields, onBuiltin);
        const auto shifted = textsOf(printed), builtin = textsOf(onBuiltin.calls);
        QCOMPARE(shifted.size(), builtin.size());
        const QPoint by = shifted.at(0).second - builtin.at(0).second;
        QVERIFY(by.x() > 0 && by.y() > 0);
        for (std::size_t i = 0; i < shifted.size(); ++i) {
            QCOMPARE(shifted[i].first, builtin[i].first);
            QCOMPARE(shifted[i].second - builtin[i].second, by);
        }

        // The next number is the form's next: no check digit.
        f.boxes.answer(false);
        f.form->SpeedButton_F11Click();
        QCOMPARE(f.boxes.offeredNumbers.last(), QStringLiteral("0123456790"));
        store::HistoryStore history(QDir::current().filePath(QString::fromLatin1(store::kHistoryFileName)).toStdString());
        const std::vector<store::WaybillRecord> rows = history.list({});
        QCOMPARE(rows.size(), std::size_t{1});
        QCOMPARE(rows[0].form, std::string("shifted"));
        QCOMPARE(rows[0].tracking, std::string("0123456789"));

        // The other feed mode names no form: the built-in one, whose
        // numbers have their check digit.
        f.form->ComboBox_SEL->setCurrentIndex(1);
        emit f.form->ComboBox_SEL->activated(1);
        QCOMPARE(print::formOf(gatherWaybillFields(*f.form)).id, std::string("pelican"));
        QCOMPARE(print::formOf(gatherWaybillFields(*f.form)) == print::builtinForm(), true);
    }

    // A record naming a form that is gone prints nothing, says so, and is
    // put right in the set-up dialog, which saves the choice per feed mode.
    void aFormThatIsGoneWithholdsPrintingUntilAnotherIsChosen() {
        const QString gone = QStringLiteral("この送り方の用紙 lost が見つかりません。プリンタの登録で用紙を選んでください");
        BoxForm f({fakePrinter("A")}, 0, sj("[手差し]\r\nPrnName=A\r\nPrnForm=lost\r\n"), shiftedFormFile());
        QCOMPARE(f.form->Panel_HelpMess->text(), gone);
        f.boxes.errors.removeAll(QStringLiteral("File not found."));  // a fresh folder has no sender file
        f.boxes.answer(true);
        f.form->SpeedButton_F11Click();
        QCOMPARE(f.printers->documents.size(), std::size_t{0});
        QCOMPARE(f.boxes.errors.size(), 1);
        QVERIFY2(f.boxes.errors[0].contains(gone), qPrintable(f.boxes.errors[0]));

        QStringList offered;
        TWbPrinterSetupDialog::runner() = [&](WbPrinterSetupWindow& w) {
            for (int i = 0; i < w.ComboBox_Form->count(); ++i) offered << w.ComboBox_Form->itemData(i).toString();
            if (offered.value(offered.size() - 1) != QStringLiteral("lost")) return false;
            w.ComboBox_Form->setCurrentIndex(w.ComboBox_Form->findData(QStringLiteral("shifted")));
            return true;
        };
        f.find<QPushButton>(QStringLiteral("BitBtn_PrnSet"))->click();
        // The built-in form first, the gone one last as it was chosen.
        QCOMPARE(offered, (QStringList{QStringLiteral("pelican"), QStringLiteral("shifted"), QStringLiteral("lost")}));
        QCOMPARE(printer_file::readRecord(QDir::currentPath(), QStringLiteral("手差し")).form, QStringLiteral("shifted"));
        QCOMPARE(printer_file::readRecord(QDir::currentPath(), QStringLiteral("連続(４インチ)")).form, QString());
        QVERIFY(f.form->Panel_HelpMess->text() != gone);
        f.boxes.answer(true);
        f.form->SpeedButton_F11Click();
        QCOMPARE(f.printers->documents.size(), std::size_t{1});
    }
};

QTEST_MAIN(TestFeedModeForms)
#include "test_feed_mode_forms.moc"
