#include "LineFailure.h"

#include "shell/UnitGeneral.h"
#include "shell/UnitMain.h"
#include "ui/Wait.h"

bool SendFailureIsNews(int lossesBefore) {
    ui::ProcessPendingMessages();
    if (mdlGeneral->LineLosses() != lossesBefore) return false;
    return !(frmMain && frmMain->PortOpenFailed);
}
