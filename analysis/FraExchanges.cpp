// The analysis window's one blocking exchange with the driver, and the two fixed exchanges built
// on it: the status line during a run and the internal values read when a run ends.
#include "FreqAnalyze.h"

#include "TextTable.h"

#include "link/UnitGeneral.h"
#include "link/Waits.h"
#include "ui/Codec.h"
#include "ui/Dialogs.h"
#include "ui/Wait.h"

namespace {

struct InternalRead {
    int grid;
    int row;
    const char* command;
};

const InternalRead kInternalReads[24] = {
    {0, 0, "#3"},   {0, 1, "#38"},  {0, 2, "#41"},  {0, 3, "#67"},   {0, 4, "#78"},
    {0, 5, "#17"},  {0, 6, "#18"},  {0, 7, "#19"},  {1, 0, "#79"},   {1, 1, "#80"},
    {1, 2, "#81"},  {1, 3, "#82"},  {1, 4, "#64"},  {1, 5, "#65"},   {1, 6, "#66"},
    {1, 7, "#39"},  {2, 0, "#83"},  {2, 1, "M"},    {2, 2, "VERST"}, {2, 3, "QLIM"},
    {2, 4, "NFST"}, {2, 5, "BACT"}, {2, 6, "KENC"}, {2, 7, "VXMAX"}};

} // namespace

// Every line of a run goes to the axis designated when it started; a failed send is told once.
// A command goes out at once; the driver answers in order, so once a question has its answer,
// what the driver made of every command before it is known: one it refused fails the question.
// Outside a run a line goes to the axis designated now.
int TfrmFRA::SendAndWait(const QString& command, QByteArray* reply) {
    const QByteArray line = LineBytes(CommandPrefix + command + "\r");
    if (!measuring_) return SendAndWaitOutsideRun(line, reply);
    // The answer of a question that went unanswered may still come: before the next line goes
    // out the axis is brought back in step, so that no later line's answer can be taken for it.
    if (exchange_.Running() && settleFirst_ && !ui::QuitRequested()) {
        settleFirst_ = false;
        exchange_.WaitInStep();
    }
    if (!exchange_.Running()) return RunExchangeEnded();
    if (!reply) {
        const Ticket write = exchange_.Send(line);
        if (!write) return RunExchangeEnded();
        writesOut_.push_back({command, write});
        return 0;
    }
    const std::optional<QByteArray> answer = exchange_.AskAndWait(line, TmdlGeneral::kReplyLimitMs);
    if (!exchange_.Running()) return RunExchangeEnded();
    if (!answer) settleFirst_ = true;
    if (RefusedCommand()) return -1;
    if (!answer) return -1;
    *reply = *answer;
    return 1;
}

// Looks at the commands of the run whose outcome has come: the first one refused is kept as the
// run's bad reply.
bool TfrmFRA::RefusedCommand() {
    bool refused = false;
    std::erase_if(writesOut_, [&](const std::pair<QString, Ticket>& write) {
        const auto& [command, ticket] = write;
        if (ticket->Waiting()) return false;
        if (ticket->Refused() && badReply_.isEmpty()) {
            refused = true;
            badReply_ = QString("ドライバがコマンドを受け付けませんでした。\n%1 → \"%2\"")
                            .arg(command, CleanLineField(ui::cp932::Decode(ticket->answer)));
        }
        return true;
    });
    return refused;
}

// The run's exchange ended under it: a failed send is told here, once; a lost line has been told
// by the line's owner.
int TfrmFRA::RunExchangeEnded() {
    if (!failureTold_) mdlGeneral->ReportNoDriver(lossesAtRun_);
    failureTold_ = true;
    return -1;
}

int TfrmFRA::SendAndWaitOutsideRun(const QByteArray& line, QByteArray* reply) {
    try {
        if (!reply) {
            mdlGeneral->SendCommand(line, ridNone);
            return 0;
        }
        if (!AskAndWait(line, ElapsedMs, *Timer2)) return -1;
    } catch (const platform::ECommError&) {
        mdlGeneral->ReportNoDriver(lossesAtRun_);
        return -1;
    }
    *reply = mdlGeneral->LastReply();
    return 1;
}

int TfrmFRA::BadReply(const QString& command, const QByteArray& reply) {
    badReply_ = QString("ドライバの応答が数値ではありません。\n%1 → \"%2\"")
                    .arg(command, CleanLineField(ui::cp932::Decode(reply)));
    return -1;
}

int TfrmFRA::QueryNumber(const QString& command, int& value) {
    QByteArray reply;
    const int result = SendAndWait(command, &reply);
    if (result != 1) return result;
    const std::optional<int> number = fra::ParseWholeNumber(reply.toStdString());
    if (!number) return BadReply(command, reply);
    value = *number;
    return 1;
}

int TfrmFRA::ShowDriverStatus() {
    int values[3] = {0, 0, 0};
    const char* commands[3] = {"ALST", "QREF", "QLIM"};
    for (int k = 0; k < 3; ++k) {
        QByteArray reply;
        const int result = SendAndWait(commands[k], &reply);
        if (result != 1 || RunFlag == 0) return result;
        const std::optional<int> value = fra::ParseWholeNumber(reply.toStdString());
        if (!value) return BadReply(commands[k], reply);
        values[k] = *value;
    }
    const bool alert = values[0] != 0 || values[1] == values[2];
    ui::SetTextColor(pnStatus, alert ? QColor(Qt::red) : ui::WindowTextColor());
    pnStatus->setText(QString::asprintf("ALST=%5d, QREF=%5d", values[0], values[1]));
    return 1;
}

int TfrmFRA::ReadInternalVariables() {
    fra::ValueGrid* grids[3] = {sgParams1, sgParams2, sgParams3};
    for (fra::ValueGrid* grid : grids)
        for (int row = 0; row < 8; ++row)
            grid->SetCell(1, row, "");
    const bool notchTest = Settings[ModeIndex].ModeId == 10;
    int result = 1;
    for (const InternalRead& read : kInternalReads) {
        if (notchTest && read.grid == 2 && read.row == 4) {
            sgParams3->SetCell(1, 4, "TEST");
            continue;
        }
        QByteArray reply;
        result = SendAndWait(read.command, &reply);
        if (result != 1) return result;
        grids[read.grid]->SetCell(1, read.row, QString::fromLatin1(reply));
    }
    return result;
}
