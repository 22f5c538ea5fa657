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
#include "status/UnitAlarmList.h"
#include "status/UnitDataTable.h"
#include "status/UnitStat_QWC.h"
#include "ui/Dialogs.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QPushButton>
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
        if (Completed())
            ReportAtMost(route, ms, "ms", kRouteGoalMs);
        else
            ReportFailure(route, fault_);
    }
    // A figure without a goal, or the miss.
    void Print(const std::string& route, double value, const std::string& unit) {
        if (Completed())
            ReportFigure(route, value, unit);
        else
            ReportFailure(route, fault_);
    }

private:
    bool Completed() {
        Require(program_.MessagesShown() == messagesBefore_,
                "a warning came up: " + program_.LastMessage().toStdString());
        return fault_.empty();
    }
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
    ReportFigure(route + ": wake-ups per line", Median(sleepsPerLine), "");
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

// The line a record read or a download runs on, besides the usual one (38400 bps, a driver that
// answers at once and gives its model text).
struct LineKind {
    int rate = kLineRate;
    int turnaroundMs = 0;        // how long after a line's end the driver answers it
    bool versionRefused = false; // the driver answers "VER" with "E-S"

    bool Usual() const { return rate == kLineRate && turnaroundMs == 0 && !versionRefused; }
    std::string Named(const std::string& route) const {
        if (rate != kLineRate) return route + " at " + std::to_string(rate) + " bps";
        if (turnaroundMs > 0) return route + ", " + std::to_string(turnaroundMs) + " ms turn";
        if (versionRefused) return route + ", VER: E-S";
        return route;
    }
};

// The third series, or another.
ProgramSetup OnLine(const LineKind& line, const char* series = "QWC", int modelType = 3) {
    ProgramSetup setup = OnSeries(series, modelType);
    setup.lineRate = line.rate;
    setup.driverTurnaroundMs = line.turnaroundMs;
    if (line.versionRefused) {
        setup.simulatorArguments.push_back("--model");
        setup.simulatorArguments.push_back("E-S");
    }
    return setup;
}

// A read of every record of a record window: the processor time per line sent (the goal on the
// usual line), per record, and the wall time per record and per read. Each record is a
// selection (a write), the model query that settles its answer and the record's queries.
struct RecordWindow {
    std::string route; // "data table read"
    std::string unit;  // "entry"
    QAction* launcher; // the main window's menu item that opens it
    QWidget* window;
    QPushButton* readButton;
    ui::StringGrid* grid; // a row per record under the heading row
    int queriesPerRecord;
};

// `window` names the window's parts once the program runs (its windows are made as it starts).
void RecordRead(const std::function<RecordWindow()>& window, const ProgramSetup& setup,
                const LineKind& line, double wallGoalMs) {
    ProgramOnLine program(setup);
    window().launcher->trigger();
    WaitUntil([&] { return window().window->isVisible(); }, 5000);
    const RecordWindow records = window();
    const std::string route = line.Named(records.route);
    if (!records.window->isVisible())
        return ReportFailure("route: " + route, "window did not open");
    WaitForQuietLine(program);
    RouteCheck check(program);
    std::vector<double> wallPerRecord, wallPerRead, cpuPerRecord;
    const double ms = MedianOf(3, [&] {
        long lines = 0;
        const double wallStart = WallSeconds();
        const double cpu = CpuMsPerLine(
            program,
            [&] {
                records.readButton->click();
                check.Require(
                    WaitUntil([] { return frmCommCancel->Label1->text() == "アップロード完了"; },
                              600000),
                    "the read did not complete");
                frmCommCancel->btnCancel->click();
            },
            &lines);
        const double wall = WallSeconds() - wallStart;
        const int count = records.grid->RowCount() - 1;
        wallPerRead.push_back(wall);
        wallPerRecord.push_back(1000.0 * wall / count);
        cpuPerRecord.push_back(cpu * double(lines) / count);
        check.Require(count > 0 && lines >= (1 + records.queriesPerRecord) * count,
                      "fewer lines than records");
        return cpu;
    });
    const std::string per = " per " + records.unit;
    if (line.Usual()) check.Report("route: " + route + ", window shown", ms);
    check.Print(route + ": processor time" + per, Median(cpuPerRecord), "ms");
    if (wallGoalMs > 0)
        ReportAtMost(route + ": wall time" + per, Median(wallPerRecord), "ms", wallGoalMs);
    else
        ReportFigure(route + ": wall time" + per, Median(wallPerRecord), "ms");
    ReportFigure(route + ": wall time per read", Median(wallPerRead), "s");
    ReportSleeps(route);
}

// At a slow rate the first series, whose data table has 48 entries, so that a read takes
// seconds, not minutes.
void DataTableRead(const LineKind& line) {
    const bool slow = line.rate != kLineRate;
    RecordRead(
        [] {
            return RecordWindow{"data table read",
                                "entry",
                                frmMain->btnPopupDataTable,
                                frmDataTable,
                                frmDataTable->btnReadDataTable,
                                frmDataTable->grdDataTable,
                                1};
        },
        slow ? OnLine(line, "QWA", 1) : OnLine(line), line,
        line.Usual() ? kDataTableEntryGoalMs : 0);
}

void AlarmHistoryRead() {
    RecordRead(
        [] {
            return RecordWindow{"alarm history read",
                                "record",
                                frmMain->btnPopupAlarmList,
                                frmAlarmList,
                                frmAlarmList->btnReadAlarm,
                                frmAlarmList->grdAlarmList,
                                2};
        },
        OnLine({}), {}, 0);
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

// The editor's item index of a line rate in the set-up window's rate box.
int BaudIndex(int rate) {
    const int rates[] = {1200, 4800, 9600, 19200, 38400};
    return int(std::find(std::begin(rates), std::end(rates), rate) - std::begin(rates));
}

// The download of a compiled program with the second generation's read-back of each row and no
// "MBCL", the editor shown: 2000 rows on the usual line, fewer on a slow one. The goal is per
// row: each row goes out with the model query that settles its answer, then its read-back; the
// figure per line is printed beside it. A row's pace ends at its limit or at the driver's first
// line after it; the limits are printed beside the wall time.
void ProgramDownload(const LineKind& line, int rowCount) {
    const std::string route = line.Named("program download");
    ProgramOnLine program(OnLine(line));
    // The question whether to send "MBCL" is answered No; any other box is a fault.
    ui::SetMessageResponder([&program](const ui::MessageRecord& box) {
        if (box.buttons == ui::MsgButtons::Ok) program.CountMessage(box.text);
        return box.buttons == ui::MsgButtons::Ok ? ui::MsgResult::Ok : ui::MsgResult::No;
    });
    QTemporaryDir folder;
    const QString previousFolder = QDir::currentPath();
    QDir::setCurrent(folder.path());
    const QByteArray compiled = CompiledProgram(rowCount);
    {
        QFile file("BENCH.mbx");
        if (!file.open(QIODevice::WriteOnly)) return ReportFailure("route: " + route, "no file");
        file.write(compiled);
    }
    const int baudIndex = BaudIndex(line.rate);
    frmSetup->cmbBaudrate->SetItemIndex(baudIndex);
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
        WaitUntil([] { return !frmEdit->ProgramTransferRunning(); }, 600000);
        const double cpuMs = 1000.0 * (ThreadCpuSeconds() - cpuStart);
        const long lines = program.Relay().LinesSent() - linesBefore;
        cpuPerRow.push_back(cpuMs / rowCount);
        cpuPerLine.push_back(lines > 0 ? cpuMs / double(lines) : cpuMs);
        wallPerRow.push_back(1000.0 * (WallSeconds() - wallStart) / rowCount);
        sleepsPerRow.push_back(double(ThreadSleeps() - sleepsStart) / rowCount);
        check.Require(frmCommCancel->Label1->text() == "ダウンロード完了",
                      "the download did not complete");
        // Every row goes out, and its read-back asks once more.
        check.Require(lines >= 2 * rowCount, "fewer lines than rows and read-backs");
        frmCommCancel->btnCancel->click();
    }
    QDir::setCurrent(previousFolder);
    double paceLimitMs = 0;
    for (const QByteArray& row : editor::CompiledRows(compiled))
        paceLimitMs += 10.0 * editor::PaceTicks(baudIndex, int(row.size()));
    if (line.Usual())
        check.Report("route: " + route + ", editor shown (per row)", Median(cpuPerRow));
    else
        check.Print(route + ": processor time per row", Median(cpuPerRow), "ms");
    ReportFigure(route + ": processor per line", Median(cpuPerLine), "ms");
    ReportFigure(route + ": wake-ups per row", Median(sleepsPerRow), "");
    ReportFigure(route + ": wall time per row", Median(wallPerRow), "ms");
    ReportFigure(route + ": pace limit per row", paceLimitMs / rowCount, "ms");
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
        {"datatable", [] { DataTableRead({}); }},
        {"datatable1200", [] { DataTableRead({.rate = 1200}); }},
        {"datatable-turnaround", [] { DataTableRead({.turnaroundMs = 10}); }},
        {"datatable-es", [] { DataTableRead({.versionRefused = true}); }},
        {"alarm", AlarmHistoryRead},
        {"download", [] { ProgramDownload({}, 2000); }},
        {"download1200", [] { ProgramDownload({.rate = 1200}, 60); }},
        {"download-turnaround", [] { ProgramDownload({.turnaroundMs = 10}, 400); }},
    };
    for (const auto& [name, run] : routes)
        if (only.empty() || only.count(name)) run();
}

} // namespace bench
