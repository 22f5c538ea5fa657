// The measurement run: checks, the start of the sine generator, logger and servo, the sweep that
// reads one logged point per frequency, and the end sequence that stops the driver again.
#include "FreqAnalyze.h"

#include "MeasurementFile.h"
#include "TextTable.h"

#include <QScopeGuard>
#include <QScopedValueRollback>
#include <algorithm>
#include <optional>

#include "link/UnitGeneral.h"
#include "ui/CarriedText.h"
#include "ui/Codec.h"
#include "ui/Dialogs.h"
#include "ui/Wait.h"
#include "ui/Widgets.h"

namespace {

std::optional<int> Number(const QByteArray& reply) {
    return fra::ParseWholeNumber(reply.toStdString());
}

// The commands of one step operation: after each, the operation goes on only when it succeeded
// and no stop was requested; the first command is sent whatever the run flag says.
class StepCommands {
public:
    explicit StepCommands(TfrmFRA& window) : w_(window) {}

    bool Send(const QString& command) { return Record(w_.SendAndWait(command, nullptr)); }
    bool QueryNumber(const QString& command, int& value) {
        return Record(w_.QueryNumber(command, value));
    }
    int Result() const { return result_; }

private:
    bool Record(int result) {
        result_ = result;
        return result != -1 && w_.RunFlag != 0;
    }
    TfrmFRA& w_;
    int result_ = 0;
};

} // namespace

void TfrmFRA::btAnalyzeClick() {
    const int n = GetActiveBuffer();
    // While a run goes on, its end sequence included, a click only asks it to stop.
    if (RunFlag != 0 || measuring_) {
        RunFlag = 0;
        return;
    }
    RunFlag = 1;
    RunAnalysis(n);
}

void TfrmFRA::btAnalyze2Click() {
    const int n = rb2ActiveBuf[0]->isChecked() ? 0 : rb2ActiveBuf[1]->isChecked() ? 1 : 2;
    // While a run goes on, its end sequence included, a click only asks it to stop.
    if (RunFlag != 0 || measuring_) {
        RunFlag = 0;
        return;
    }
    RunFlag = 1;
    RunAnalysis(n);
}

void TfrmFRA::ShowBufferEdits(int n, const QStringList& texts) {
    const std::array<fra::FraEdit*, 6> edits = {edFreqFromBuf[n], edFreqToBuf[n], edFreqStepBuf[n],
                                                edFileNameBuf[n], edLCF[n],       edHCF[n]};
    for (int k = 0; k < 6; ++k)
        edits[k]->setText(texts.value(k));
}

void TfrmFRA::RunAnalysis(int n) {
    if (Buffers[n].Count > 0 && ui::ShowMessage("バッファ" + QString::number(n + 1) +
                                                    "の内容が更新されますがよろしいですか？",
                                                "確認", ui::MsgIcon::Information,
                                                ui::MsgButtons::YesNo) != ui::MsgResult::Yes) {
        RunFlag = 0;
        return;
    }
    const QScopedValueRollback<bool> measuring(measuring_, true);
    exchange_.Start();
    const auto finished = qScopeGuard([this] { exchange_.Finish(); });
    runBuffer_ = -1;
    badReply_.clear();
    failureTold_ = false;
    writesOut_.clear();
    lossesAtRun_ = mdlGeneral->LineLosses();
    bufferFull_ = false;
    statusFailed_ = false;
    missedFrequencies_.clear();
    if (!PassesRunChecks()) {
        RunFlag = 0;
        return;
    }
    PrepareRun(n);
    RunExit exit = OpenRun();
    if (exit == RunExit::Go) exit = StartDriver(n);
    if (exit == RunExit::Go) exit = SweepPoints(n);
    if (LineLostInRun()) return ReturnToIdle(n);
    // When the program ends, the driver is still stopped on the way out.
    if (ui::QuitRequested()) exit = RunExit::End;
    if (exit == RunExit::Error || exit == RunExit::ErrorQuiet)
        return ErrorPath(n, exit == RunExit::Error);
    EndSequence(n);
}

bool TfrmFRA::PassesRunChecks() {
    FromFreq = fra::BoxValue(edFreqFrom);
    ToFreq = fra::BoxValue(edFreqTo);
    StepFreq = fra::BoxValue(edFreqStep);
    Amplitude = fra::BoxValue(edSGA);
    Kiktm = fra::BoxValue(edKIKTM);
    // The message names the box to mend: the first of them whose value is out of its range.
    const auto wrongSetting = [](const QWidget* box) {
        ui::ShowWarning(
            QString("詳細設定で設定された項目に誤りがあります。\n「%1」を確認してください。")
                .arg(ui::PlaceOf(box)),
            "確認");
        return false;
    };
    if (FromFreq < 1) return wrongSetting(edFreqFrom);
    if (ToFreq < 1 || ToFreq < FromFreq) return wrongSetting(edFreqTo);
    if (StepFreq < 1) return wrongSetting(edFreqStep);
    if (Amplitude < 1) return wrongSetting(edSGA);
    if (Kiktm < 1) return wrongSetting(edKIKTM);
    // A failed send has been told already.
    const auto noDriver = [this] {
        if (!failureTold_) mdlGeneral->ReportNoDriver(lossesAtRun_, "警告");
        return false;
    };
    QByteArray reply;
    if (SendAndWait("#40", &reply) == -1) return noDriver();
    const int v = Number(reply).value_or(0);
    const int kind = ((v % 100000) / 10000) & 3;
    if (kind < 1 || kind > 3) {
        ui::ShowWarning("御使用のドライバではこの機能を利用できません。", "警告");
        return false;
    }
    if (SendAndWait("SVKHZ", &reply) != 1) return noDriver();
    const std::optional<int> controlKhz = Number(reply);
    if (!controlKhz) {
        BadReply("SVKHZ", reply);
        ui::ShowWarning(badReply_, "警告");
        return false;
    }
    SvkhzText = QString::fromLatin1(reply);
    const int limit = fra::SweepLimit(*controlKhz);
    if (limit < ToFreq) ToFreq = limit;
    edFreqTo->setText(QString::number(ToFreq));
    // A start above the cut end would drive the generator beyond half the control frequency.
    if (ToFreq < FromFreq) return wrongSetting(edFreqFrom);
    return true;
}

void TfrmFRA::PrepareRun(int n) {
    ShowBufferEdits(n,
                    {QString::number(FromFreq), QString::number(ToFreq), QString::number(StepFreq),
                     "", QString::number(FromFreq), QString::number(ToFreq)});
    btAnalyze->setText("解析停止");
    btAnalyze2->setText("解析停止");
    pnAnalyze->setText("");
    EnableControls(false);
    runBuffer_ = n;
    TFraBuffer& buffer = Buffers[n];
    buffer.Points.reset(new TFraPoint[fra::kMaxPoints]());
    buffer.Count = 0;
    buffer.ColumnNames = {"SGF", "SGA", cbComplex->Checked() ? "RMAX" : "AMAX",
                          cbComplex->Checked() ? "JMAX" : "ADEG"};
    DrawActivePage();
}

TfrmFRA::RunExit TfrmFRA::OpenRun() {
    QByteArray answer;
    if (SendAndWait("VERST", &answer) == -1) return RunExit::Error;
    if (answer == "E-S") {
        ui::ShowWarning("ご使用のドライバではこの機能を利用できません。", "確認");
        return RunExit::ErrorQuiet;
    }
    ModeIndex = std::max(0, cbFRASET->ItemIndex());
    if (SendAndWait("&LAORG", &answer) == -1) return RunExit::Error;
    LogAreaAddress = ui::cp932::Decode(answer); // goes back out byte for byte
    SavedNfst = "0";
    EndFreq = ToFreq;
    return RunExit::Go;
}

TfrmFRA::RunExit TfrmFRA::SendInRun(const char* command) {
    if (SendAndWait(command, nullptr) == -1) return RunExit::Error;
    return RunFlag == 0 ? RunExit::End : RunExit::Go;
}

TfrmFRA::RunExit TfrmFRA::AfterStatus(int result) {
    if (result != -1) return RunExit::Go;
    if (!badReply_.isEmpty()) return RunExit::Error;
    statusFailed_ = true;
    return RunExit::End;
}

TfrmFRA::RunExit TfrmFRA::StartDriver(int n) {
    if (const RunExit exit = AfterStatus(ShowDriverStatus()); exit != RunExit::Go) return exit;
    if (StartSignalGenerator() == -1) return RunExit::Error;
    if (const RunExit exit = AfterStatus(ShowDriverStatus()); exit != RunExit::Go) return exit;
    if (SetupLogging(n) == -1) return RunExit::Error;
    if (const RunExit exit = AfterStatus(ShowDriverStatus()); exit != RunExit::Go) return exit;
    if (StartServo() == -1 || PrepareNotchTest() == -1 || SetVirtualMode() == -1)
        return RunExit::Error;
    if (const RunExit exit = AfterStatus(ShowDriverStatus()); exit != RunExit::Go) return exit;
    for (const char* command : {"/L", "SINON"})
        if (const RunExit exit = SendInRun(command); exit != RunExit::Go) return exit;
    SettleMs = 3000 / CurrentFreq;
    if (const RunExit exit = SendInRun("TCLR"); exit != RunExit::Go) return exit;
    for (int time = 0; time <= SettleMs;) {
        ui::ProcessPendingMessages();
        if (QueryNumber("TIME", time) == -1) return RunExit::Error;
        if (RunFlag == 0) return RunExit::End;
    }
    for (const char* command : {"L", "TCLR"})
        if (const RunExit exit = SendInRun(command); exit != RunExit::Go) return exit;
    return RunExit::Go;
}

TfrmFRA::RunExit TfrmFRA::SweepPoints(int n) {
    for (int time = 0; time <= SettleMs;) {
        if (const RunExit exit = AfterStatus(ShowDriverStatus()); exit != RunExit::Go) return exit;
        ui::ProcessPendingMessages();
        if (QueryNumber("TIME", time) == -1) return RunExit::Error;
        if (RunFlag == 0) break; // a stop still reads the point under measurement
    }
    if (ReadPoint(n) == -1) return RunExit::Error;
    while (RunFlag == 1) {
        if (CurrentFreq == EndFreq || StepFreq > EndFreq - CurrentFreq)
            RunFlag = 0; // the next step would pass the end
        if (RunFlag == 0) return RunExit::End;
        if (Buffers[n].Count >= fra::kMaxPoints) {
            RunFlag = 0;
            bufferFull_ = true;
            return RunExit::End;
        }
        if (StepFrequency() == -1) return RunExit::Error;
        if (RunFlag == 1 && SendAndWait("L", nullptr) == -1) return RunExit::Error;
        if (RunFlag == 0) return RunExit::End;
        if (const RunExit exit = SendInRun("TCLR"); exit != RunExit::Go) return exit;
        for (int time = 0; time < 2;) {
            ui::ProcessPendingMessages();
            if (QueryNumber("TIME", time) == -1) return RunExit::Error;
            if (RunFlag == 0) break;
        }
        if (ReadPoint(n) == -1) return RunExit::Error;
    }
    return RunExit::End;
}

void TfrmFRA::GiveControlsBack(int n) {
    btAnalyze->setText("解析開始");
    btAnalyze2->setText("解析開始");
    EnableControls(true);
    const TFraBuffer& buffer = Buffers[n];
    if (buffer.Count < 1)
        ShowBufferEdits(n, {});
    else
        edFreqToBuf[n]->setText(QString::number(buffer.Points[buffer.Count - 1].Freq));
}

void TfrmFRA::EndSequence(int n) {
    ui::ProcessPendingMessages();
    RunFlag = 0;
    QStringList commands = {"/L", "S", "SINOF"};
    if (Settings[ModeIndex].ModeId == 10)
        commands << "NFTOF"
                 << "NFST=" + SavedNfst;
    commands << "VERST=0";
    for (const QString& command : commands)
        if (SendAndWait(command, nullptr) == -1)
            return LineLostInRun() ? ReturnToIdle(n) : ErrorPath(n, true);
    pnAnalyze->setText("内部変数取得");
    ReadInternalVariables();
    if (LineLostInRun()) return ReturnToIdle(n);
    // The reads hear what the driver made of the stop commands.
    if (!badReply_.isEmpty()) return ErrorPath(n, true);
    pnAnalyze->setText(" ");
    GiveControlsBack(n);
    if (bufferFull_)
        ui::ShowMessage(
            QString("バッファが一杯(%1点)になったため、解析を終了しました。").arg(fra::kMaxPoints),
            "確認", ui::MsgIcon::Information, ui::MsgButtons::Ok);
    ReportRunGaps(n);
}

void TfrmFRA::ReportRunGaps(int n) {
    if (statusFailed_ && Buffers[n].Count == 0) {
        ui::ShowMessage("ドライバの状態を読み取れなかったため、測定せずに解析を終了しました。",
                        "確認", ui::MsgIcon::Information, ui::MsgButtons::Ok);
        return;
    }
    if (missedFrequencies_.isEmpty()) return;
    constexpr int kNamed = 10; // a longer list is cut, with the count of the rest
    QStringList named;
    for (int k = 0; k < std::min<int>(kNamed, missedFrequencies_.size()); ++k)
        named << QString::number(missedFrequencies_[k]);
    QString list = named.join(", ") + "[Hz]";
    if (missedFrequencies_.size() > kNamed)
        list += QString(" ほか%1点").arg(missedFrequencies_.size() - kNamed);
    ui::ShowMessage("ドライバから応答がなかったため、次の周波数は測定できませんでした。\n" + list,
                    "確認", ui::MsgIcon::Information, ui::MsgButtons::Ok);
}

void TfrmFRA::ErrorPath(int n, bool communicationFailed) {
    RunFlag = 0;
    Buffers[n].Count = 0;
    if (!badReply_.isEmpty())
        ui::ShowWarning(badReply_, "Error");
    else if (communicationFailed && !failureTold_)
        ui::ShowWarning("通信エラーが発生しました。", "Error");
    btAnalyze->setText("解析開始");
    btAnalyze2->setText("解析開始");
    pnAnalyze->setText(" 解析中止");
    ShowBufferEdits(n, {});
    EnableControls(true);
}

bool TfrmFRA::LineLostInRun() const {
    return mdlGeneral->LineLosses() != lossesAtRun_;
}

void TfrmFRA::ReturnToIdle(int n) {
    RunFlag = 0;
    pnAnalyze->setText(" 解析中止");
    GiveControlsBack(n);
    DrawActivePage();
}

void TfrmFRA::LineLost() {
    if (!measuring_) return;
    RunFlag = 0;
    // The controls come back at once; the run, which ends at its next exchange, does it again.
    if (runBuffer_ >= 0) ReturnToIdle(runBuffer_);
}

int TfrmFRA::StartSignalGenerator() {
    StepCommands step(*this);
    if (!step.Send("SGMD=0")) return step.Result();
    CurrentFreq = FromFreq;
    if (!step.Send("SGF=" + QString::number(CurrentFreq))) return step.Result();
    pnAnalyze->setText(" 解析中:" + QString::number(CurrentFreq) + "[Hz]");
    if (!step.Send("SGA=0") || !step.Send("SGMD=1")) return step.Result();
    step.Send("FRAMD=" + QString::number(Settings[ModeIndex].ModeId));
    return step.Result();
}

int TfrmFRA::SetupLogging(int n) {
    StepCommands step(*this);
    if (!step.Send("LTIME=1") || !step.Send("LLINE=1")) return step.Result();
    for (int k = 0; k < 4; ++k)
        if (!step.Send("LOG" + QString::number(k + 1) + "=" + Buffers[n].ColumnNames[k]))
            return step.Result();
    if (!step.Send("LC")) return step.Result();
    int mode = 0;
    do {
        ui::ProcessPendingMessages();
        if (!step.QueryNumber("LOGMD", mode)) return step.Result();
    } while (mode != 1);
    return step.Result();
}

int TfrmFRA::StartServo() {
    const TFraSetting& setting = Settings[ModeIndex];
    StepCommands step(*this);
    if (!step.Send(setting.ModeCommand) || !step.Send("MASK") || !step.Send("SVON"))
        return step.Result();
    int servoOn = 0;
    do {
        ui::ProcessPendingMessages();
        if (!step.QueryNumber("SVONS", servoOn)) return step.Result();
    } while (servoOn != 1);
    if (!step.Send("TCLR")) return step.Result();
    for (int time = 0; time <= 1000;) {
        ui::ProcessPendingMessages();
        if (!step.QueryNumber("TIME", time)) return step.Result();
    }
    if (setting.TorqueFlag == 1 && !step.Send("G")) return step.Result();
    if (!step.Send(setting.ZeroCommand) || !step.Send("ADPOF")) return step.Result();
    step.Send("SGA=" + QString::number(Amplitude));
    return step.Result();
}

int TfrmFRA::PrepareNotchTest() {
    if (Settings[ModeIndex].ModeId != 10) return 0;
    StepCommands step(*this);
    // The value is written back when the run ends, so it must be the number it claims to be.
    int nfst = 0;
    if (!step.Send("SVOF") || !step.QueryNumber("NFST", nfst)) return step.Result();
    SavedNfst = QString::number(nfst);
    if (!step.Send("NFOF")) return step.Result();
    step.Send("NFTON");
    return step.Result();
}

int TfrmFRA::SetVirtualMode() {
    StepCommands step(*this);
    const bool on = cbVirtual->Checked();
    if (!step.Send("VERST=" + QString::number(on ? 4 + 2 + 1 : 0)) || !on) return step.Result();
    step.Send("KIKTM=" + QString::number(Kiktm));
    return step.Result();
}

int TfrmFRA::StepFrequency() {
    StepCommands step(*this);
    CurrentFreq += StepFreq;
    if (!step.Send("SGF=" + QString::number(CurrentFreq))) return step.Result();
    pnAnalyze->setText(" 解析中:" + QString::number(CurrentFreq) + "[Hz]");
    if (cbDecMaxEnable->Checked()) {
        long long decade = 1; // 10 to the integer part of log10(CurrentFreq)
        while (decade <= CurrentFreq / 10)
            decade *= 10;
        const long long span = 9 * decade;
        if (span / StepFreq > 450) StepFreq = static_cast<int>(span / 450);
    }
    if (!step.Send("SGA=SGA+0")) return step.Result();
    SettleMs = 3000 / CurrentFreq;
    if (!step.Send("TCLR")) return step.Result();
    for (int time = 0; time <= SettleMs;) {
        ui::ProcessPendingMessages();
        if (!step.QueryNumber("TIME", time)) return step.Result();
    }
    return ShowDriverStatus();
}

int TfrmFRA::ReadPoint(int n) {
    TFraBuffer& buffer = Buffers[n];
    // A point whose read failed leaves no hole: the next one read takes its place.
    const int slot = buffer.Count;
    if (slot >= fra::kMaxPoints) {
        RunFlag = 0;
        bufferFull_ = true;
        return 0;
    }
    int words[4] = {0, 0, 0, 0};
    for (int k = 0; k < 4; ++k) {
        if (QueryNumber(k == 0 ? "#%" + LogAreaAddress : ",", words[k]) != 1) {
            if (!badReply_.isEmpty()) return -1;
            // A read that only failed is not counted; the run names the point when it ends.
            missedFrequencies_ << CurrentFreq;
            return 0;
        }
        if (k == 0 && words[0] < 0) {
            buffer.Count = 0;
            RunFlag = 0;
            DrawActivePage();
            ui::ShowWarning("不正なデータを検出しました。\n解析中のデータは破棄されます。",
                            "エラー");
            return 0;
        }
    }
    buffer.Points[slot] = {words[0], words[1], words[2], words[3]};
    buffer.Count = slot + 1;
    if (CurrentFreq < 150 || CurrentFreq - LastDrawnFreq > 9) {
        DrawActivePage();
        LastDrawnFreq = CurrentFreq;
    }
    return 1;
}
