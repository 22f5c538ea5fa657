// The main window's "ﾃﾞｰﾀﾃｰﾌﾞﾙ 一覧" and "ｱﾗｰﾑ履歴 一覧": free the line, ask the driver its model
// (and, for the data table of the third and fourth series, its type) and open the window.
#include "UnitAlarmList.h"
#include "UnitDataTable.h"
#include "UnitStat.h"
#include "UnitStat_QWC.h"

#include "analysis/FreqAnalyze.h"
#include "logging/UnitLogging.h"
#include "logging/UnitLogging_QWB.h"
#include "logging/UnitLogging_QWC.h"
#include "parameters/UnitPrm.h"
#include "parameters/UnitPrmLock.h"
#include "shell/UnitGeneral.h"
#include "shell/UnitMain.h"
#include "shell/UnitSetup.h"
#include "shell/Waits.h"
#include "ui/Codec.h"
#include "ui/Dialogs.h"
#include "ui/Guard.h"

#include <QRegularExpression>

#include <optional>

namespace {

const QString kNoAnswer = "ドライバと通信できませんでした。";

// The window opens without the driver after a reply that did not come.
void ShowNoAnswer() {
    frmMain->Timer2->SetEnabled(false);
    ui::ShowWarning(kNoAnswer, "警告");
}

void OpenDataTableWithoutDriver() {
    ShowNoAnswer();
    const bool firstSeries = SeriesIndex() == 0;
    frmDataTable->SetGridRows(firstSeries ? 49 : 385);
    frmDataTable->Label3->setVisible(!firstSeries);
    frmDataTable->Show();
}

// Asks "#40" twice; the second reply stays in LastReply. A failed send is reported here.
ModelQuery QueryDriverType() {
    mdlGeneral->LastReply.clear();
    for (int round = 0; round < 2; ++round) {
        try {
            mdlGeneral->SendCommand(QByteArray("#40\r"), ridNone);
            WaitSendComplete();
        } catch (const std::exception&) {
            ui::ShowWarning(kNoAnswer, "ｴﾗ-");
            return ModelQuery::SendFailed;
        }
        if (!WaitForReply(frmMain->ElapsedMs, *frmMain->Timer2)) return ModelQuery::NoAnswer;
    }
    return ModelQuery::Answered;
}

// The last digit of the driver type, with the sign of the value (-13 gives -3); nothing when the
// reply is no 32-bit integer.
std::optional<int> DriverTypeDigitOf(const QByteArray& reply) {
    bool ok = false;
    const int value = reply.trimmed().toInt(&ok);
    if (!ok) return std::nullopt;
    return value % 10;
}

void ShowUnreadableDriverType(const QByteArray& reply) {
    ui::ShowWarning("ドライバの種別(#40)を読み取れませんでした。\n応答: " +
                        ui::cp932::Decode(reply.left(40)).remove(QRegularExpression("[\\x00-\\x1f]")),
                    "ｴﾗ-");
}

} // namespace

void TfrmMain::btnPopupDataTableClick() {
    HideDriveScreens({frmStat, frmStat_QWC, frmLogging, frmLogging_QWB, frmLogging_QWC, frmPrm,
                      frmAlarmList, frmPrmLock, frmFRA});
    switch (QueryDriverModel(ElapsedMs, *Timer2)) {
    case ModelQuery::SendFailed:
        return;
    case ModelQuery::NoAnswer:
        return OpenDataTableWithoutDriver();
    case ModelQuery::Answered:
        break;
    }
    VersionText = mdlGeneral->LastReply;
    const int series = SeriesIndex();
    if (series != 2 && series != 3) return frmDataTable->Show();
    if (VersionText.contains("C50")) {
        frmDataTable->SetGridRows(385);
    } else {
        switch (QueryDriverType()) {
        case ModelQuery::SendFailed:
            return;
        case ModelQuery::NoAnswer:
            return OpenDataTableWithoutDriver();
        case ModelQuery::Answered:
            break;
        }
        DriverTypeText = mdlGeneral->LastReply;
        const std::optional<int> digit = DriverTypeDigitOf(DriverTypeText);
        if (!digit) return ShowUnreadableDriverType(DriverTypeText);
        DriverTypeDigit = *digit;
        frmDataTable->SetGridRows(DriverTypeDigit == 1 ? 49 : 385);
    }
    frmDataTable->Label3->show();
    frmDataTable->Show();
}

void TfrmMain::btnPopupAlarmListClick() {
    HideDriveScreens({frmStat, frmStat_QWC, frmLogging, frmLogging_QWB, frmLogging_QWC, frmPrm,
                      frmDataTable, frmPrmLock, frmFRA});
    switch (QueryDriverModel(ElapsedMs, *Timer2)) {
    case ModelQuery::SendFailed:
        return;
    case ModelQuery::NoAnswer:
        ShowNoAnswer();
        return frmAlarmList->Show();
    case ModelQuery::Answered:
        break;
    }
    VersionText = mdlGeneral->LastReply;
    frmAlarmList->Show();
}
