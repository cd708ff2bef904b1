#include "app/form_main.h"

void TForm_Main::SpeedButton_readMyClick() {}
void TForm_Main::PageControl_MyChange() {}
void TForm_Main::BitBtn_MyClick() {}
