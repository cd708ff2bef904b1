#pragma once
// Print-position (margin) dialog.
#include <QDialog>

class TForm_SLIP97YPrn : public QDialog {
    Q_OBJECT
public:
    explicit TForm_SLIP97YPrn(QWidget* parent = nullptr);
};
