// The four-channel windows' plot: grid, stored traces, the view controls and the printout.
#include "FourChannelLogging.h"

#include "LogWindowParts.h"
#include "LoggingRules.h"
#include "link/Waits.h"
#include "ui/CarriedText.h"
#include "ui/Dialogs.h"

#include <cmath>
#include <vector>

void TFourChannelLogging::FormPaint() {
    logging::PaintLogPlot(Canvas(), PlotLeft, PlotTop, PlotWidth, PlotHeight, DataValid,
                          SuppressRedraw, [this] { DrawLogData(); });
}

// One trace per channel, each drawn as one polyline.
void TFourChannelLogging::DrawLogData() {
    ui::Canvas& canvas = Canvas();
    const int half = PlotHeight / 2;
    for (int c = 0; c < kChannels; ++c) {
        const auto ch = static_cast<size_t>(c);
        if (!DisplayBoxes()[ch]->Checked() || ChannelLists()[ch]->currentText().isEmpty()) continue;
        std::vector<QPoint> trace;
        trace.reserve(static_cast<size_t>(kSamples - FirstSample));
        for (int i = FirstSample; i < kSamples; ++i) {
            const int x = SampleX(i, FirstSample);
            const double v = LogData[ch][static_cast<size_t>(i)];
            const double scale = FullScale[ch] == 0 ? 0.0 : v / FullScale[ch];
            int y = logging::TruncateToInt32(scale * -half + PlotTop + half + OffsetPixels[ch]);
            y = std::clamp(y, PlotTop, PlotTop + PlotHeight);
            trace.emplace_back(i == FirstSample ? PlotLeft : x, y);
            if (i >= kSamples - 1 || x >= PlotLeft + PlotWidth) break;
        }
        if (trace.empty()) continue;
        canvas.PenColor = ChannelColor(c);
        canvas.Polyline(trace);
        LastPointX[ch] = trace.back().x();
        LastPointY[ch] = trace.back().y();
    }
}

void TFourChannelLogging::trkTChange() {
    ComputeSpans();
    RepaintView();
}

void TFourChannelLogging::trkTOffsetChange() {
    FirstSample = trkTOffset->Position() * kSamples / trkTOffset->Max();
    RepaintView();
}

void TFourChannelLogging::UpDownLogDataClick(logging::UpDown::Button button) {
    const int c = SelectedChannel();
    const auto i = static_cast<size_t>(c);
    OffsetSteps[i] += button == logging::UpDown::Button::Next ? 1 : -1;
    const int n = OffsetSteps[i];
    const int q = -((PlotTop + PlotHeight) * n) / 100;
    OffsetPixels[i] = logging::TruncateToInt32(q + 0.3 * n);
    MoveMarker(c);
    RepaintView();
    Offset_Value->setText(QString::number(n));
}

// The marker follows the channel's zero line while it stays beside the plot.
void TFourChannelLogging::MoveMarker(int c) {
    const auto i = static_cast<size_t>(c);
    const int t = PlotTop + PlotHeight / 2 + OffsetPixels[i] - 5;
    if (t >= shpProgress->Top() - 5 && t <= shpProgress->Top() + shpProgress->Height() - 4)
        PlaceMarker(lblch[i], t);
}

void TFourChannelLogging::btnOffsetClearClick() {
    const int c = SelectedChannel();
    const auto i = static_cast<size_t>(c);
    OffsetSteps[i] = 0;
    OffsetPixels[i] = 0;
    PlaceMarker(lblch[i], PlotTop + PlotHeight / 2 - 5);
    Offset_Value->setText("0");
    RepaintView();
    if (DisplayBoxes()[i]->Checked()) RefreshCursorReadouts();
}

void TFourChannelLogging::trkYChange() {
    const int c = SelectedChannel();
    ScaleExponent[static_cast<size_t>(c)] = trkY->Position();
    SetChScale(c);
    RepaintView();
    if (DisplayBoxes()[static_cast<size_t>(c)]->Checked()) RefreshCursorReadouts();
}

void TFourChannelLogging::Vertical_ScaleChange() {
    const int c = SelectedChannel();
    ScaleMultiplier[static_cast<size_t>(c)] = Vertical_Scale->ItemIndex();
    SetChScale(c);
    RepaintView();
    if (DisplayBoxes()[static_cast<size_t>(c)]->Checked()) RefreshCursorReadouts();
}

void TFourChannelLogging::ChVerticalClick(int c) {
    const auto i = static_cast<size_t>(c);
    trkY->SetPosition(ScaleExponent[i]);
    Offset_Value->setText(QString::number(OffsetSteps[i]));
    Vertical_Scale->SetItemIndex(ScaleMultiplier[i]);
    if (DisplayBoxes()[i]->Checked()) RefreshCursorReadouts();
}

void TFourChannelLogging::CheckBoxClick(int c) {
    const auto i = static_cast<size_t>(c);
    if (DisplayBoxes()[i]->Checked()) {
        for (QLabel* label : {lblch[i], NameLabels[i], UnitLabels[i], ValueLabels[i]})
            label->show();
        if (c == SelectedChannel()) trkY->SetPosition(ScaleExponent[i]);
    } else {
        for (QLabel* label :
             {lblch[i], lblYhigh[i], lblYlow[i], NameLabels[i], UnitLabels[i], ValueLabels[i]})
            label->hide();
    }
    SetChScale(c);
    RepaintView();
    RefreshCursorReadouts();
}

void TFourChannelLogging::cmbLogValKeyPress(int c, QChar& key) {
    ui::ComboBox* list = ChannelLists()[static_cast<size_t>(c)];
    if (list->ItemIndex() != CustomItem() || key != QChar('\r')) return;
    const QString name = LineField(list);
    if (name.isEmpty()) {
        ui::ShowWarning(QString("CH%1のﾛｷﾞﾝｸﾞ変数名の設定が不正です。\n").arg(c + 1), "警告");
        return;
    }
    if (!CheckLineText(name, ui::PlaceOf(list))) return;
    SendAndWait(QString("LOG%1N=%2\r").arg(c + 1).arg(name));
    SetChScale(c);
}

void TFourChannelLogging::btnPrintClick() {
    logging::PrintLoggingWindow(this, {cmbLogVal1, cmbLogVal2, cmbLogVal3, cmbLogVal4},
                                {DummyEdits.begin(), DummyEdits.end()});
}
