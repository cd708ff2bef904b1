#include "app/form_main.h"

void TForm_Main::LoadSettings() {}
void TForm_Main::SaveSettings() {}
