// The whole program (every long-lived window, the main window shown offscreen) on a paced line to
// a kaso-sim process, with its own settings folder; for the length of one benchmark.
#pragma once

#include "PacedLine.h"

#include <QTemporaryDir>
#include <QVariant>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QWidget;
class TFourChannelLogging;

namespace bench {

constexpr int kLineRate = 38400;

struct ProgramSetup {
    std::vector<std::string> simulatorArguments{"--series", "QWC", "--axes", "X"};
    int lineRate = kLineRate;   // the rate the relay paces the line to, and the program's setting
    bool unpaced = false;       // the relay passes the line at once; the program keeps lineRate
    int driverTurnaroundMs = 0; // how long after a line's end the driver answers it
    // Settings written before the start, "Section/Name" to value.
    std::map<QString, QVariant> settings;
};

class ProgramOnLine {
public:
    explicit ProgramOnLine(const ProgramSetup& setup = {});
    ~ProgramOnLine();
    ProgramOnLine(const ProgramOnLine&) = delete;
    ProgramOnLine& operator=(const ProgramOnLine&) = delete;

    PacedRelay& Relay() { return *relay_; }
    // How many warnings and errors the program has shown, and the text of the last: a route that
    // shows one did not complete.
    int MessagesShown() const { return messagesShown_; }
    const QString& LastMessage() const { return lastMessage_; }
    // Records a warning the program showed (for routes that answer boxes themselves).
    void CountMessage(const QString& text) {
        ++messagesShown_;
        lastMessage_ = text;
    }

private:
    int messagesShown_ = 0;
    QString lastMessage_;
    QTemporaryDir folder_;
    std::unique_ptr<SimulatorProcess> simulator_;
    std::unique_ptr<PacedRelay> relay_;
};

// Writes the setup's settings into the settings file of the current XDG_CONFIG_HOME.
void WriteSettings(const ProgramSetup& setup);

// Runs the event loop until cond holds or timeoutMs passes; returns cond().
bool WaitUntil(const std::function<bool()>& cond, int timeoutMs);
// Runs the event loop for ms milliseconds.
void Idle(int ms);
// Shows a window and waits until it is on the (offscreen) screen.
void ShowAndExpose(QWidget* window);
// Opens the four-channel logging window from the main window's menu, as the user does; null when
// it did not come up.
TFourChannelLogging* OpenFourChannelLogging();

} // namespace bench
