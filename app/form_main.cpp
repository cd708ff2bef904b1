#include "app/form_main.h"

TForm_Main::TForm_Main(QWidget* parent) : QWidget(parent) { setObjectName(QStringLiteral("Form_Main")); }
