// One simulated driver on the line (one axis): its model text, parameters and lock masks, and
// the commands it answers. A screen that sends new commands enters them in the axis's one command
// table (CommandTable.h), in the file of the subsystem that sends them.
#pragma once

#include "CommandTable.h"
#include "DriverMemory.h"
#include "ProgramStore.h"

#include <QByteArray>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace sim {

struct AnalysisState;

class DriverAxis {
public:
    static constexpr int DefaultParameterCount = 200;
    static constexpr int LockMaskCount = 7;

    DriverAxis(char letter, QByteArray modelText);
    // The memory's regions refer to the axis, so it stays where it was made.
    DriverAxis(const DriverAxis&) = delete;
    DriverAxis& operator=(const DriverAxis&) = delete;

    char letter() const { return letter_; }

    // Runs one command (designation and blanks already removed; `raw` is the same line with its
    // blanks, for the program rows that keep them) by its entry in the command table; a line that
    // no entry takes may be a program row. The result is the reply without its CR, or nothing for
    // a command that answers nothing; "E-S" for a command the driver does not know or cannot
    // carry out.
    std::optional<QByteArray> run(const QByteArray& command, const QByteArray& raw = {});

    // The axis's memory, which every address command reads and writes (DriverMemory.h), and its
    // program store (ProgramStore.h).
    // The data tables in memory: the cam table of "#%" values from #%00090000 and the
    // correction table of "#$" (or "#&") values from #$00088000, 16384 values each.
    static constexpr std::uint32_t CamTableAddress = 0x00090000;
    static constexpr std::uint32_t CorrectionTableAddress = 0x00088000;
    static constexpr int DataAreaValues = 16384;

    DriverMemory& memory() { return memory_; }
    const DriverMemory& memory() const { return memory_; }
    ProgramStore& program() { return program_; }
    const ProgramStore& program() const { return program_; }

    // The reply to a status poll command or monitored variable ("#STAT", "$QREF", "$PACT", in
    // any case): what a test set, else the default; nothing for a command left unanswered.
    // Setting a reply for a command makes the axis answer it from here, in place of the command's
    // entry (the mode "M"), or as a new command (a user's own variable).
    std::optional<QByteArray> statusReply(const QByteArray& command) const;
    void setStatusReply(const QByteArray& command, std::optional<QByteArray> reply);

    // Setting the model text gives the axis that model's parameter count.
    QByteArray modelText() const { return modelText_; }
    void setModelText(const QByteArray& text);

    // The parameters a model has: 64 (first series), 90 (second series, QWC30, QWC50A_B0),
    // 97 (QWC50A_B1 to _C2), 110 (QWC50A_C3, _D0), else 200.
    static int parameterCountOfModel(const QByteArray& text);

    // Parameter n holds a stored value or, until one is written, a default: 1000 + n, except
    // #33, which holds the character code of the axis letter so that the axis probe finds it.
    int parameter(int n) const;
    void setParameter(int n, int value) { parameters_[n] = value; }
    void setParameterCount(int count) { parameterCount_ = count; }

    // Lock mask k (0..6) as "PRKk" answers it: bit b is parameter #(32k + b), 1 free, 0 locked.
    // Every parameter starts free (-1).
    std::int32_t lockMask(int k) const { return lockMasks_.at(k); }
    void setLockMask(int k, std::int32_t mask) { lockMasks_.at(k) = mask; }

    // The data table: "#DTPT=n" selects entry n, "*DTPT" reads it, "*DTPT=v" writes it. Entry n
    // holds 2000 + n until written. A first-series model, and a later one of driver type 1 (the
    // last digit of #40) other than a "C50", has the first series' 48 entries, else 384; entries
    // beyond are refused with "E-S".
    static constexpr int DataTableSize = 384;
    static constexpr int FirstSeriesDataTableSize = 48;
    int dataTableSize() const;
    int dataTableEntry(int n) const;
    void setDataTableEntry(int n, int value) { dataTable_[n] = value; }

    // The alarm history: "ALHPT=n" selects record n, "ALH" reads its code, "ALTH" its time in
    // ms. Record n holds code 100 + n and time 5000 + 1000 n until set.
    static constexpr int AlarmRecordCount = 100;
    struct AlarmRecord {
        int code;
        long long timeMs;
    };
    AlarmRecord alarmRecord(int n) const;
    void setAlarmRecord(int n, AlarmRecord record) { alarms_[n] = record; }

    // The logging memory: the settings that the logging commands write and read back, by
    // command name ("LTIME", "LOG1N", "#$DFFA", "&LOGP", ...; those with an address name are
    // reached through the axis's memory), the count of start lines ("L"), and the recorded
    // waveform that the read-back walks: value of channel 0..3 at sample k (the first series
    // records channel 0). An empty waveform is the default one.
    struct LoggingMemory {
        std::map<QByteArray, QByteArray> settings;
        std::function<std::int32_t(int channel, int sample)> waveform;
        int starts = 0;
    };
    LoggingMemory& logging() { return logging_; }
    QByteArray loggingSetting(const QByteArray& name) const;
    // The control frequency in kHz that "SVKHZ" answers: one value, kept with the logging
    // settings, that the logging windows and the analysis both read.
    void setControlFrequency(const QByteArray& khz) { logging_.settings["SVKHZ"] = khz; }
    std::int32_t loggedSample(int channel, int sample) const;
    // A sine of a period of 200 samples and amplitude 1000 x (channel + 1), a quarter period
    // later on each further channel.
    static std::int32_t defaultLoggedSample(int channel, int sample);

    // The frequency response analysis: sine generator, plant and logged point
    // (AnalysisCommands.cpp, AnalysisState.h).
    AnalysisState& analysis();

private:
    // The entries of each subsystem's commands: the model text, parameters, lock masks, rate
    // switches and address commands (DriverAxis.cpp), the status poll commands
    // (StatusCommands.cpp), the data table and alarm history commands (DriveRecordCommands.cpp),
    // the logging commands (LoggingCommands.cpp), the analysis commands (AnalysisCommands.cpp) and
    // the program transfer commands (TransferCommands.cpp).
    void addDriverCommands();
    void addStatusCommands();
    void addDriveRecordCommands();
    void addLoggingCommands();
    void addAnalysisCommands();
    void addTransferCommands();

    // The regions of the logging buffer and its address-named settings (LoggingCommands.cpp).
    void mapLoggingMemory();
    // The cam and correction tables of the data transfers (DataAreas.cpp).
    void mapDataAreas();

    std::optional<QByteArray> runParameterCommand(const QByteArray& command);
    std::optional<QByteArray> runLockMaskQuery(const QByteArray& command) const;

    std::map<QByteArray, std::optional<QByteArray>> statusReplies_; // set by tests

    char letter_;
    QByteArray modelText_;
    int parameterCount_ = DefaultParameterCount;
    std::map<int, int> parameters_;
    std::array<std::int32_t, LockMaskCount> lockMasks_;
    LoggingMemory logging_;
    int dataTablePointer_ = 0;
    std::map<int, int> dataTable_;
    int alarmPointer_ = 0;
    std::map<int, AlarmRecord> alarms_;
    std::shared_ptr<AnalysisState> analysis_;
    DriverMemory memory_;
    ProgramStore program_;
    CommandTable commands_;
};

} // namespace sim
