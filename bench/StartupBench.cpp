// Start-up to a shown main window, and resident memory once every window has been opened. The
// program starts in a child process (this executable with --startup-probe) against a paced line to
// kaso-sim; the child reports on a pipe when its main window is on the (offscreen) screen.
#include "BenchSupport.h"
#include "Benchmarks.h"
#include "ProgramOnLine.h"

#include "shell/Application.h"
#include "shell/UnitMain.h"
#include "ui/Dialogs.h"
#include "ui/Form.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace bench {

namespace {

constexpr int kStarts = 5;

double ResidentMegabytes() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').front().toDouble() / 1024.0;
    return 0;
}

struct ProbeResult {
    double startSeconds = -1;
    double residentMb = -1;
};

ProbeResult RunProbe(const char* self, bool openEverything) {
    std::string program = self;
    std::string flag = "--startup-probe";
    std::string mode = openEverything ? "all" : "main";
    char* argv[] = {program.data(), flag.data(), mode.data(), nullptr};
    int out[2];
    if (pipe(out) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    pid_t pid = -1;
    const double launched = WallSeconds();
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string text;
    char buffer[256];
    ssize_t got;
    while (spawned == 0 && (got = read(out[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, size_t(got));
    close(out[0]);
    if (spawned != 0) return {};
    int status = 0;
    waitpid(pid, &status, 0);
    ProbeResult result;
    double shownAt = 0, resident = 0;
    if (std::sscanf(text.c_str(), "%lf %lf", &shownAt, &resident) == 2) {
        result.startSeconds = shownAt - launched;
        result.residentMb = resident;
    }
    return result;
}

} // namespace

void RunStartupBenchmarks(const char* self) {
    ProgramSetup setup;
    setup.settings["Model/ModelType"] = 3;
    setup.settings["Comm/TransmitCheck"] = 2;
    std::vector<double> starts;
    {
        // The line and settings the children use; this process opens no window of its own.
        QTemporaryDir folder;
        qputenv("XDG_CONFIG_HOME", folder.path().toLocal8Bit());
        qputenv("XDG_RUNTIME_DIR", folder.path().toLocal8Bit());
        SimulatorProcess simulator(setup.simulatorArguments);
        PacedRelay relay(simulator.DevicePath(), kLineRate);
        qputenv("KASONT_COMM1", QByteArray::fromStdString(relay.ProgramDevice()));
        WriteSettings(setup);
        for (int i = 0; i < kStarts; ++i) {
            const ProbeResult result = RunProbe(self, false);
            if (result.startSeconds > 0) starts.push_back(1000.0 * result.startSeconds);
        }
        const ProbeResult everything = RunProbe(self, true);
        if (starts.empty() || everything.residentMb <= 0) {
            ReportFailure("start-up to shown main window", "the probe did not report");
            return;
        }
        ReportFigure("start-up to shown main window (median of 5)", Median(starts), "ms");
        ReportFigure("resident memory after opening every window", everything.residentMb, "MB");
        qunsetenv("KASONT_COMM1");
    }
}

int RunStartupProbe(int argc, char** argv) {
    const bool openEverything = argc > 2 && std::string(argv[2]) == "all";
    const std::unique_ptr<QApplication> app = MakeApplication(argc, argv);
    ui::SetMessageResponder([](const ui::MessageRecord& record) {
        return record.buttons == ui::MsgButtons::Ok ? ui::MsgResult::Ok : ui::MsgResult::No;
    });
    ui::SetModalResponder([](ui::Form&) { return 2; });
    CreateApplicationWindows();
    ShowAndExpose(frmMain);
    const double shownAt = WallSeconds();
    if (openEverything) {
        for (QAction* launcher :
             {frmMain->btnPopupPrm, frmMain->btnPopupDataTable, frmMain->btnPopupAlarmList,
              frmMain->btnPopupLogging, frmMain->btnPopupFRA}) {
            launcher->trigger();
            Idle(300);
        }
        frmMain->btnStat->click();
        Idle(300);
        frmMain->btnEdit->click();
        Idle(300);
    }
    std::printf("%.6f %.1f\n", shownAt, ResidentMegabytes());
    std::fflush(stdout);
    DeleteApplicationWindows();
    return 0;
}

} // namespace bench
