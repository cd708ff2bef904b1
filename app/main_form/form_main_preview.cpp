// One part of TForm_Main (form_main.h): its members are defined across the form_main*.cpp files by concern.
// The preview (F10) and the overflow prompt that the print command shows.
#include <QLabel>

#include "app/main_form/app_windows.h"
#include "app/main_form/form_main.h"
#include "app/preview/preview_window.h"
#include "widgets/window_memory.h"
#include "print/Wbprn/WbPrinters.h"
#include "print/core/byte_limits.h"
#include "print/preview_page.h"

void TForm_Main::SpeedButton_F10Click() {
    completePrinterBox();
    // One preview window, kept for the run once opened.
    auto* preview = findChild<TForm_Preview*>(QStringLiteral("Form_Preview"), Qt::FindDirectChildrenOnly);
    if (!preview) {
        preview = new TForm_Preview(*this, Form_SLIP97YPrn);
        keepWindowPlacement(*preview, Label_CurrentDir->text());
    } else {
        preview->refresh();
    }
    preview->show();
    preview->raise();
    preview->activateWindow();
}

QString TForm_Main::overflowPrompt() {
    try {
        const print_preview::PageSetup setup = print_preview::currentPageSetup();
        print_preview::PreviewPage page;
        const print::WaybillFields fields = print_preview::printFields(*this, setup, WbPrinter().Scale());
        page.update(fields, setup);
        std::vector<print::Overflow> overflows = page.overflows();
        // A text past its form's byte limit does not fit either.
        for (const print::ByteOverflow& b : print::findByteOverflows(print::planWaybill(fields), print::formOf(fields)))
            overflows.push_back({b.item, 0, 0, false});
        return print_preview::overflowPrompt(overflows);
    } catch (const std::exception&) {
        // The print command itself reports what is wrong.
        return {};
    }
}
