// The four-channel plot's full redraw (one polyline per channel) draws the same traces as the
// run drew a segment at a time while the buffer came back.
#include "LoggingTestSupport.h"

#include "logging/UnitLogging_QWC.h"

#include <cmath>

namespace {

class LoggingPlotRedrawTest : public LoggingTest {};

TEST_F(LoggingPlotRedrawTest, TheRedrawDrawsTheTracesTheRunDrew) {
    StartOnSeries(2, "QWC50A_C3");
    Launch();
    TFourChannelLogging* window = frmLogging_QWC;
    ASSERT_TRUE(window->isVisible());
    // Steep zigzags up and down in the upper half (CH1) and a slow ramp in the lower (CH2): they
    // never cross, so the order the channels are drawn in cannot matter.
    Axis().logging().waveform = [](int channel, int sample) {
        return channel == 0 ? 2000 + (sample % 3) * 9000 : -5000 - 200000 * (sample % 40) / 40 * 2;
    };
    window->CheckBox2->click();
    window->trkT->setValue(1);
    window->btnRun->click();
    ASSERT_TRUE(WaitFor([window] { return window->btnRun->text() == "RUN"; }, 20000));
    const QImage drawnDuringTheRun = window->Canvas().Image().copy();

    window->Screen->Invalidate();
    const QImage redrawn = window->Canvas().Image();
    const QColor colours[2] = {TFourChannelLogging::ChannelColor(0),
                               TFourChannelLogging::ChannelColor(1)};
    int traced = 0;
    // Everything left of the last segment, which the run may carry a few pixels further.
    for (int y = window->PlotTop; y <= window->PlotTop + window->PlotHeight; ++y)
        for (int x = window->PlotLeft; x < window->PlotLeft + window->PlotWidth - 10; ++x)
            for (const QColor& colour : colours) {
                const bool before = drawnDuringTheRun.pixelColor(x, y) == colour;
                traced += before;
                EXPECT_EQ(redrawn.pixelColor(x, y) == colour, before) << x << "," << y;
            }
    EXPECT_GT(traced, 2 * 400);
}

} // namespace
