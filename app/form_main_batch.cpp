// F9 一括印刷: opens the batch window, which prints orders from a file with
// this form's sender, shipping date, goods, time band and printer.
#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>

#include "app/batch_window.h"
#include "app/form_main.h"
#include "services/guard.h"

void TForm_Main::setUpBatchKey() {
    SpeedButton_F9->setText(QStringLiteral("一括印刷"));
    SpeedButton_F9->setEnabled(true);
    if (findChild<QShortcut*>(QStringLiteral("Shortcut_F9"))) return;
    // The entry fields leave F9 alone, so one window-wide shortcut serves
    // every field.
    auto* key = new QShortcut(QKeySequence(Qt::Key_F9), this);
    key->setObjectName(QStringLiteral("Shortcut_F9"));
    connect(key, &QShortcut::activated, SpeedButton_F9, &QPushButton::click);
    connect(SpeedButton_F9, &QPushButton::clicked, this, [this] { guarded(this, [this] { SpeedButton_F9Click(); }); });
}

void TForm_Main::SpeedButton_F9Click() {
    completePrinterBox();
    auto* window = findChild<TBatchWindow*>(QStringLiteral("Form_Batch"));
    if (!window) {
        window = new TBatchWindow(this, this);
    } else {
        // The form's defaults (sender, date, goods …) may have changed.
        window->recheckAll();
    }
    window->show();
    window->raise();
    window->activateWindow();
}
