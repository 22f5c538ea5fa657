// The reply routes: the program's processor time per exchange, each with the window whose reply
// handler runs shown, against kaso-sim on a line paced to 38400 bps.
#include "BenchSupport.h"
#include "Benchmarks.h"
#include "ProgramOnLine.h"

#include "analysis/FreqAnalyze.h"
#include "editor/ProgramRows.h"
#include "editor/UnitEdit.h"
#include "link/UnitCommCancel.h"
#include "link/UnitGeneral.h"
#include "logging/UnitLogging_QWC.h"
#include "parameters/UnitPrm.h"
#include "parameters/UnitPrmLock.h"
#include "shell/UnitMain.h"
#include "shell/UnitSetup.h"
#include "status/UnitDataTable.h"
#include "status/UnitStat_QWC.h"
#include "ui/Dialogs.h"

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
// The wire's limit for an entry's 19 characters out and about 17 back at 38400 bps is about
// 7.6 ms: the settling line goes out with the entry's query behind it.
constexpr double kDataTableEntryGoalMs = 8.0;
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

// Whether every exchange of a route reached its end. A route that did not is reported as a miss
// with the first thing that went wrong, never with a figure.
class RouteCheck {
public:
    explicit RouteCheck(ProgramOnLine& program)
        : program_(program), messagesBefore_(program.MessagesShown()) {}

    void Require(bool done, const std::string& what) {
        if (!done && fault_.empty()) fault_ = what;
    }
    // The figure beside the goal, or a miss when an exchange did not complete or a warning came
    // up.
    void Report(const std::string& route, double ms) {
        Require(program_.MessagesShown() == messagesBefore_,
                "a warning came up: " + program_.LastMessage().toStdString());
        if (fault_.empty())
            ReportAtMost(route, ms, "ms", kRouteGoalMs);
        else
            ReportFailure(route, fault_);
    }

private:
    ProgramOnLine& program_;
    int messagesBefore_;
    std::string fault_;
};

// The program's processor time per command line it sent while `work` ran; `lines` gets the
// number of lines.
double CpuMsPerLine(ProgramOnLine& program, const std::function<void()>& work,
                    long* lines = nullptr) {
    const long linesBefore = program.Relay().LinesSent();
    const long sleepsBefore = ThreadSleeps();
    const double start = ThreadCpuSeconds();
    work();
    const double cpu = ThreadCpuSeconds() - start;
    const long sent = program.Relay().LinesSent() - linesBefore;
    if (lines) *lines = sent;
    if (sent > 0) sleepsPerLine.push_back(double(ThreadSleeps() - sleepsBefore) / double(sent));
    return sent > 0 ? 1000.0 * cpu / double(sent) : 1e9;
}

void ReportSleeps(const std::string& route) {
    ReportFigure(route + ": event-loop wake-ups per line", Median(sleepsPerLine), "");
    sleepsPerLine.clear();
}

// Five exchanges to warm up, then the median over kRuns of the time per line of 40 exchanges.
// `exchange` returns whether its exchange completed.
double MedianMsPerExchange(ProgramOnLine& program, RouteCheck& check,
                           const std::function<bool()>& exchange) {
    for (int i = 0; i < 5; ++i)
        check.Require(exchange(), "a warm-up exchange got no reply");
    return MedianOf(kRuns, [&] {
        long lines = 0;
        const double ms = CpuMsPerLine(
            program,
            [&] {
                for (int i = 0; i < 40; ++i)
                    check.Require(exchange(), "an exchange got no reply");
            },
            &lines);
        check.Require(lines == 40, "not one line per exchange");
        return ms;
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

// The model text of the simulated driver of the series the routes run on.
bool IsModelReply() {
    return mdlGeneral->ReplyReceived() && mdlGeneral->LastReply().startsWith("QWC");
}

void PlainExchange() {
    ProgramOnLine program(OnSeries("QWC", 3));
    RouteCheck check(program);
    const auto exchange = [] {
        mdlGeneral->SendCommand(QByteArray("VER\r"), ridNone);
        return WaitUntil(IsModelReply, 2000);
    };
    const double ms = MedianMsPerExchange(program, check, exchange);
    check.Report("route: plain exchange (VER), main window shown", ms);
    ReportSleeps("plain");
}

// The exchange a Return starts: the line in the box goes out and its reply shows. The line is
// typed once; each Return sends it again, as it does for the user (typing is editing the box, the
// same with or without a driver, and not part of the exchange).
void TerminalExchange() {
    ProgramOnLine program(OnSeries("QWC", 3));
    RouteCheck check(program);
    ui::Edit* box = frmMain->edtSend;
    box->setFocus();
    QTest::keyClicks(box, "ver");
    const auto exchange = [box] {
        QTest::keyClick(box, Qt::Key_Return);
        return WaitUntil(IsModelReply, 2000);
    };
    const double ms = MedianMsPerExchange(program, check, exchange);
    check.Report("route: terminal (Return sends the typed VER, reply shown)", ms);
    ReportSleeps("terminal");
}

void StatusPoll() {
    ProgramOnLine program(OnSeries("QWC", 3));
    RouteCheck check(program);
    frmMain->btnStat->click();
    check.Require(WaitUntil([] { return frmStat_QWC->Showing(); }, 3000), "monitor did not open");
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
        check.Require(cycles >= 2, "the poll cycle did not run");
        perLine.push_back(lines > 0 ? 1000.0 * cpu / double(lines) : 1e9);
        perCycle.push_back(cycles > 0 ? 1000.0 * cpu / cycles : 1e9);
        cyclesPerSecond.push_back(cycles / wall);
    }
    check.Report("route: status poll, monitor shown (per exchange)", Median(perLine));
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
    RouteCheck readCheck(program);
    const auto read = [&] {
        window->btnReadPrm->click();
        readCheck.Require(
            WaitUntil([] { return frmCommCancel->Label1->text() == "アップロード完了"; }, 30000),
            "the read did not complete");
        frmCommCancel->btnCancel->click();
    };
    // A read asks for every parameter once, besides the model query.
    const double readMs = MedianOf(3, [&] {
        long lines = 0;
        const double ms = CpuMsPerLine(program, read, &lines);
        readCheck.Require(window->PrmCount > 0 && lines >= window->PrmCount,
                          "fewer lines than parameters");
        return ms;
    });
    readCheck.Report(std::string("route: parameter read, ") + what + " shown", readMs);

    RouteCheck writeCheck(program);
    const auto write = [&] {
        window->btnSendPrm->click();
        writeCheck.Require(
            WaitUntil([] { return frmCommCancel->Label1->text() == "ダウンロード完了"; }, 30000),
            "the write did not complete");
        WaitForQuietLine(program);
        if (frmCommCancel->isVisible()) frmCommCancel->btnCancel->click();
    };
    // Every write sends the same values: each run sends as many lines as the first, and the
    // model query that settles the last run's writes before its own model query.
    long firstLines = -1;
    const double writeMs = MedianOf(3, [&] {
        long lines = 0;
        const double ms = CpuMsPerLine(program, write, &lines);
        if (firstLines < 0) firstLines = lines;
        writeCheck.Require(lines > window->PrmCount / 2 && lines >= firstLines &&
                               lines <= firstLines + 1,
                           "the writes sent different numbers of lines");
        return ms;
    });
    writeCheck.Report(std::string("route: parameter write, ") + what + " shown", writeMs);
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
    RouteCheck check(program);
    long firstLines = -1;
    const double ms = MedianOf(3, [&] {
        long lines = 0;
        const double cpu = CpuMsPerLine(
            program,
            [&] {
                window->btnRun->click();
                check.Require(WaitUntil([&] { return window->btnRun->text() == "RUN"; }, 60000),
                              "the run did not end");
            },
            &lines);
        // Each run reads back the same samples: one reply per channel and sample, and the same
        // number of lines as the first run.
        if (firstLines < 0) firstLines = lines;
        const long replies = window->LogReplyCount - 1;
        check.Require(replies >= 4 * 100 && lines >= replies && lines == firstLines,
                      "the read-back did not read every sample");
        return cpu;
    });
    check.Report("route: logging read-back, four-channel window shown", ms);
}

void AnalysisSweep() {
    ProgramOnLine program(OnSeries("QWC", 3));
    frmMain->btnPopupFRA->trigger();
    WaitUntil([] { return frmFRA->Showing(); }, 5000);
    WaitForQuietLine(program);
    RouteCheck check(program);
    const double ms = MedianOf(3, [&] {
        return CpuMsPerLine(program, [&] {
            frmFRA->edFreqFrom->setText("50");
            frmFRA->edFreqTo->setText("250");
            frmFRA->edFreqStep->setText("10");
            frmFRA->rbActiveBuf[0]->click();
            frmFRA->btAnalyze->click();
            check.Require(WaitUntil([] { return frmFRA->RunFlag == 0; }, 60000),
                          "the sweep did not end");
            // 50 to 250 Hz in steps of 10: 21 points.
            check.Require(frmFRA->Buffers[0].Count == 21, "the sweep did not measure 21 points");
        });
    });
    check.Report("route: analysis sweep, analysis window shown", ms);
}

// The data table read, the window shown: a selection (a write) and a query for each of its 384
// entries. The query after each selection waits for the line's round trip, in case the driver
// answers the selection; the wall time per entry is printed beside the figure.
// The read of the whole data table: the processor time per line sent (the goal), and per entry
// and wall time per entry, the costs of each entry's selection, its value and the model query
// that settles the selection's answer between them. At 1200 bps the first series' 48 entries.
void DataTableRead(int lineRate) {
    const bool slow = lineRate != kLineRate;
    ProgramSetup setup = slow ? OnSeries("QWA", 1) : OnSeries("QWC", 3);
    setup.lineRate = lineRate;
    ProgramOnLine program(setup);
    const std::string route = slow ? "data table read at " + std::to_string(lineRate) + " bps"
                                   : std::string("data table read");
    frmMain->btnPopupDataTable->trigger();
    WaitUntil([] { return frmDataTable->isVisible(); }, 5000);
    if (!frmDataTable->isVisible()) return ReportFailure("route: " + route, "window did not open");
    WaitForQuietLine(program);
    RouteCheck check(program);
    std::vector<double> wallPerEntry;
    std::vector<double> cpuPerEntry;
    const double ms = MedianOf(3, [&] {
        long lines = 0;
        const double wallStart = WallSeconds();
        const double cpu = CpuMsPerLine(
            program,
            [&] {
                frmDataTable->btnReadDataTable->click();
                check.Require(
                    WaitUntil([] { return frmCommCancel->Label1->text() == "アップロード完了"; },
                              120000),
                    "the read did not complete");
                frmCommCancel->btnCancel->click();
            },
            &lines);
        const int entries = frmDataTable->grdDataTable->RowCount() - 1;
        wallPerEntry.push_back(1000.0 * (WallSeconds() - wallStart) / entries);
        cpuPerEntry.push_back(cpu * double(lines) / entries);
        check.Require(entries > 0 && lines >= 2 * entries, "fewer lines than entries");
        return cpu;
    });
    if (slow) {
        ReportFigure(route + ": processor time per entry", Median(cpuPerEntry), "ms");
    } else {
        check.Report("route: data table read, data table window shown", ms);
        ReportFigure(route + ": processor time per entry", Median(cpuPerEntry), "ms");
    }
    if (slow)
        ReportFigure(route + ": wall time per entry", Median(wallPerEntry), "ms");
    else
        ReportAtMost(route + ": wall time per entry", Median(wallPerEntry), "ms",
                     kDataTableEntryGoalMs);
    ReportSleeps(route);
}

// A compiled program of 2000 rows, 2 to 29 characters long.
QByteArray CompiledProgram(int rows) {
    QByteArray program = "EV\r\n";
    for (int n = 1; n < rows - 1; ++n) {
        const QByteArray row =
            "(IN" + QByteArray::number(n % 8) + ")POS=" + QByteArray::number(n * 37);
        program += row.left(4 + n % 26) + "\r\n";
    }
    return program + "/EV\r\n";
}

// The download of a 2000-row compiled program at 38400 bps with the second generation's read-back
// of each row and no "MBCL", the editor shown. The goal is per row: each row goes out with the
// model query that settles its answer and its read-back; the figure per line is printed beside
// it. The download holds each row for its pace ticks by design: wall
// time and pacing are printed.
void ProgramDownload() {
    constexpr int kRows = 2000;
    constexpr int kBaudIndex38400 = 4;
    ProgramOnLine program(OnSeries("QWC", 3));
    // The question whether to send "MBCL" is answered No; any other box is a fault.
    ui::SetMessageResponder([&program](const ui::MessageRecord& box) {
        if (box.buttons == ui::MsgButtons::Ok) program.CountMessage(box.text);
        return box.buttons == ui::MsgButtons::Ok ? ui::MsgResult::Ok : ui::MsgResult::No;
    });
    QTemporaryDir folder;
    const QString previousFolder = QDir::currentPath();
    QDir::setCurrent(folder.path());
    const QByteArray compiled = CompiledProgram(kRows);
    {
        QFile file("BENCH.mbx");
        if (!file.open(QIODevice::WriteOnly))
            return ReportFailure("route: program download", "no file");
        file.write(compiled);
    }
    frmSetup->cmbBaudrate->SetItemIndex(kBaudIndex38400);
    frmMain->AxisMask = 1 << ('X' - 'A');
    ShowAndExpose(frmEdit);
    frmEdit->SetTabCaption(frmEdit->ActiveTab(), "BENCH.MB");
    RouteCheck check(program);
    std::vector<double> cpuPerLine, cpuPerRow, wallPerRow, sleepsPerRow;
    for (int run = 0; run < 3; ++run) {
        const long linesBefore = program.Relay().LinesSent();
        const double cpuStart = ThreadCpuSeconds();
        const double wallStart = WallSeconds();
        const long sleepsStart = ThreadSleeps();
        frmEdit->RunSendItem->trigger();
        WaitUntil([] { return !frmEdit->ProgramTransferRunning(); }, 120000);
        const double cpuMs = 1000.0 * (ThreadCpuSeconds() - cpuStart);
        const long lines = program.Relay().LinesSent() - linesBefore;
        cpuPerRow.push_back(cpuMs / kRows);
        cpuPerLine.push_back(lines > 0 ? cpuMs / double(lines) : cpuMs);
        wallPerRow.push_back(1000.0 * (WallSeconds() - wallStart) / kRows);
        sleepsPerRow.push_back(double(ThreadSleeps() - sleepsStart) / kRows);
        check.Require(frmCommCancel->Label1->text() == "ダウンロード完了",
                      "the download did not complete");
        // Every row goes out, and its read-back asks once more.
        check.Require(lines >= 2 * kRows, "fewer lines than rows and read-backs");
        frmCommCancel->btnCancel->click();
    }
    QDir::setCurrent(previousFolder);
    double pacingMs = 0;
    for (const QByteArray& row : editor::CompiledRows(compiled))
        pacingMs += 10.0 * editor::PaceTicks(kBaudIndex38400, int(row.size()));
    check.Report("route: program download, editor shown (per row)", Median(cpuPerRow));
    ReportFigure("program download: processor time per line", Median(cpuPerLine), "ms");
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
        {"parameters",
         [] { ParameterReadAndWrite("parameter window", "QWC", 3, [] { return frmPrm; }); }},
        {"lock", [] { ParameterReadAndWrite("lock window", "QWD", 4, [] { return frmPrmLock; }); }},
        {"logging", LoggingReadBack},
        {"sweep", AnalysisSweep},
        {"datatable", [] { DataTableRead(kLineRate); }},
        {"datatable1200", [] { DataTableRead(1200); }},
        {"download", ProgramDownload},
    };
    for (const auto& [name, run] : routes)
        if (only.empty() || only.count(name)) run();
}

} // namespace bench
