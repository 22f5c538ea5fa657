// Waits and monitors that should leave the processor alone: a 10 s tick wait, a 1.25 s reply
// time-out and a status monitor whose driver has gone silent, each under 1% of a core; the status
// monitor polling on a live line under 5%. And a transfer that holds no memory once it has ended:
// the resident size grows by less than 100 kB from the 50th to the 150th logging read-back.
#include "BenchSupport.h"
#include "Benchmarks.h"
#include "ProgramOnLine.h"

#include "link/UnitGeneral.h"
#include "link/Waits.h"
#include "logging/UnitLogging_QWC.h"
#include "shell/UnitMain.h"
#include "status/UnitStat_QWC.h"

#include <QFile>

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

// The program's resident size (VmRSS) in kB, 0 when it cannot be read.
double ResidentKb() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine())
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').front().toDouble();
    return 0;
}

// 150 read-backs of the four-channel logging window (1 ms a sample, the shortest time width:
// 405 replies each) on an unpaced line, each started by RUN; the growth of the resident size from
// the end of the 50th to the end of the 150th.
void ReadBackMemory() {
    constexpr int kFirst = 50;
    constexpr int kLast = 150;
    constexpr int kOneMsItem = 2;
    const std::string what = "idle: resident size growth, logging read-backs 50 to 150";
    ProgramSetup setup = Qwc();
    setup.unpaced = true;
    ProgramOnLine program(setup);
    TFourChannelLogging* window = OpenFourChannelLogging();
    if (!window) return ReportFailure(what, "window did not open");
    Idle(500);
    window->cmbLogTime->SetItemIndex(kOneMsItem);
    window->trkT->setValue(1);
    double atFirst = 0;
    for (int run = 1; run <= kLast; ++run) {
        const long linesBefore = program.Relay().LinesSent();
        window->btnRun->click();
        if (!WaitUntil([window] { return window->btnRun->text() == "RUN"; }, 30000))
            return ReportFailure(what, "a read-back did not end");
        // One request per channel and sample, besides the run's set-up.
        const long lines = program.Relay().LinesSent() - linesBefore;
        if (window->LogReplyCount - 1 < 4 * 100 || lines < window->LogReplyCount - 1 ||
            program.MessagesShown() > 0)
            return ReportFailure(what, "a read-back did not read every sample");
        if (run == kFirst) atFirst = ResidentKb();
    }
    ReportBelow(what, ResidentKb() - atFirst, "kB", 100);
}

void WaitsAndMonitors() {
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

} // namespace

void RunIdleBenchmarks() {
    WaitsAndMonitors();
    ReadBackMemory();
}

} // namespace bench
