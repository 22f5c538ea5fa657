// The main window's "ﾃﾞｰﾀﾛｷﾞﾝｸﾞ": reads the drive constants and the logging settings, then opens
// the logging window of the driver's series.
#include "shell/UnitMain.h"

void TfrmMain::btnPopupLoggingClick() {}

void TfrmMain::btnLoggingClick(QObject*) {}
