#include "app/form_main.h"

void TForm_Main::buildTransferPanel() {}
void TForm_Main::BitBtn_1Click() {}
void TForm_Main::Memo1Change() {}
void TForm_Main::Memo1Enter() {}
void TForm_Main::BitBtn_MemoCLSClick() {}
