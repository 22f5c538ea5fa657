#include "PrmListLauncher.h"

#include "link/UnitGeneral.h"
#include "link/Waits.h"
#include "parameters/PrmGuide.h"
#include "parameters/UnitPrm.h"
#include "parameters/UnitPrmLock.h"
#include "shell/UnitMain.h"
#include "shell/UnitSetup.h"
#include "ui/Dialogs.h"

#include <array>

namespace {

const std::array<const char*, 9> kCatalogued = {"QWC30",     "QWC50A_B0", "QWC50A_B1",
                                                "QWC50A_B2", "QWC50A_C0", "QWC50A_C1",
                                                "QWC50A_C2", "QWC50A_C3", "QWC50A_D0"};

const QString kManualLine = "詳細は、ﾄﾞﾗｲﾊﾞ本体の取扱説明書をご覧ください。";

bool InCatalogue(const QByteArray& model) {
    for (const char* code : kCatalogued)
        if (model.contains(code)) return true;
    return false;
}

void SetLine(QStringList& lines, int number, const QString& text) {
    if (number >= 1 && number <= lines.size()) lines[number - 1] = text;
}

// The launcher's own lines in a few rows of the third and fourth series' tables.
void AdjustLaterSeriesGuide(PrmTable table, int row, QStringList& lines) {
    switch (row) {
    case 14:
    case 15:
        if (lines.size() >= 2)
            lines.insert(2, "詳細は、ﾄﾞﾗｲﾊﾞ本体の取扱説明書の極性及びてい倍をご覧ください。");
        while (lines.size() > 4)
            lines.removeLast();
        break;
    case 17:
        SetLine(lines, 3, "約1[mV]単位で設定できます。");
        break;
    case 25:
        lines.removeAll("負数(-n)設定の場合は、ｸﾘｰﾌﾟ速度(V)は 1/n となります。");
        break;
    case 27:
        SetLine(lines, 5, "加減速時間の40[%]以下で且つ13～200の範囲で設定してください。");
        break;
    case 41:
        SetLine(lines, 2, "このﾊﾟﾗﾒｰﾀは工場での調整用です。");
        break;
    case 31:
        if (table == PrmTable::QWC30)
            SetLine(lines, 2, "ﾊﾟﾗﾒｰﾀ#29の一部として使用されています。");
        else
            SetLine(lines, 1, "名称 : 原点近傍ﾓｰﾄﾞ");
        break;
    case 81:
        if (table != PrmTable::QWC30) lines.append(kManualLine);
        break;
    default:
        break;
    }
}

void HideOtherDriveScreens() {
    HideDriveScreensExcept({frmPrm, frmPrmLock});
}

// No answer: told unless the line was lost since the launch began (`losses`).
void ShowNoAnswer(int losses) {
    mdlGeneral->ReportNoDriver(losses, "警告");
}

void PrepareLockWindow() {
    frmPrmLock->grdPrm->SetCell(1, 0, TPrmWindow::kHeaderKaso2);
    frmPrmLock->grdPrm->SetRowCount(201);
}

void ShowLockWindow() {
    frmPrmLock->RefreshMarks();
    frmPrmLock->Show();
}

// What opens when the driver gave no answer: the window the series alone selects.
void OpenWithoutDriver() {
    switch (SeriesIndex()) {
    case 0:
        FillPrmList(PrmTable::QWA);
        break;
    case 1:
        FillPrmList(PrmTable::QWB);
        break;
    case 2:
    case 3:
        PrepareLockWindow();
        ShowLockWindow();
        break;
    default:
        break;
    }
}

} // namespace

bool OpensLockWindow(int seriesIndex, const QByteArray& modelText) {
    return (seriesIndex == 2 || seriesIndex == 3) && !InCatalogue(modelText);
}

std::optional<PrmTable> ChoosePrmTable(int seriesIndex, const QByteArray& model) {
    if (seriesIndex == 0) return PrmTable::QWA;
    if (seriesIndex == 1) return PrmTable::QWB;
    if (OpensLockWindow(seriesIndex, model) || (seriesIndex != 2 && seriesIndex != 3))
        return std::nullopt;
    if (model.contains("QWC30")) return PrmTable::QWC30;
    if (model.contains("QWC50A_B0")) return PrmTable::QWC50A_B0;
    for (const char* code : {"QWC50A_B1", "QWC50A_B2", "QWC50A_C0", "QWC50A_C1", "QWC50A_C2"})
        if (model.contains(code)) return PrmTable::QWC50A_B1;
    return PrmTable::QWC50A_C3;
}

QStringList OpeningGuideLines(PrmTable table, int seriesIndex, const QByteArray& model, int row) {
    QStringList lines = PrmGuideLines(seriesIndex, model, row);
    if (table == PrmTable::QWA && row == 16)
        lines.removeAll(kManualLine);
    else if (table != PrmTable::QWA && table != PrmTable::QWB && table != PrmTable::Lock)
        AdjustLaterSeriesGuide(table, row, lines);
    return lines;
}

void FillPrmList(PrmTable table) {
    const QStringList& names = PrmNames(table);
    ui::StringGrid* grid = frmPrm->grdPrm;
    const bool first = table == PrmTable::QWA;
    grid->SetCell(1, 0, first ? TPrmWindow::kHeaderKaso : TPrmWindow::kHeaderKaso2);
    frmPrm->Label3->setVisible(!first);
    grid->SetRowCount(static_cast<int>(names.size()) + 1);
    for (int i = 0; i < names.size(); ++i)
        grid->SetCell(0, i + 1, names[i]);
    WriteGuide(frmPrm->RichEdit1,
               OpeningGuideLines(table, SeriesIndex(), frmMain->VersionText, grid->Row()));
    frmPrm->RefreshMarks();
    frmPrm->Show();
}

void ApplyLockMask(int group, const QByteArray& reply) {
    bool ok = false;
    qint32 mask = reply.trimmed().toInt(&ok);
    if (!ok) mask = -1;
    const int bits = group == 6 ? 8 : 32;
    for (int b = 0; b < bits; ++b)
        frmPrmLock->clbPrm->SetChecked(32 * group + b,
                                       ((static_cast<quint32>(mask) >> b) & 1u) == 0);
}

bool ReadLockMasks() {
    PrepareLockWindow();
    for (int k = 0; k < 7; ++k) {
        if (!AskAndWait("PRK" + QByteArray::number(k) + "\r", frmMain->ElapsedMs, *frmMain->Timer2))
            return false;
        ApplyLockMask(k, mdlGeneral->LastReply());
    }
    return true;
}

// The main window's "ﾊﾟﾗﾒｰﾀ 一覧". A line lost on the way ends it quietly: the data module has
// told the user already.
void TfrmMain::btnPopupPrmClick() {
    HideOtherDriveScreens();
    const int losses = mdlGeneral->LineLosses();
    const auto lineLost = [losses] { return mdlGeneral->LineLostSince(losses); };
    switch (QueryDriverModel(ElapsedMs, *Timer2)) {
    case ModelQuery::SendFailed:
        return;
    case ModelQuery::NoAnswer:
        if (lineLost()) return;
        ShowNoAnswer(losses);
        return OpenWithoutDriver();
    case ModelQuery::Answered:
        break;
    }
    VersionText = mdlGeneral->LastReply();
    const int series = SeriesIndex();
    if (OpensLockWindow(series, VersionText)) {
        bool answered = false;
        try {
            answered = ReadLockMasks();
        } catch (const platform::ECommError&) {
            mdlGeneral->ReportNoDriver(losses);
            return;
        }
        if (lineLost()) return;
        if (!answered) ShowNoAnswer(losses);
        return ShowLockWindow();
    }
    if (const std::optional<PrmTable> table = ChoosePrmTable(series, VersionText))
        FillPrmList(*table);
}
