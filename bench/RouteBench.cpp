// The reply routes: the program's processor time per exchange, each with the window whose reply
// handler runs shown, against kaso-sim on a line paced to 38400 bps.
#include "BenchSupport.h"
#include "Benchmarks.h"
#include "ProgramOnLine.h"

#include "analysis/FreqAnalyze.h"
#include "editor/ProgramRows.h"
#include "editor/UnitEdit.h"
#include "logging/UnitLogging_QWC.h"
#include "parameters/UnitPrm.h"
#include "parameters/UnitPrmLock.h"
#include "shell/UnitCommCancel.h"
#include "shell/UnitGeneral.h"
#include "shell/UnitMain.h"
#include "shell/UnitSetup.h"
#include "ui/Dialogs.h"
#include "status/UnitStat_QWC.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <set>
#include <string>
#include <utility>

namespace bench {

namespace {

constexpr double kRouteGoalMs = 0.2;
constexpr int kRuns = 9;

ProgramSetup OnSeries(const char* series, int modelType) {
    ProgramSetup setup;
    setup.simulatorArguments = {"--series", series, "--axes", "X"};
    setup.settings["Model/ModelType"] = modelType;
    setup.settings["Comm/TransmitCheck"] = 2; // no axis scan at start
    return setup;
}

// How often the program's thread slept per command line in the last measure: each sleep is a
// wake-up of the event loop, the main cost of a reply on a slow line.
std::vector<double> sleepsPerLine;

// The program's processor time per command line it sent while `work` ran.
double CpuMsPerLine(ProgramOnLine& program, const std::function<void()>& work) {
    const long linesBefore = program.Relay().LinesSent();
    const long sleepsBefore = ThreadSleeps();
    const double start = ThreadCpuSeconds();
    work();
    const double cpu = ThreadCpuSeconds() - start;
    const long lines = program.Relay().LinesSent() - linesBefore;
    if (lines > 0) sleepsPerLine.push_back(double(ThreadSleeps() - sleepsBefore) / double(lines));
    return lines > 0 ? 1000.0 * cpu / double(lines) : 1e9;
}

void ReportSleeps(const std::string& route) {
    ReportFigure(route + ": event-loop wake-ups per line", Median(sleepsPerLine), "");
    sleepsPerLine.clear();
}

// Five exchanges to warm up, then the median over kRuns of the time per line of 40 exchanges.
double MedianMsPerExchange(ProgramOnLine& program, const std::function<void()>& exchange) {
    for (int i = 0; i < 5; ++i)
        exchange();
    return MedianOf(kRuns, [&] {
        return CpuMsPerLine(program, [&] {
            for (int i = 0; i < 40; ++i)
                exchange();
        });
    });
}

// Waits until the relay has passed no new line for a while: the last exchange is over.
void WaitForQuietLine(ProgramOnLine& program) {
    long seen = -1;
    while (program.Relay().LinesSent() != seen) {
        seen = program.Relay().LinesSent();
        Idle(60);
    }
}

void PlainExchange() {
    ProgramOnLine program(OnSeries("QWC", 3));
    const auto exchange = [] {
        mdlGeneral->SendCommand(QByteArray("VER\r"), ridNone);
        WaitUntil([] { return mdlGeneral->ReplyReceived; }, 2000);
    };
    const double ms = MedianMsPerExchange(program, exchange);
    ReportAtMost("route: plain exchange (VER), main window shown", ms, "ms", kRouteGoalMs);
    ReportSleeps("plain");
}

// The exchange a Return starts: the line in the box goes out and its reply shows. The line is
// typed once; each Return sends it again, as it does for the user (typing is editing the box, the
// same with or without a driver, and not part of the exchange).
void TerminalExchange() {
    ProgramOnLine program(OnSeries("QWC", 3));
    ui::Edit* box = frmMain->edtSend;
    box->setFocus();
    QTest::keyClicks(box, "ver");
    const auto exchange = [box] {
        QTest::keyClick(box, Qt::Key_Return);
        WaitUntil([] { return mdlGeneral->ReplyReceived; }, 2000);
    };
    const double ms = MedianMsPerExchange(program, exchange);
    ReportAtMost("route: terminal (Return sends the typed VER, reply shown)", ms, "ms",
                 kRouteGoalMs);
    ReportSleeps("terminal");
}

void StatusPoll() {
    ProgramOnLine program(OnSeries("QWC", 3));
    frmMain->btnStat->click();
    WaitUntil([] { return frmStat_QWC->Showing(); }, 3000);
    Idle(1000);
    std::vector<double> perLine, perCycle, cyclesPerSecond;
    for (int run = 0; run < kRuns; ++run) {
        program.Relay().TakeLineCounts();
        const long linesBefore = program.Relay().LinesSent();
        const double cpuStart = ThreadCpuSeconds();
        const double wallStart = WallSeconds();
        Idle(2000);
        const double cpu = ThreadCpuSeconds() - cpuStart;
        const double wall = WallSeconds() - wallStart;
        const long lines = program.Relay().LinesSent() - linesBefore;
        // Every command of the cycle goes out once a cycle: the median count is the cycles.
        std::vector<double> counts;
        for (const auto& [line, count] : program.Relay().TakeLineCounts())
            counts.push_back(double(count));
        const double cycles = Median(counts);
        perLine.push_back(lines > 0 ? 1000.0 * cpu / double(lines) : 1e9);
        perCycle.push_back(cycles > 0 ? 1000.0 * cpu / cycles : 1e9);
        cyclesPerSecond.push_back(cycles / wall);
    }
    ReportAtMost("route: status poll, monitor shown (per exchange)", Median(perLine), "ms",
                 kRouteGoalMs);
    ReportFigure("status monitor: poll cycles per second at 38400 bps", Median(cyclesPerSecond),
                 "/s");
    ReportFigure("status monitor: processor time per poll cycle", Median(perCycle), "ms");
}

// The window is the one the launcher opens for the series (it creates it).
void ParameterReadAndWrite(const char* what, const char* series, int modelType,
                           const std::function<TPrmWindow*()>& opened) {
    ProgramOnLine program(OnSeries(series, modelType));
    frmMain->btnPopupPrm->trigger();
    WaitUntil([&] { return opened() && opened()->isVisible(); }, 5000);
    TPrmWindow* window = opened();
    if (!window || !window->isVisible()) {
        ReportFailure(std::string("route: parameter read, ") + what, "window did not open");
        return;
    }
    WaitForQuietLine(program);
    const auto read = [&] {
        window->btnReadPrm->click();
        WaitUntil([] { return frmCommCancel->Label1->text() == "アップロード完了"; }, 30000);
        frmCommCancel->btnCancel->click();
    };
    const auto write = [&] {
        window->btnSendPrm->click();
        WaitUntil([] { return frmCommCancel->Label1->text() == "ダウンロード完了"; }, 30000);
        WaitForQuietLine(program);
        if (frmCommCancel->isVisible()) frmCommCancel->btnCancel->click();
    };
    const double readMs = MedianOf(3, [&] { return CpuMsPerLine(program, read); });
    ReportAtMost(std::string("route: parameter read, ") + what + " shown", readMs, "ms",
                 kRouteGoalMs);
    const double writeMs = MedianOf(3, [&] { return CpuMsPerLine(program, write); });
    ReportAtMost(std::string("route: parameter write, ") + what + " shown", writeMs, "ms",
                 kRouteGoalMs);
}

void LoggingReadBack() {
    ProgramOnLine program(OnSeries("QWC", 3));
    TFourChannelLogging* window = OpenFourChannelLogging();
    if (!window) {
        ReportFailure("route: logging read-back", "window did not open");
        return;
    }
    WaitForQuietLine(program);
    window->trkT->setValue(1);
    const double ms = MedianOf(3, [&] {
        return CpuMsPerLine(program, [&] {
            window->btnRun->click();
            WaitUntil([&] { return window->btnRun->text() == "RUN"; }, 60000);
        });
    });
    ReportAtMost("route: logging read-back, four-channel window shown", ms, "ms", kRouteGoalMs);
}

void AnalysisSweep() {
    ProgramOnLine program(OnSeries("QWC", 3));
    frmMain->btnPopupFRA->trigger();
    WaitUntil([] { return frmFRA->Showing(); }, 5000);
    WaitForQuietLine(program);
    const double ms = MedianOf(3, [&] {
        return CpuMsPerLine(program, [&] {
            frmFRA->edFreqFrom->setText("50");
            frmFRA->edFreqTo->setText("250");
            frmFRA->edFreqStep->setText("10");
            frmFRA->rbActiveBuf[0]->click();
            frmFRA->btAnalyze->click();
            WaitUntil([] { return frmFRA->RunFlag == 0; }, 60000);
        });
    });
    ReportAtMost("route: analysis sweep, analysis window shown", ms, "ms", kRouteGoalMs);
}

// A compiled program of 2000 rows, 2 to 29 characters long.
QByteArray CompiledProgram(int rows) {
    QByteArray program = "EV\r\n";
    for (int n = 1; n < rows - 1; ++n) {
        const QByteArray row = "(IN" + QByteArray::number(n % 8) + ")POS=" + QByteArray::number(n * 37);
        program += row.left(4 + n % 26) + "\r\n";
    }
    return program + "/EV\r\n";
}

// The download of a 2000-row compiled program at 38400 bps with the second generation's read-back
// of each row and no "MBCL", the editor shown; the figure is per row (the row and its read-back).
// The download holds each row for its pace ticks by design: wall time and pacing are printed.
void ProgramDownload() {
    constexpr int kRows = 2000;
    constexpr int kBaudIndex38400 = 4;
    ProgramOnLine program(OnSeries("QWC", 3));
    ui::SetMessageResponder([](const ui::MessageRecord& box) {
        return box.buttons == ui::MsgButtons::Ok ? ui::MsgResult::Ok : ui::MsgResult::No;
    });
    QTemporaryDir folder;
    const QString previousFolder = QDir::currentPath();
    QDir::setCurrent(folder.path());
    const QByteArray compiled = CompiledProgram(kRows);
    {
        QFile file("BENCH.mbx");
        if (!file.open(QIODevice::WriteOnly)) return ReportFailure("route: program download", "no file");
        file.write(compiled);
    }
    frmSetup->cmbBaudrate->SetItemIndex(kBaudIndex38400);
    frmMain->AxisMask = 1 << ('X' - 'A');
    ShowAndExpose(frmEdit);
    frmEdit->SetTabCaption(frmEdit->ActiveTab(), "BENCH.MB");
    std::vector<double> cpuPerRow, wallPerRow, sleepsPerRow;
    for (int run = 0; run < 3; ++run) {
        const double cpuStart = ThreadCpuSeconds();
        const double wallStart = WallSeconds();
        const long sleepsStart = ThreadSleeps();
        frmEdit->RunSendItem->trigger();
        WaitUntil([] { return !frmEdit->ProgramTransferRunning(); }, 120000);
        cpuPerRow.push_back(1000.0 * (ThreadCpuSeconds() - cpuStart) / kRows);
        wallPerRow.push_back(1000.0 * (WallSeconds() - wallStart) / kRows);
        sleepsPerRow.push_back(double(ThreadSleeps() - sleepsStart) / kRows);
        if (frmCommCancel->Label1->text() != "ダウンロード完了") {
            QDir::setCurrent(previousFolder);
            return ReportFailure("route: program download", "the download did not complete");
        }
        frmCommCancel->btnCancel->click();
    }
    QDir::setCurrent(previousFolder);
    double pacingMs = 0;
    for (const QByteArray& row : editor::CompiledRows(compiled))
        pacingMs += 10.0 * editor::PaceTicks(kBaudIndex38400, int(row.size()));
    ReportAtMost("route: program download, editor shown (per row)", Median(cpuPerRow), "ms",
                 kRouteGoalMs);
    ReportFigure("program download: event-loop wake-ups per row", Median(sleepsPerRow), "");
    ReportFigure("program download: wall time per row", Median(wallPerRow), "ms");
    ReportFigure("program download: pacing per row held by design", pacingMs / kRows, "ms");
}

} // namespace

void RunRouteBenchmarks(const std::set<std::string>& only) {
    const std::pair<const char*, std::function<void()>> routes[] = {
        {"plain", PlainExchange},
        {"terminal", TerminalExchange},
        {"status", StatusPoll},
        {"parameters", [] { ParameterReadAndWrite("parameter window", "QWC", 3, [] { return frmPrm; }); }},
        {"lock", [] { ParameterReadAndWrite("lock window", "QWD", 4, [] { return frmPrmLock; }); }},
        {"logging", LoggingReadBack},
        {"sweep", AnalysisSweep},
        {"download", ProgramDownload},
    };
    for (const auto& [name, run] : routes)
        if (only.empty() || only.count(name)) run();
}

} // namespace bench
