#include "SendFailure.h"

#include "shell/UnitGeneral.h"
#include "ui/Dialogs.h"

namespace editor {

void ReportSendFailure(int lossesAtStart) {
    if (!mdlGeneral->LineLostSince(lossesAtStart))
        ui::ShowWarning("ドライバと通信できませんでした。", "ｴﾗ-");
}

} // namespace editor
