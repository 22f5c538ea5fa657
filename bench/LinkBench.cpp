// The serial link's cost: the program's time per exchange against the simulated driver, and the
// processor time the program burns while it waits for a reply that never comes (waits block on
// the event loop, so that share must stay far under 1% of a core).
#include "BenchSupport.h"
#include "SimulatedDriver.h"
#include "shell/Application.h"
#include "shell/UnitGeneral.h"
#include "shell/UnitMain.h"
#include "shell/Waits.h"
#include "ui/Dialogs.h"
#include "ui/Wait.h"

#include <QTemporaryDir>

namespace {

// The program's windows on a simulated driver, for the length of one benchmark.
struct ProgramOnSimulator {
    ProgramOnSimulator() {
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        qputenv("XDG_RUNTIME_DIR", config.path().toLocal8Bit());
        qputenv("KASONT_COMM1", driver.slavePath().toLocal8Bit());
        ui::SetMessageResponder([](const ui::MessageRecord&) { return ui::MsgResult::Ok; });
        CreateApplicationWindows();
    }
    ~ProgramOnSimulator() { DeleteApplicationWindows(); }
    QTemporaryDir config;
    sim::SimulatedDriver driver;
};

// Send "VER\r" and wait until the reply has been dispatched.
void BM_Exchange(benchmark::State& state) {
    ProgramOnSimulator program;
    mdlGeneral->Comm1->BaudRate = 38400;
    for (auto _ : state) {
        mdlGeneral->SendCommand(QByteArray("VER\r"), ridNone);
        ui::ProcessMessagesUntil([] { return mdlGeneral->ReplyReceived; });
    }
    state.counters["exchanges/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Exchange)->Unit(benchmark::kMicrosecond)->UseRealTime();

// A reply wait that runs out (1.25 s) with a silent driver, and a 10 s tick wait.
void BM_IdleWaitCpuShare(benchmark::State& state) {
    ProgramOnSimulator program;
    program.driver.setFault(sim::Fault::Silent);
    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        const double cpuStart = ProcessCpuSeconds();
        const auto wallStart = std::chrono::steady_clock::now();
        if (state.range(0) == 0) {
            mdlGeneral->SendCommand(QByteArray("VER\r"), ridNone);
            WaitForReply(frmMain->ElapsedMs, *frmMain->Timer2);
        } else {
            WaitTicks(*frmMain->Timer1, 100);
        }
        cpu += ProcessCpuSeconds() - cpuStart;
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    }
    state.counters["cpu_share_percent"] = 100.0 * cpu / wall;
}
BENCHMARK(BM_IdleWaitCpuShare)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) { return RunBenchmarksInApplication(argc, argv); }
