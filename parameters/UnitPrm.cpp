#include "UnitPrm.h"

#include "PrmGuide.h"
#include "UnitPrmLock.h"
#include "link/Waits.h"
#include "shell/UnitMain.h"
#include "shell/UnitSetup.h"

TfrmPrm* frmPrm = nullptr;

int PrmListCount(int seriesIndex, const QByteArray& modelText) {
    if (seriesIndex == 0) return 64;
    if (seriesIndex == 1 || modelText.contains("QWC30") || modelText.contains("QWC50A_B0"))
        return 90;
    for (const char* code : {"QWC50A_B1", "QWC50A_B2", "QWC50A_C0", "QWC50A_C1", "QWC50A_C2"})
        if (modelText.contains(code)) return 97;
    return 110;
}

void ShowPrmGuide(int row) {
    const QByteArray model = frmMain ? frmMain->VersionText : QByteArray();
    WriteGuide(frmPrm->RichEdit1, PrmGuideLines(SeriesIndex(), model, row));
}

TfrmPrm::TfrmPrm(QWidget* owner) : TPrmWindow(owner, 111, ridPrm) {
    SetUpGrid(1, 440, {0.4, 0.275, 0.27});
    ScaleToScreen();
}

int TfrmPrm::ParameterCount() const {
    return PrmListCount(SeriesIndex(), ModelText);
}

// The count rule for the window's own model text, but never fewer rows than the names shown
// (a stale model text must not drop values), and the grid's own rows when no series is chosen.
int TfrmPrm::FileParameterCount() {
    const int shown = grdPrm->RowCount() - 1;
    const int series = SeriesIndex();
    const int count = series >= 0 && series <= 3 ? std::max(ParameterCount(), shown) : shown;
    grdPrm->SetRowCount(count + 1);
    return count;
}

QString TfrmPrm::PrintSampleName() const {
    return " #050 ｱﾅﾛｸﾞﾓﾆﾀch1ｵﾌｾｯﾄ     ";
}

void TfrmPrm::ShowGuide(int row) {
    ShowPrmGuide(row);
}

bool TfrmPrm::NeverWritten(int number) const {
    const int series = SeriesIndex();
    if (series < 0 || series > 3)
        return true; // the write goes over the rows of the four series only
    return number == 59 || number == 61 || number == 63 || (number == 30 && series <= 1);
}

QString TfrmPrm::ReadHeader() const {
    const int series = SeriesIndex();
    if (series == 0) return kHeaderKaso;
    if (series >= 1 && series <= 3) return kHeaderKaso2;
    return {};
}

void TfrmPrm::BeforeRead() {
    StopStatusMonitor();
}

TPrmWindow* TfrmPrm::Twin() const {
    return frmPrmLock;
}
