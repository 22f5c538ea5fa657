// The main window's "ﾃﾞｰﾀﾃｰﾌﾞﾙ 一覧" and "ｱﾗｰﾑ履歴 一覧": open the data table and alarm history.
#include "shell/UnitMain.h"

void TfrmMain::btnPopupDataTableClick() {}

void TfrmMain::btnPopupAlarmListClick() {}
