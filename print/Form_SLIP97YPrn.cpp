#include "print/Form_SLIP97YPrn.h"

TForm_SLIP97YPrn::TForm_SLIP97YPrn(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form_SLIP97YPrn"));
}
