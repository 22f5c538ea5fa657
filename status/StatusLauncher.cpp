// The main window's " ｽﾃｰﾀｽ " button: opens the status monitor of the driver's series and model.
#include "shell/UnitMain.h"

void TfrmMain::btnStatClick() {}
