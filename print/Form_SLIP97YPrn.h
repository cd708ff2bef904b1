#pragma once
// Print-position dialog "印字位置調整": the top and left margins (printer
// dots) of the current feed mode, saved into the printer file.
#include <QDialog>
#include <QPointer>

class QGroupBox;
class QLabel;
class QPushButton;
class TNumEdit;

class TForm_SLIP97YPrn : public QDialog {
    Q_OBJECT
public:
    explicit TForm_SLIP97YPrn(QWidget* parent = nullptr);

    // The main form whose feed mode, printer and margin labels are used.
    // Without one, the top-level widget named "Form_Main" is used.
    void setMainForm(QWidget* form) { mainForm_ = form; }

    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    TNumEdit* NumEdit_TOP = nullptr;
    TNumEdit* NumEdit_LEFT = nullptr;
    QPushButton* BitBtn_MRGN = nullptr;
    // Each margin in millimetres at the current printer's resolution.
    QLabel* Label_TopMm = nullptr;
    QLabel* Label_LeftMm = nullptr;
    // Prints the plain-paper calibration page with the margins as typed.
    QPushButton* BitBtn_TestPrn = nullptr;

    void FormShow();
    void BitBtn_MRGNClick();
    void BitBtn_TestPrnClick();

signals:
    // The margin fields as typed, whenever one changes (the preview shows
    // them at once, before they are saved).
    void marginsEdited(const QString& top, const QString& left);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& mainForm() const;
    void marginsChanged();
    QPointer<QWidget> mainForm_;
};
