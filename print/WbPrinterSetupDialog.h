#pragma once
// The printer set-up dialog on the printer layer itself: the usable
// printers, the chosen printer's paper sizes and bins, the orientation,
// whether to feed one blank form after every job, the form the feed mode
// prints on, OK / キャンセル. OK makes
// the chosen printer current, applies the paper, bin and orientation to its
// settings (they last until another printer is selected) and refreshes the
// layer's cache.
#include <QDialog>
#include <QObject>
#include <QString>
#include <functional>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFormLayout;
class QPushButton;
class QRadioButton;

class WbPrinterSetupWindow : public QDialog {
    Q_OBJECT
public:
    explicit WbPrinterSetupWindow(QWidget* parent = nullptr);

    QComboBox* ComboBox_Printer = nullptr;
    QComboBox* ComboBox_Paper = nullptr;
    QComboBox* ComboBox_Bin = nullptr;
    QRadioButton* RadioButton_Portrait = nullptr;
    QRadioButton* RadioButton_Landscape = nullptr;
    // 印刷後に用紙を1枚送る: for a printer without a tear-off position. It
    // belongs to the feed mode's record, not to the printer layer: the
    // caller sets it before the run and reads it after a confirmation.
    QCheckBox* CheckBox_FeedAfterJob = nullptr;
    // 送り状の用紙: the forms the feed mode may print on, each item's data
    // the form's id. Like the blank form it belongs to the feed mode's
    // record; hidden when the caller offers no forms.
    QComboBox* ComboBox_Form = nullptr;

    // Shows or hides the row of ComboBox_Form.
    void showFormChoice(bool shown);

    // 用紙デザイン…: opens the form designer; shown only when the owner
    // connects it (the designer lives above the printer layer).
    QPushButton* Button_FormDesigner = nullptr;

    // Writes the choice into the printer layer.
    void applyChoice();

    // Runs the window modally (or through a test's runner when one is
    // set); on confirmation applies the choice and refreshes the layer's
    // cache. True when confirmed.
    bool runAndApply(const std::function<bool(WbPrinterSetupWindow&)>& runner);

private:
    void loadLists(int usableIndex);
    int originalIndex_ = -1;
    QFormLayout* rows_ = nullptr;
};

class TWbPrinterSetupDialog : public QObject {
    Q_OBJECT
public:
    explicit TWbPrinterSetupDialog(QObject* parent = nullptr);

    // Shows the dialog modally; true when the user confirmed (the choice is
    // then applied and the layer's cache refreshed).
    bool Execute();

    // The blank form after every job, shown ticked or not and, once
    // Execute() returned true, as the user left it.
    bool FeedAfterJob = false;

    // The forms offered (the built-in one first), and the id of the one
    // chosen: shown so, and, once Execute() returned true, as the user left
    // it. A chosen id that is not offered (its file is gone or failed its
    // check) shows as such and stays unless the user picks another.
    struct FormChoice {
        QString id, name;
    };
    std::vector<FormChoice> Forms;
    QString FormId;

    // Opens the form designer over the dialog (its parent); empty: no
    // 用紙デザイン… button.
    std::function<void(QWidget* parent)> OpenFormDesigner;

    // Tests replace the modal run: the function gets the filled dialog and
    // returns whether it was confirmed. Empty = the real exec().
    static std::function<bool(WbPrinterSetupWindow&)>& runner();
};
