// Waits and monitors that should leave the processor alone: a 10 s tick wait, a 1.25 s reply
// time-out and a status monitor whose driver has gone silent, each under 1% of a core; the status
// monitor polling on a live line under 5%.
#include "BenchSupport.h"
#include "Benchmarks.h"
#include "ProgramOnLine.h"

#include "link/UnitGeneral.h"
#include "link/Waits.h"
#include "shell/UnitMain.h"
#include "status/UnitStat_QWC.h"

namespace bench {

namespace {

// The program's share of one core while `work` runs, in percent.
double CoreShare(const std::function<void()>& work) {
    const double cpuStart = ThreadCpuSeconds();
    const double wallStart = WallSeconds();
    work();
    return 100.0 * (ThreadCpuSeconds() - cpuStart) / (WallSeconds() - wallStart);
}

ProgramSetup Qwc() {
    ProgramSetup setup;
    setup.settings["Model/ModelType"] = 3;
    setup.settings["Comm/TransmitCheck"] = 2;
    return setup;
}

} // namespace

void RunIdleBenchmarks() {
    ProgramOnLine program(Qwc());
    Idle(300);
    ReportBelow("idle: 10 s tick wait (main window shown)",
                CoreShare([] { WaitTicks(*frmMain->Timer1, 100); }), "%", 1.0);

    program.Relay().SetMuted(true);
    const double timeout = MedianOf(3, [] {
        return CoreShare([] {
            mdlGeneral->SendCommand(QByteArray("VER\r"), ridNone);
            WaitForReply(frmMain->ElapsedMs, *frmMain->Timer2);
        });
    });
    ReportBelow("idle: 1.25 s reply time-out, silent driver", timeout, "%", 1.0);
    program.Relay().SetMuted(false);

    frmMain->btnStat->click();
    WaitUntil([] { return frmStat_QWC->Showing(); }, 3000);
    Idle(1000);
    const double polling = MedianOf(3, [] { return CoreShare([] { Idle(2000); }); });
    ReportBelow("status monitor polling at 38400 bps", polling, "%", 5.0);

    program.Relay().SetMuted(true);
    Idle(1500);
    const double silent = MedianOf(3, [] { return CoreShare([] { Idle(2000); }); });
    ReportBelow("status monitor, silent driver", silent, "%", 1.0);
    program.Relay().SetMuted(false);
    frmStat_QWC->Hide();
}

} // namespace bench
