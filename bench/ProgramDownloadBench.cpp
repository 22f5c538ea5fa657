// The program download of a 2000-row compiled program at 38400 bps, with the second generation's
// read-back, against the simulated driver running as its own process (so the processor time
// measured is the program's alone). The download paces each row by design; what counts is the
// program's own processor time per row beside the goal of 0.2 ms, with the wall time per row
// and the pacing it holds by design shown for reference.
#include "BenchSupport.h"
#include "editor/ProgramRows.h"
#include "editor/UnitEdit.h"
#include "shell/Application.h"
#include "shell/UnitCommCancel.h"
#include "shell/UnitMain.h"
#include "shell/UnitSetup.h"
#include "ui/Dialogs.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>

namespace {

constexpr int kRows = 2000;
constexpr int kBaudIndex38400 = 4;
constexpr double kGoalCpuMsPerRow = 0.2;

// A program of kRows rows of the compiled form, 2 to 14 characters long.
QByteArray CompiledProgram() {
    QByteArray program = "EV\r\n";
    for (int n = 1; n < kRows - 1; ++n) {
        QByteArray row = "(IN" + QByteArray::number(n % 8) + ")POS=" + QByteArray::number(n * 37);
        row = row.left(4 + n % 26);
        program += row + "\r\n";
    }
    return program + "/EV\r\n";
}

// The pacing the download holds by design: per row its pace ticks of 10 ms.
double PacingMs(const QByteArray& program) {
    double ms = 0;
    for (const QByteArray& row : editor::CompiledRows(program))
        ms += 10.0 * editor::PaceTicks(kBaudIndex38400, int(row.size()));
    return ms;
}

// kaso-sim as a process; its device path is the first line it prints.
struct SimulatorProcess {
    SimulatorProcess() {
        process.setStandardErrorFile(QProcess::nullDevice());
        process.start(KASONT_SIM_EXECUTABLE, {"--series", "QWC", "--axes", "X"});
        process.waitForReadyRead(5000);
        devicePath = QString::fromLocal8Bit(process.readLine()).trimmed();
    }
    ~SimulatorProcess() {
        process.terminate();
        process.waitForFinished(3000);
    }
    QProcess process;
    QString devicePath;
};

void BM_ProgramDownload2000Rows(benchmark::State& state) {
    SimulatorProcess simulator;
    if (simulator.devicePath.isEmpty()) {
        state.SkipWithError("kaso-sim did not start");
        return;
    }
    QTemporaryDir folder;
    qputenv("XDG_CONFIG_HOME", folder.path().toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", folder.path().toLocal8Bit());
    qputenv("KASONT_COMM1", simulator.devicePath.toLocal8Bit());
    const QString previousFolder = QDir::currentPath();
    QDir::setCurrent(folder.path());
    const QByteArray program = CompiledProgram();
    QFile compiled("BENCH.mbx");
    compiled.open(QIODevice::WriteOnly);
    compiled.write(program);
    compiled.close();

    // No "MBCL"; every other box is answered OK.
    ui::SetMessageResponder([](const ui::MessageRecord& box) {
        return box.buttons == ui::MsgButtons::Ok ? ui::MsgResult::Ok : ui::MsgResult::No;
    });
    CreateApplicationWindows();
    frmSetup->cmbModelType->SetItemIndex(2);
    frmSetup->cmbBaudrate->SetItemIndex(kBaudIndex38400);
    frmMain->AxisMask = 1 << ('X' - 'A');
    frmEdit->SetTabCaption(frmEdit->ActiveTab(), "BENCH.MB");

    double cpu = 0;
    double wallMs = 0;
    bool completed = true;
    for (auto _ : state) {
        const double cpuStart = ProcessCpuSeconds();
        const auto wallStart = std::chrono::steady_clock::now();
        frmEdit->DownLoadProgram();
        wallMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() -
                                                            wallStart)
                      .count();
        cpu += ProcessCpuSeconds() - cpuStart;
        completed = completed && frmCommCancel->Label1->text() == "ダウンロード完了";
        frmCommCancel->Hide();
    }
    DeleteApplicationWindows();
    ui::SetMessageResponder({});
    QDir::setCurrent(previousFolder);
    if (!completed) state.SkipWithError("the download did not complete");

    const double runs = static_cast<double>(state.iterations());
    const double cpuMsPerRow = 1000.0 * cpu / runs / kRows;
    state.counters["cpu_ms_per_row"] = cpuMsPerRow;
    state.counters["goal_cpu_ms_per_row"] = kGoalCpuMsPerRow;
    state.counters["wall_ms_per_row"] = wallMs / runs / kRows;
    state.counters["pacing_ms_per_row"] = PacingMs(program) / kRows;
    std::printf("program download, %d rows at 38400 bps: program processor time %.3f ms per row "
                "(goal %.1f ms)\n",
                kRows, cpuMsPerRow, kGoalCpuMsPerRow);
}
BENCHMARK(BM_ProgramDownload2000Rows)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

} // namespace

int main(int argc, char** argv) { return RunBenchmarksInApplication(argc, argv); }
