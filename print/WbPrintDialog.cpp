#include "print/WbPrintDialog.h"

#include "print/WbPrinterSetupDialog.h"
#include "print/Wbprn/WbPrinters.h"

TWbPrintDialog::TWbPrintDialog(QObject* parent) : QObject(parent) {}

std::function<bool(WbPrinterSetupWindow&)>& TWbPrintDialog::runner() {
    static std::function<bool(WbPrinterSetupWindow&)> r;
    return r;
}

bool TWbPrintDialog::Execute() {
    WbPrinterSetupWindow window(qobject_cast<QWidget*>(parent()));
    window.setWindowTitle(QStringLiteral("印刷"));
    const bool confirmed = runner() ? runner()(window) : window.exec() == QDialog::Accepted;
    if (!confirmed) return false;
    window.applyChoice();
    WbPrinter().ForceUpdateCapabilities();
    return true;
}
