// The first series' logging window, display side: the plot and the stored trace, the vertical
// scale in physical units, the view controls, activation, time stamp and printout.
#include "ChannelScale.h"
#include "LogWindowParts.h"
#include "LoggingRules.h"
#include "UnitLogging.h"
#include "shell/UnitMain.h"
#include "ui/Dialogs.h"

void TfrmLogging::SetScale() {
    logging::ScaleConstants constants; // the main window's creation values until it exists
    if (frmMain) {
        constants.kencValue = frmMain->KencValue;
        constants.encoderResolution = frmMain->EncoderResolution;
        constants.ratedCurrent = frmMain->RatedCurrent;
        constants.detectMultiplier = frmMain->DetectMultiplier;
        constants.driverMaxCurrent = frmMain->DriverMaxCurrent;
    }
    const logging::ChannelScale scale = logging::FirstSeriesScale(
        cmbLogVal1->ItemIndex(), ScaleExponent, ScaleMultiplier, constants);
    FullScale = scale.fullScale;
    ShowReadout(Label24, QString::number(scale.perDivision));
    ShowReadout(Label15, scale.unit);
}

void TfrmLogging::FormPaint() {
    logging::PaintLogPlot(Canvas(), PlotLeft, PlotTop, PlotWidth, PlotHeight, DataValid,
                          SuppressRedraw, [this] { DrawLogData(); });
}

// The trace as one polyline; a point beyond the plot's right edge is drawn at the edge.
void TfrmLogging::DrawLogData() {
    const int right = PlotLeft + PlotWidth;
    const int firstPoint = WordsPerSample == 1 ? FirstSample : FirstSample + 1;
    std::vector<QPoint> trace;
    for (int i = FirstSample; i < kWords; ++i) {
        int x = TimeSpan > 0
                    ? static_cast<int>(static_cast<long long>(i - FirstSample) * PlotWidth *
                                       SamplePeriod / TimeSpan / WordsPerSample) +
                          PlotLeft
                    : right + 1;
        if (WordsPerSample == 1 || i % 2 == 1) {
            const int y = PointY(i);
            if (i == firstPoint) x = PlotLeft;
            trace.emplace_back(std::min(x, right), y);
            LastPointX = x;
            LastPointY = y;
        }
        if (x > right) break;
    }
    ui::Canvas& canvas = Canvas();
    canvas.PenColor = Qt::red;
    canvas.Polyline(trace);
}

void TfrmLogging::trkYChange() {
    ScaleExponent = trkY->Position();
    SetScale();
    RepaintView();
}

void TfrmLogging::Vertical_ScaleChange() {
    ScaleMultiplier = Vertical_Scale->ItemIndex();
    SetScale();
    RepaintView();
}

void TfrmLogging::trkTChange() {
    ApplySpanRule();
    RepaintView();
}

void TfrmLogging::trkTOffsetChange() {
    FirstSample = trkTOffset->Position() * kWords / trkTOffset->Max();
    RepaintView();
}

void TfrmLogging::UpDownLogDataClick(logging::UpDown::Button button) {
    OffsetSteps += button == logging::UpDown::Button::Next ? 1 : -1;
    const int q = -((PlotTop + PlotHeight) * OffsetSteps) / 100;
    OffsetPixels = logging::TruncateToInt32(1.08 * OffsetSteps + q);
    const int y = PlotTop + PlotHeight / 2 + OffsetPixels - 5;
    if (y >= shpProgress->Top() - 5 && y <= shpProgress->Top() + shpProgress->Height() - 4)
        PlaceMarker(lblch1, y);
    Offset_Value->setText(QString::number(OffsetSteps));
    RepaintView();
}

void TfrmLogging::btnOffsetClearClick() {
    OffsetSteps = 0;
    OffsetPixels = 0;
    PlaceMarker(lblch1, PlotTop + PlotHeight / 2 - 5);
    Offset_Value->setText("0");
    RepaintView();
}

void TfrmLogging::cmbLogVal1Change() {
    ApplySpanRule();
    SetScale();
}

void TfrmLogging::cmbLogVal1KeyPress(QChar& key) {
    key = key.toUpper();
    if (key != QChar('\r')) return;
    if (cmbLogVal1->currentText().isEmpty()) {
        ui::ShowWarning("CH1のﾛｷﾞﾝｸﾞ変数名の設定が不正です。\n", "警告");
        return;
    }
    SetScale();
}

void TfrmLogging::FormActivate() {
    setWindowTitle(frmMain->lblAxis->text() + "軸のデータロギング");
    for (QLabel* label : {lblch1, Label14, Label15, Label24})
        label->show();
    ApplySpanRule();
}

void TfrmLogging::Timer1Timer() {
    logging::ShowTimeStamp(lblDateNow, lblTimeNow);
}

void TfrmLogging::btnPrintClick() {
    logging::PrintLoggingWindow(this, {cmbLogVal1}, {edtLogVal1_Dummy});
}
