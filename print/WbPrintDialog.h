#pragma once
// The print dialog on the printer layer: the same choices as the set-up
// dialog (printer, paper, bin, orientation) under the caption "印刷".
// Confirming applies them and refreshes the layer's cache.
#include <QObject>
#include <functional>

class WbPrinterSetupWindow;

class TWbPrintDialog : public QObject {
    Q_OBJECT
public:
    explicit TWbPrintDialog(QObject* parent = nullptr);

    bool Execute();

    // Tests replace the modal run (see TWbPrinterSetupDialog::runner).
    static std::function<bool(WbPrinterSetupWindow&)>& runner();
};
