// One part of TForm_Main (form_main.h): its members are defined across the form_main*.cpp files by concern.
// The main window's first showing, its destruction and the exit command.
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStatusBar>

#include "app/main_form/form_main.h"
#include "widgets/memo_edit.h"
#include "services/app_title.h"
#include "services/clock.h"
#include "services/guard.h"
#include "services/message_boxes.h"
#include "widgets/sjis_line_edit.h"

namespace {
const QString kCaption = QStringLiteral("vamu　送り状印刷　< 日本通運　ペリカン便　> ver1.10");
}

void TForm_Main::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The window is never hidden and shown again; FormShow runs once.
    if (formShown_) return;
    formShown_ = true;
    centreOnDesktop();
    guarded(this, [this] { FormShow(); });
    completePrinterBoxAfterFirstPaint();
    // When FormShow stopped early the focus still starts in the first field.
    if (!focusWidget()) Edit_Zip->setFocus(Qt::OtherFocusReason);
}

void TForm_Main::FormShow() {
    setWindowTitle(kCaption);                              // 1
    DateTimePicker_1->setDate(appClock().today());         // 2
    Edit_de_date1->clear();                                // 3
    Edit_de_date2->clear();
    Edit_de_date3->clear();
    Label_CurrentDir->setText(QDir::currentPath());        // 4
    Label_Prn_Top->clear();                                // 5
    Label_Prn_Left->clear();
    Edit_Cls();                                            // 6
    Edit_Cls_My();
    if (Memo1) Memo1->clear();
    Memo2.clear();
    LoadSettings();                                        // 7
    loadForms();
    layOutEntryForm();                                     // 8
    // 9, 10: a printer problem (none installed, scheduler away) is shown
    // but does not stop the start: without the steps after it the window
    // would open with a dead function key bar and no way to quit by key.
    startingPrinterBox_ = true;
    guarded(this, [this] {
        ComboBox_SELChange();
        SpeedButton_PRNSETClick();
    });
    startingPrinterBox_ = false;
    StatusBar1->showMessage(QStringLiteral("  "));         // 11
    setUpFunctionBar();                                    // 12
    if (!isVisible()) {
        // A stop signal or the session's end closed the window while the
        // printer's error box was open. The start still loads the sender
        // so the settings saved at the end are complete, but shows no
        // further box: the run is ending and a new box would keep it alive.
        try {
            SpeedButton_readMyClick();
        } catch (...) {
            // Nobody is left to read it.
        }
        return;
    }
    // 13: a missing sender file raises here; the error box shows it and
    // step 14 is skipped (the focus then goes to the first control anyway).
    SpeedButton_readMyClick();
    Edit_Zip->setFocus(Qt::OtherFocusReason);              // 14
}

void TForm_Main::FormDestroy() { SaveSettings(); }

void TForm_Main::runFormDestroyOnce() {
    // Only a window that loaded its state has state to save; and whichever
    // way the run ends (close box, Alt+F4, F2, quit from the session) the
    // settings are written exactly once.
    if (formDestroyed_ || !formShown_) return;
    formDestroyed_ = true;
    guarded(this, [this] { FormDestroy(); });
}

void TForm_Main::SpeedButton_F2Click() {
    if (messageBoxes().question(this, QStringLiteral("終了しますか?")))
        close();  // ends the run through the same path as the close box
    else
        Edit_Zip->setFocus(Qt::OtherFocusReason);
}

void TForm_Main::SpeedButton_F7Click() {}
