// One part of TForm_Main (form_main.h): its members are defined across the form_main*.cpp files by concern.
// The print command (F11): name what is wrong, confirm, hand the printer's
// effective resolution to the layout through Label_dpix / Label_dpiy, and
// print one waybill as a document of one page (and the blank form the feed
// mode's record may ask for after it).
#include <QLabel>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <variant>

#include "app/main_form/app_windows.h"
#include "app/main_form/continuous_page.h"
#include "app/main_form/form_main.h"
#include "widgets/memo_edit.h"
#include "services/guard.h"
#include "services/message_boxes.h"
#include "widgets/sjis_line_edit.h"
#include "batch/tracking_number.h"
#include "print/Wb_d97_Dot.h"
#include "print/Wbprn/WbPrinters.h"
#include "history/print_recording.h"

namespace {

// Resolution × 100 / scale with truncating division. The driver's scale is
// unsigned 16-bit; 0 stops the command before anything is written.
std::int64_t effectiveDpi(int dpi, std::uint16_t scale) {
    if (scale == 0) throw std::runtime_error("Division by zero");
    // 64-bit so that an absurd resolution cannot wrap; a value past the
    // 32-bit range is then refused by the layout's caption check.
    return std::int64_t{dpi} * 100 / scale;
}

// Asks the print question, the standing warnings on the lines above it,
// with the first form's number, proposed from the history; a number that
// fails its check is refused with the reason and asked again. Empty: print
// without recording a number. False for No.
bool askToPrint(TForm_Main& form, const QStringList& warnings, std::string& tracking) {
    const QString question = QStringList(warnings + QStringList{QStringLiteral("印刷しますか?")}).join(u'\n');
    QString number = form.proposedFirstNumber();
    for (;;) {
        const std::optional<QString> answer = messageBoxes().printQuestion(&form, question, number);
        if (!answer) return false;
        if (answer->trimmed().isEmpty()) return true;
        // Checked by the rule of the form it is printed on.
        const auto parsed = batch::parseTracking(answer->toStdString(), batch::trackingSchemeOf(form.feedModeForm()));
        number = *answer;
        const auto* digits = std::get_if<std::string>(&parsed);
        if (!digits) {
            messageBoxes().error(&form, QString::fromStdString(std::get<batch::TrackingRefusal>(parsed).reason));
            continue;
        }
        // A number is on one form only: one the history has already is
        // taken again only when the user says so.
        if (const auto holder = form.trackingHolder(*digits);
            holder && !messageBoxes().question(&form, QString::fromStdString(store::trackingHeldText(*holder)) +
                                                          QStringLiteral("\nこの番号で印刷しますか?")))
            continue;
        tracking = *digits;
        return true;
    }
}

// `named` tells whether the waybill's faults were named in the prompt line.
void printWaybill(TForm_Main& form, bool& named) {
    // With the feed mode's printer gone nothing is asked: the waybill would
    // go nowhere, or to another printer.
    WbPrinter().CheckDocumentsAllowed();
    const QStringList warnings = form.showPrintPrompt();
    named = true;
    std::string tracking;
    if (!confirmFormFeed(&form, form) || !askToPrint(form, warnings, tracking)) {
        form.Edit_G1->setFocus();
        return;
    }
    // Dpi, then Scale, once per axis (separate statements fix the order).
    const int dpiX = WbPrinter().Dpi().x;
    const std::int64_t effX = effectiveDpi(dpiX, WbPrinter().Scale());
    const int dpiY = WbPrinter().Dpi().y;
    const std::int64_t effY = effectiveDpi(dpiY, WbPrinter().Scale());
    form.Label_dpix->setText(QString::number(effX));
    form.Label_dpiy->setText(QString::number(effY));

    if (!Wb_d97_Dot) throw std::logic_error("the layout window Wb_d97_Dot does not exist");
    Wb_d97_Dot->setMainForm(&form);
    WbPrinter().BeginDoc(QStringLiteral("vamu_Pelican  "));
    try {
        Wb_d97_Dot->SLIP97_Prn();
    } catch (...) {
        // Discard the half-drawn job. Should discarding fail as well, the
        // drawing error is still the one reported: it is the cause.
        try {
            WbPrinter().Abort();
        } catch (...) {
        }
        throw;
    }
    // Recorded as printing before the job is handed over, marked printed
    // after: a crash in between leaves a print of unknown outcome.
    const std::string uid = form.recordPrinting(tracking);
    int job = 0;
    try {
        job = WbPrinter().EndDoc();
    } catch (...) {
        form.recordPrinted(uid, std::nullopt);
        throw;
    }
    form.noteFormsSent(1);
    form.recordPrinted(uid, job);
}

}  // namespace

void TForm_Main::SpeedButton_F11Click() {
    bool named = false;
    guarded(this, [&] {
        completePrinterBox();
        printWaybill(*this, named);
    });
    // Again, as a field's own prompt may have replaced it; not when printing
    // is withheld, whose message is the one to read then.
    if (named) showPrintPrompt();
}

QStringList TForm_Main::showPrintPrompt() {
    // The code is checked here too: the address may have been typed after
    // the code was left, with no field left since.
    const ZipVerdict zip = zipVerdict(false);
    Label_ZipWarning->setText(zip.warning);
    const QString overflow = overflowPrompt();
    QString prompt = overflow;
    if (!zip.warning.isEmpty())
        prompt = overflow.isEmpty() ? (zip.detail.isEmpty() ? zip.warning : zip.detail)
                                    : zip.warning + QStringLiteral("　") + overflow;
    const bool unplaced = !Memo1->markedLines().isEmpty();
    if (prompt.isEmpty() && unplaced) prompt = unplacedLinesNote;
    if (!prompt.isEmpty()) Panel_HelpMess->setText(prompt);

    QStringList warnings;
    // The mismatch in full; an unknown code, then the hint about it.
    if (!zip.warning.isEmpty()) warnings << (zip.detail.startsWith(zip.warning) ? zip.detail : zip.warning);
    if (!zip.warning.isEmpty() && !zip.detail.isEmpty() && !zip.detail.startsWith(zip.warning)) warnings << zip.detail;
    if (!overflow.isEmpty()) warnings << overflow;
    if (unplaced) warnings << unplacedLinesNote;
    return warnings;
}
