#include "print/Wb_d97_Dot.h"

TWb_d97_Dot::TWb_d97_Dot(QWidget* parent) : QWidget(parent) { setObjectName(QStringLiteral("Wb_d97_Dot")); }
