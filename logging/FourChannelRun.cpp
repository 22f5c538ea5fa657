// The four-channel windows' run: RUN and STOP, the progress line, and the read-back of the
// recorded buffer, one value per request, each drawn as it arrives.
#include "FourChannelLogging.h"

#include "LogWindowParts.h"
#include "LoggingRules.h"
#include "shell/UnitMain.h"
#include "shell/Waits.h"
#include "ui/Dialogs.h"

namespace {

const QColor kOlive(128, 128, 0);
const QColor kTeal(0, 128, 128);

void SendAndWait(const QString& line) {
    mdlGeneral->SendCommand(line, ridNone);
    WaitSendComplete();
}

} // namespace

void TFourChannelLogging::btnRunClick(QObject*) {
    if (cmbLogTime->currentText().isEmpty()) {
        ui::ShowWarning("ﾃﾞｰﾀ取込周期を指定してください。\n", "警告");
        return;
    }
    if (cmbLogMode->currentText().isEmpty()) {
        ui::ShowWarning("ﾛｷﾞﾝｸﾞ変数ｴﾘｱでのﾓｰﾄﾞを指定してください。\n", "警告");
        return;
    }
    bool anyVariable = false;
    for (ui::ComboBox* list : ChannelLists())
        anyVariable = anyVariable || !list->currentText().isEmpty();
    if (!anyVariable) {
        ui::ShowWarning("ﾃﾞｰﾀﾛｷﾞﾝｸﾞする変数名を指定してください。\n", "警告");
        return;
    }
    SendAndWait("LC\r");
    if (btnRun->text() == "RUN")
        StartRecording();
    else
        StopRecording();
}

void TFourChannelLogging::StartRecording() {
    StopRequested = false;
    btnRun->setText("STOP");
    frmMain->edtSend->setReadOnly(true);
    RequestRepaint();
    SuppressRedraw = true;
    SetRunViewEnabled(false);
    SendAndWait(QString::fromLatin1(RunPeriodCommand()));
    for (int c = 0; c < kChannels; ++c)
        SendAndWait(QString("LOG%1N=%2\r")
                        .arg(c + 1)
                        .arg(ChannelLists()[static_cast<size_t>(c)]->currentText()));
    mdlGeneral->SendCommand(logging::StartLine(mdlGeneral->PadLength), ridNone);
    ProgressElapsedMs = 0;
    RunTimeSpan = TimeSpan;
    shpProgress->SetLeft(PlotLeft);
    TimerProgress->SetEnabled(true);
}

void TFourChannelLogging::StopRecording() {
    StopRequested = true;
    frmMain->edtSend->setReadOnly(false);
    btnRun->setText("RUN");
    SuppressRedraw = false;
    SetRunViewEnabled(true);
}

void TFourChannelLogging::TimerProgressTimer() {
    if (StopRequested) {
        frmMain->edtSend->setReadOnly(false);
        TimerProgress->SetEnabled(false);
        return;
    }
    if (ProgressElapsedMs >= RunTimeSpan) {
        shpProgress->SetLeft(PlotLeft);
        TimerProgress->SetEnabled(false);
        shpProgress->SetPenColor(kOlive);
        ReceiveLogData(this);
        return;
    }
    shpProgress->SetPenColor(kTeal);
    shpProgress->SetLeft(ProgressX());
    ProgressElapsedMs += TimerProgress->interval();
}

void TFourChannelLogging::ReceiveLogData(QObject* sender) {
    if (sender == this) {
        LogSampleIndex = 0;
        LogReplyCount = 1;
        LastPointX.fill(0);
        SendFirstReadRequest();
        return;
    }
    const int c = (LogReplyCount - 1) % kChannels;
    int x = PlotLeft;
    if (LogSampleIndex < kSamples - 1) {
        if (LogReplyCount != 1 && c == 0) ++LogSampleIndex;
        x = SampleX(LogSampleIndex, 0);
        const auto i = static_cast<size_t>(c);
        if (!ChannelLists()[i]->currentText().isEmpty()) {
            const std::int32_t value = logging::DecimalReplyOr(mdlGeneral->LastReply, 0);
            LogData[i][static_cast<size_t>(LogSampleIndex)] = value;
            if (DisplayBoxes()[i]->Checked()) DrawSample(c, x, value, LogSampleIndex == 0);
        }
        ++LogReplyCount;
    }
    if (LogSampleIndex >= kSamples - 1 || x > PlotLeft + PlotWidth || StopRequested) {
        EndReadBack();
        return;
    }
    mdlGeneral->SendCommand(NextReadRequest(), ReadBackId());
}

// One live point of channel c: the first one only places the pen; CH1's segments stop at the
// plot's right edge.
void TFourChannelLogging::DrawSample(int c, int x, std::int32_t value, bool first) {
    const auto i = static_cast<size_t>(c);
    const int half = PlotHeight / 2;
    const double scale = FullScale[i] == 0 ? 0.0 : static_cast<double>(value) / FullScale[i];
    int y = logging::TruncateToInt32(PlotTop + half - scale * half + OffsetPixels[i]);
    y = std::clamp(y, PlotTop, PlotTop + PlotHeight);
    ui::Canvas& canvas = Canvas();
    if (first) {
        x = PlotLeft;
        canvas.MoveTo(x, y);
    } else {
        canvas.PenColor = ChannelColor(c);
        canvas.MoveTo(LastPointX[i], LastPointY[i]);
        const int right = PlotLeft + PlotWidth;
        canvas.LineTo(c == 0 && x > right ? right : x, y);
        logging::RequestLiveUpdate(liveUpdate_);
    }
    LastPointX[i] = x;
    LastPointY[i] = y;
}

void TFourChannelLogging::EndReadBack() {
    DataValid = true;
    frmMain->edtSend->setReadOnly(false);
    if (cmbLogMode->currentText() == "Rolling") {
        RequestRepaint();
        btnRun->setText(btnRun->text() == "RUN" ? "STOP" : "RUN");
        btnRunClick(this);
        return;
    }
    btnRun->setText("RUN");
    SuppressRedraw = false;
    SetRunViewEnabled(true);
}
