#include "LineFailure.h"

#include "shell/UnitGeneral.h"
#include "shell/UnitMain.h"

bool SendFailureIsNews(int lossesBefore) {
    return !mdlGeneral->LineLostSince(lossesBefore) && !(frmMain && frmMain->PortOpenFailed);
}
