// Reading all 200 parameters of the lock window against the simulated driver. The read waits
// 5 ms before each "#0" query by design; the rest of the time is the exchange itself, reported
// per parameter, with the program's own processor time beside it.
#include "SimulatedDriver.h"
#include "parameters/UnitPrmLock.h"
#include "shell/Application.h"
#include "shell/UnitCommCancel.h"
#include "shell/UnitSetup.h"
#include "ui/Dialogs.h"
#include "ui/Wait.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <ctime>

namespace {

double ProcessCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

void BM_LockWindowReadsAll200(benchmark::State& state) {
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", config.path().toLocal8Bit());
    sim::SimulatedDriver driver({sim::Series::QWD, {}, "X"});
    qputenv("KASONT_COMM1", driver.slavePath().toLocal8Bit());
    ui::SetMessageResponder([](const ui::MessageRecord&) { return ui::MsgResult::Ok; });
    CreateApplicationWindows();
    frmSetup->cmbModelType->SetItemIndex(3);
    double cpu = 0;
    for (auto _ : state) {
        const double start = ProcessCpuSeconds();
        frmPrmLock->btnReadPrm->click();
        ui::ProcessMessagesUntil([] { return frmPrmLock->Busy == 0; });
        cpu += ProcessCpuSeconds() - start;
        frmCommCancel->Hide();
    }
    DeleteApplicationWindows();
    state.counters["cpu_ms_per_read"] = 1000.0 * cpu / static_cast<double>(state.iterations());
    state.counters["parameters/s"] = benchmark::Counter(200.0 * static_cast<double>(state.iterations()),
                                                        benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LockWindowReadsAll200)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
