#include "SendFailure.h"

#include "shell/UnitGeneral.h"
#include "ui/Dialogs.h"
#include "ui/Wait.h"

namespace editor {

void ReportSendFailure(int lossesAtStart) {
    ui::ProcessPendingMessages();
    if (mdlGeneral->LineLosses() == lossesAtStart)
        ui::ShowWarning("ドライバと通信できませんでした。", "ｴﾗ-");
}

} // namespace editor
