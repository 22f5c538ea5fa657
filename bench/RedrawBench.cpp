// Full redraws, widget repaint included: the Bode page with three 10000-point buffers of noisy
// gain and phase, and the four-channel logging plot with a full buffer of full-swing waveforms.
#include "BenchSupport.h"
#include "Benchmarks.h"
#include "ProgramOnLine.h"

#include "analysis/FreqAnalyze.h"
#include "analysis/MeasurementFile.h"
#include "logging/UnitLogging_QWC.h"
#include "shell/UnitMain.h"

#include <cmath>
#include <numbers>
#include <random>

namespace bench {

namespace {

constexpr double kRedrawGoalMs = 16.0;
constexpr int kRedraws = 15;

double RedrawMs(const std::function<void()>& redraw) {
    return MedianOf(kRedraws, [&] {
        const double start = PreciseThreadCpuSeconds();
        redraw();
        return 1000.0 * (PreciseThreadCpuSeconds() - start);
    });
}

void FillBodeBuffers() {
    std::mt19937 random(11);
    std::normal_distribution<double> noise(0.0, 0.3);
    for (int n = 0; n < 3; ++n) {
        TFraBuffer& buffer = frmFRA->Buffers[n];
        buffer.Points = std::make_unique<TFraPoint[]>(fra::kMaxPoints);
        buffer.Count = fra::kMaxPoints;
        buffer.ColumnNames = {"SGF", "SGA", "RMAX", "JMAX"};
        for (int i = 0; i < buffer.Count; ++i) {
            const double gain = 1000.0 / (1.0 + i / 800.0) * (1.0 + noise(random));
            const double phase = -std::numbers::pi * (i / 10000.0 + 0.2 * noise(random));
            buffer.Points[i] = {i + 1, 1024, int(gain * std::cos(phase)),
                                int(gain * std::sin(phase))};
        }
        frmFRA->edLCF[n]->setText("1");
        frmFRA->edHCF[n]->setText("10000");
        if (!frmFRA->cbBuf[n]->Checked()) frmFRA->cbBuf[n]->click();
    }
    if (!frmFRA->cbPhase->Checked()) frmFRA->cbPhase->click();
}

void FillLoggingBuffer(TFourChannelLogging* window) {
    std::mt19937 random(5);
    std::uniform_int_distribution<int> noise(-20, 20);
    for (int c = 0; c < 4; ++c) {
        const std::int32_t full =
            window->FullScale[size_t(c)] != 0 ? window->FullScale[size_t(c)] : 1000;
        window->FullScale[size_t(c)] = full;
        for (int i = 0; i < TFourChannelLogging::kSamples; ++i) {
            const double wave = std::sin(2 * std::numbers::pi * (i / 50.0 + c / 4.0));
            window->LogData[size_t(c)][size_t(i)] =
                std::int32_t(full * wave) + noise(random) * full / 1000;
        }
    }
    window->TimeSpan = window->SamplePeriod * (TFourChannelLogging::kSamples - 1);
    window->FirstSample = 0;
    window->DataValid = true;
    window->SuppressRedraw = false;
}

} // namespace

void RunRedrawBenchmarks() {
    ProgramSetup setup;
    setup.settings["Model/ModelType"] = 3;
    setup.settings["Comm/TransmitCheck"] = 2;
    ProgramOnLine program(setup);

    frmMain->btnPopupFRA->trigger();
    WaitUntil([] { return frmFRA->Showing(); }, 5000);
    FillBodeBuffers();
    const double bode = RedrawMs([] {
        frmFRA->DrawBodePlot();
        frmFRA->AnGraph->repaint();
    });
    ReportAtMost("redraw: Bode page, 3 x 10000 noisy points + repaint", bode, "ms", kRedrawGoalMs);
    frmFRA->Hide();

    TFourChannelLogging* window = OpenFourChannelLogging();
    if (!window) {
        ReportFailure("redraw: four-channel logging plot", "window did not open");
        return;
    }
    for (ui::CheckBox* box : window->DisplayBoxes())
        if (!box->Checked()) box->click();
    Idle(300);
    FillLoggingBuffer(window);
    const double logging = RedrawMs([window] {
        window->Screen->Invalidate();
        window->Screen->repaint();
    });
    ReportAtMost("redraw: four-channel logging plot, full buffer + repaint", logging, "ms",
                 kRedrawGoalMs);
}

} // namespace bench
