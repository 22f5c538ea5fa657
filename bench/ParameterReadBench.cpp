// Reading all 200 parameters of the lock window against the simulated driver. The read waits
// 5 ms before each "#0" query by design; the rest of the time is the exchange itself, reported
// per parameter, with the program's own processor time beside it.
#include "BenchSupport.h"
#include "SimulatedDriver.h"
#include "parameters/UnitPrmLock.h"
#include "shell/Application.h"
#include "shell/UnitCommCancel.h"
#include "shell/UnitSetup.h"
#include "ui/Dialogs.h"
#include "ui/Wait.h"

#include <QSettings>
#include <QTemporaryDir>

namespace {

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

int main(int argc, char** argv) { return RunBenchmarksInApplication(argc, argv); }
