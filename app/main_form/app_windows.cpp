#include "app/main_form/app_windows.h"

TForm_Main* Form_Main = nullptr;
TForm_SLIP97YPrn* Form_SLIP97YPrn = nullptr;
TWb_d97_Dot* Wb_d97_Dot = nullptr;
