#pragma once
// The three windows that live for the whole run, created by main() in this
// order. Null until created (and in tests that build only one of them).
class TForm_Main;
class TForm_SLIP97YPrn;
class TWb_d97_Dot;

extern TForm_Main* Form_Main;
extern TForm_SLIP97YPrn* Form_SLIP97YPrn;
extern TWb_d97_Dot* Wb_d97_Dot;
