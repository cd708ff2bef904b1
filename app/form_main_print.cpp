#include "app/form_main.h"

void TForm_Main::SpeedButton_F11Click() {}
