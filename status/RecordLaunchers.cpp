// The main window's "ﾃﾞｰﾀﾃｰﾌﾞﾙ 一覧" and "ｱﾗｰﾑ履歴 一覧": free the line, ask the driver its model
// (and, for the data table of the third and fourth series, its type) and open the window.
#include "UnitAlarmList.h"
#include "UnitDataTable.h"

#include "link/UnitGeneral.h"
#include "link/Waits.h"
#include "shell/UnitMain.h"
#include "shell/UnitSetup.h"
#include "ui/Codec.h"
#include "ui/Dialogs.h"
#include "ui/Guard.h"

#include <optional>

namespace {

// The window opens without the driver after a reply that did not come; when the line was lost
// since the launch began (`losses`), its owner has told the user.
void ShowNoAnswer(int losses) {
    frmMain->Timer2->SetEnabled(false);
    mdlGeneral->ReportNoDriver(losses, "警告");
}

void OpenDataTableWithoutDriver(int losses) {
    ShowNoAnswer(losses);
    const bool firstSeries = SeriesIndex() == 0;
    frmDataTable->SetGridRows(firstSeries ? 49 : 385);
    frmDataTable->Label3->setVisible(!firstSeries);
    frmDataTable->Show();
}

// Whether the data table's launch goes on after a query: a failed send (reported already) ends
// it, and without an answer the window opens without the driver. `losses` is the count of lost
// lines when the launch began.
bool DataTableQueryAnswered(ModelQuery result, int losses) {
    switch (result) {
    case ModelQuery::SendFailed:
        return false;
    case ModelQuery::NoAnswer:
        OpenDataTableWithoutDriver(losses);
        return false;
    case ModelQuery::Answered:
        break;
    }
    return true;
}

// Asks "#40" twice; the second reply stays in LastReply. A failed send is reported here, unless
// the line was reported lost since the launch began (`losses`).
ModelQuery QueryDriverType(int losses) {
    for (int round = 0; round < 2; ++round) {
        try {
            if (!AskAndWait(QByteArray("#40\r"), frmMain->ElapsedMs, *frmMain->Timer2))
                return ModelQuery::NoAnswer;
        } catch (const platform::ECommError&) {
            mdlGeneral->ReportNoDriver(losses);
            return ModelQuery::SendFailed;
        }
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
                        CleanLineField(ui::cp932::Decode(reply.left(40))),
                    "ｴﾗ-");
}

} // namespace

void TfrmMain::btnPopupDataTableClick() {
    HideDriveScreensExcept({frmDataTable});
    const int losses = mdlGeneral->LineLosses();
    if (!DataTableQueryAnswered(QueryDriverModel(ElapsedMs, *Timer2), losses)) return;
    VersionText = mdlGeneral->LastReply();
    const int series = SeriesIndex();
    if (series != 2 && series != 3) return frmDataTable->Show();
    if (VersionText.contains("C50")) {
        frmDataTable->SetGridRows(385);
    } else {
        if (!DataTableQueryAnswered(QueryDriverType(losses), losses)) return;
        DriverTypeText = mdlGeneral->LastReply();
        const std::optional<int> digit = DriverTypeDigitOf(DriverTypeText);
        if (!digit) return ShowUnreadableDriverType(DriverTypeText);
        DriverTypeDigit = *digit;
        frmDataTable->SetGridRows(DriverTypeDigit == 1 ? 49 : 385);
    }
    frmDataTable->Label3->show();
    frmDataTable->Show();
}

void TfrmMain::btnPopupAlarmListClick() {
    HideDriveScreensExcept({frmAlarmList});
    const int losses = mdlGeneral->LineLosses();
    switch (QueryDriverModel(ElapsedMs, *Timer2)) {
    case ModelQuery::SendFailed:
        return;
    case ModelQuery::NoAnswer:
        ShowNoAnswer(losses);
        return frmAlarmList->Show();
    case ModelQuery::Answered:
        break;
    }
    VersionText = mdlGeneral->LastReply();
    frmAlarmList->Show();
}
