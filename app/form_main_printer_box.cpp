#include "app/form_main.h"

void TForm_Main::buildPrinterBox() {}
void TForm_Main::ComboBox_SELChange() {}
void TForm_Main::SpeedButton_PrnIdGetClick() {}
void TForm_Main::SpeedButton_PRNSETClick() {}
void TForm_Main::BitBtn_PrnSetClick() {}
void TForm_Main::BitBtn_PrnSet2Click() {}
