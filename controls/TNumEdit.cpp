#include "controls/TNumEdit.h"

TNumEdit::TNumEdit(QWidget* parent) : QWidget(parent) { setFocusPolicy(Qt::StrongFocus); }
QString TNumEdit::text() const { return value_; }
void TNumEdit::setText(const QString& text) {
    if (text == value_) return;
    value_ = text;
    emit changed();
}
void TNumEdit::setIntegerLength(int) {}
void TNumEdit::setDecimalLength(int) {}
void TNumEdit::setErrorBeep(bool) {}
