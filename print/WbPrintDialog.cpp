#include "print/WbPrintDialog.h"

#include "print/WbPrinterSetupDialog.h"

TWbPrintDialog::TWbPrintDialog(QObject* parent) : QObject(parent) {}

std::function<bool(WbPrinterSetupWindow&)>& TWbPrintDialog::runner() {
    static std::function<bool(WbPrinterSetupWindow&)> r;
    return r;
}

bool TWbPrintDialog::Execute() {
    WbPrinterSetupWindow window(qobject_cast<QWidget*>(parent()));
    window.setWindowTitle(QStringLiteral("印刷"));
    return window.runAndApply(runner());
}
