// The four-channel windows' run: the checks and set-up of RUN, and the read-back of the recorded
// buffer, one value per request, each drawn as it arrives.
#include "FourChannelLogging.h"

#include "LoggingRules.h"
#include "shell/UnitMain.h"
#include "ui/CarriedText.h"
#include "ui/Dialogs.h"

bool TFourChannelLogging::RunChecks() {
    if (!CheckLineText(cmbLogTime->currentText(), ui::PlaceOf(cmbLogTime))) return false;
    for (ui::ComboBox* list : ChannelLists())
        if (!CheckLineText(LineField(list), ui::PlaceOf(list))) return false;
    if (cmbLogTime->currentText().isEmpty()) {
        ui::ShowWarning("ﾃﾞｰﾀ取込周期を指定してください。\n", "警告");
        return false;
    }
    if (cmbLogMode->currentText().isEmpty()) {
        ui::ShowWarning("ﾛｷﾞﾝｸﾞ変数ｴﾘｱでのﾓｰﾄﾞを指定してください。\n", "警告");
        return false;
    }
    bool anyVariable = false;
    for (ui::ComboBox* list : ChannelLists())
        anyVariable = anyVariable || !LineField(list).isEmpty();
    if (!anyVariable) {
        ui::ShowWarning("ﾃﾞｰﾀﾛｷﾞﾝｸﾞする変数名を指定してください。\n", "警告");
        return false;
    }
    return true;
}

void TFourChannelLogging::SendRunSetup() {
    SendAndWait(RunPeriodCommand());
    for (int c = 0; c < kChannels; ++c)
        SendAndWait(QString("LOG%1N=%2\r")
                        .arg(c + 1)
                        .arg(LineField(ChannelLists()[static_cast<size_t>(c)])));
    SendAndWait(logging::StartLine(mdlGeneral->PadLength()));
}

bool TFourChannelLogging::StartReadBack() {
    LogSampleIndex = 0;
    LogReplyCount = 1;
    LastPointX.fill(0);
    return SendFirstReadRequest();
}

bool TFourChannelLogging::TakeReply() {
    const int c = (LogReplyCount - 1) % kChannels;
    int x = PlotLeft;
    if (LogSampleIndex < kSamples - 1) {
        if (LogReplyCount != 1 && c == 0) ++LogSampleIndex;
        x = SampleX(LogSampleIndex, 0);
        const auto i = static_cast<size_t>(c);
        if (!ChannelLists()[i]->currentText().isEmpty()) {
            const std::int32_t value = logging::DecimalReplyOr(mdlGeneral->LastReply(), 0);
            LogData[i][static_cast<size_t>(LogSampleIndex)] = value;
            if (DisplayBoxes()[i]->Checked()) DrawSample(c, x, value, LogSampleIndex == 0);
        }
        ++LogReplyCount;
    }
    return LogSampleIndex >= kSamples - 1 || x > PlotLeft + PlotWidth;
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
        const int right = PlotLeft + PlotWidth;
        const QPoint from(LastPointX[i], LastPointY[i]);
        const QPoint to(c == 0 && x > right ? right : x, y);
        canvas.PenColor = ChannelColor(c);
        canvas.MoveTo(from.x(), from.y());
        canvas.LineTo(to.x(), to.y());
        ShowLiveSegment(from, to);
    }
    LastPointX[i] = x;
    LastPointY[i] = y;
}
