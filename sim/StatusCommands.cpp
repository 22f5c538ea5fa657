// The status poll commands a status monitor sends: the status words, the bars, the extra inputs
// and outputs, the mailbox state and the variables the monitors offer. The driver takes them in
// either case. Position, speed, torque, load and two status bits move over time until a test
// sets a reply of its own. The mode "M" and "BACT" are answered with the analysis commands.
#include "DriverAxis.h"

#include <chrono>
#include <cmath>
#include <numbers>
#include <utility>

namespace sim {

namespace {

// The axis moves to and fro on a sine of this period, so that a monitor shows live values.
constexpr double kStrokePeriodS = 8.0;
constexpr double kStrokePulses = 100000.0;
constexpr double kTopSpeedRpm = 3000.0;
constexpr int kMovingBit = 1 << 1;   // MOVES of #STAT
constexpr int kToggleBit = 1 << 13;  // INTRS of #STAT: toggles every second
constexpr int kSteadyStatus = 16385; // ready, and bit 14, which is always set

double SecondsRunning() {
    static const auto start = std::chrono::steady_clock::now();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The words that follow the motion; nothing for the others.
std::optional<QByteArray> liveReply(const QByteArray& key) {
    const double t = SecondsRunning();
    const double phase = 2 * std::numbers::pi * t / kStrokePeriodS;
    const double speed = std::cos(phase);
    if (key == "$PACT") return QByteArray::number(std::lround(kStrokePulses * std::sin(phase)));
    if (key == "$VACT") return QByteArray::number(std::lround(kTopSpeedRpm * speed));
    if (key == "#VACT") return QByteArray::number(std::lround(kTopSpeedRpm * 4 * speed));
    if (key == "$QREF") return QByteArray::number(std::lround(120 * std::abs(speed)));
    if (key == "$LOAD") return QByteArray::number(std::lround(20 + 60 * std::abs(speed)));
    if (key == "#STAT") {
        int word = kSteadyStatus;
        if (std::abs(speed) > 0.05) word |= kMovingBit;
        if (static_cast<long long>(t) % 2 == 1) word |= kToggleBit;
        return QByteArray::number(word);
    }
    return std::nullopt;
}

// What an axis answers until a test sets another reply.
const std::map<QByteArray, QByteArray>& defaultStatusReplies() {
    static const std::map<QByteArray, QByteArray> replies = [] {
        std::map<QByteArray, QByteArray> table = {{"#STAT", QByteArray::number(kSteadyStatus)},
                                                  {"#ALST", "0"},
                                                  {"#INST", "1"},
                                                  {"#OUST", "1"},
                                                  {"$QREF", "0"},
                                                  {"$LOAD", "0"},
                                                  {"INSTA", "0"},
                                                  {"POLST", "1"},
                                                  {"BUSAL", "0"},
                                                  {"#$0010", "0"},
                                                  {"##83A1", "FF"},
                                                  {"#$8390", "255"},
                                                  {"MBST", "OFF"},
                                                  {"#SQPT", "0"}};
        for (const char* name :
             {"#VSET", "$PACT",  "$VACT",  "$AACT",  "$PREF",  "$VREF",  "$AREF",  "$PCOM",
              "$VCOM", "$ACOM",  "$QCOM",  "$PERR",  "$VERR",  "$AERR",  "$VFFD",  "$AFFD",
              "$QFFD", "#THET",  "$EDEG",  "#VACT",  "#VREF",  "#QREF",  "#PCOM",  "#VCOM",
              "#QCOM", "#VFFD",  "#QFFD",  "$ANCOM", "IREFU",  "IREFV",  "$VACTR", "#VACTR",
              "#AACT", "#AACTR", "$PERR1", "#PERR1", "#IACTQ", "#IREFQ", "#PWMQ",  "#PWMU",
              "#PWMV", "ANCOM",  "ANIN1",  "ANIN2",  "VSRH",   "!ENCS",  "SQTX"})
            table.emplace(name, "0"); // keeps the status replies above
        return table;
    }();
    return replies;
}

} // namespace

std::optional<QByteArray> DriverAxis::statusReply(const QByteArray& command) const {
    const QByteArray key = command.toUpper();
    if (const auto set = statusReplies_.find(key); set != statusReplies_.end()) return set->second;
    if (std::optional<QByteArray> live = liveReply(key)) return live;
    if (const auto known = defaultStatusReplies().find(key); known != defaultStatusReplies().end())
        return known->second;
    return std::nullopt;
}

void DriverAxis::setStatusReply(const QByteArray& command, std::optional<QByteArray> reply) {
    statusReplies_[command.toUpper()] = std::move(reply);
    commands_.replaceName(command,
                          [this](const QByteArray& polled) { return statusReply(polled); });
}

void DriverAxis::addStatusCommands() {
    for (const auto& entry : defaultStatusReplies())
        commands_.addAnyCaseName(entry.first,
                                 [this](const QByteArray& polled) { return statusReply(polled); });
}

} // namespace sim
