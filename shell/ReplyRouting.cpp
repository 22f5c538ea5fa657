#include "ReplyRouting.h"

#include "UnitMain.h"
#include "editor/UnitEdit.h"
#include "logging/UnitLogging.h"
#include "logging/UnitLogging_QWB.h"
#include "logging/UnitLogging_QWC.h"
#include "parameters/UnitPrm.h"
#include "parameters/UnitPrmLock.h"
#include "status/UnitAlarmList.h"
#include "status/UnitDataTable.h"
#include "status/UnitStat.h"
#include "status/UnitStat_QWC.h"
#include "ui/Codec.h"

// A receiver whose window does not exist (yet, or any more) takes nothing.
void RouteReply(TRequestId id, QObject* sender) {
    switch (id) {
    case ridTerminal:
        if (frmMain)
            frmMain->ShowTerminalReply(ui::cp932::DecodeForDisplay(mdlGeneral->LastReply));
        break;
    case ridStat:
        if (frmStat)
            frmStat->ReceiveStatus(sender);
        break;
    case ridStat_QWC:
        if (frmStat_QWC)
            frmStat_QWC->ReceiveStatus(sender);
        break;
    case ridPrm:
        if (frmPrm)
            frmPrm->ReceivePrm(sender);
        break;
    case ridEditReply:
        if (frmEdit)
            frmEdit->AddReply(ui::cp932::Decode(mdlGeneral->LastReply));
        break;
    case ridDataUpload:
        if (frmEdit)
            frmEdit->ReceiveUpLoadData(sender);
        break;
    case ridLogging:
        if (frmLogging)
            frmLogging->ReceiveLogData(sender);
        break;
    case ridLogging_QWB:
        if (frmLogging_QWB)
            frmLogging_QWB->ReceiveLogData(sender);
        break;
    case ridLogging_QWC:
        if (frmLogging_QWC)
            frmLogging_QWC->ReceiveLogData(sender);
        break;
    case ridDataTable:
        if (frmDataTable)
            frmDataTable->ReceiveDataTable(sender);
        break;
    case ridAlarmList:
        if (frmAlarmList)
            frmAlarmList->ReceiveAlarmList(sender);
        break;
    case ridProgramUpload:
        if (frmEdit)
            frmEdit->btnPopupUpLoadProgramClick(sender);
        break;
    case ridPrmLock:
        if (frmPrmLock)
            frmPrmLock->ReceivePrm(sender);
        break;
    default: // ridStopped, ridNone, ridPrmSend and unknown ids: the line is only kept
        break;
    }
}
