// The simulated line: framing of command lines, designations, the choice of the answering axis,
// faults and the paced output of replies.
#include "SimulatedDriver.h"

#include <algorithm>
#include <stdexcept>

namespace sim {

namespace {

constexpr char AnswerOrder[] = "XYZABCDEFGHIJKLMNOPQRSTUVW";
constexpr int AxisCount = 26;
constexpr int OverLongLength = 60;
constexpr int DefaultCutGapMs = 30;
// The replies held back by a late one follow it this far apart, so that each arrives as a line
// of its own.
constexpr int HeldBackGapMs = 30;

int axisIndex(QChar letter) {
    const char c = letter.toLatin1();
    if (c < 'A' || c > 'Z') throw std::invalid_argument("axis letter outside A..Z");
    return c - 'A';
}

bool isDesignation(const QByteArray& command) {
    return command.size() >= 2 && command[1] == ':' &&
           (command[0] == '*' || (command[0] >= 'A' && command[0] <= 'Z'));
}

} // namespace

SimulatedDriver::SimulatedDriver(const DriverConfig& config, QObject* parent)
    : QObject(parent), present_(AxisCount, false) {
    const QByteArray model =
        config.modelText.isEmpty() ? defaultModelText(config.series) : config.modelText;
    for (char letter = 'A'; letter <= 'Z'; ++letter)
        axes_.push_back(std::make_unique<DriverAxis>(letter, model));
    setAxes(config.axes);

    outputTimer_.setSingleShot(true);
    outputTimer_.setTimerType(Qt::PreciseTimer); // a late reply is never early
    connect(&outputTimer_, &QTimer::timeout, this, &SimulatedDriver::writeNextPiece);
    connect(&terminal_, &PseudoTerminal::received, this, &SimulatedDriver::receive);
}

QByteArray SimulatedDriver::defaultModelText(Series series) {
    switch (series) {
    case Series::QWA:
        return "QWA-D56";
    case Series::QWB:
        return "QWB20";
    case Series::QWC:
        return "QWC50A_C3";
    case Series::QWD:
        return "QWD50A";
    }
    return {};
}

void SimulatedDriver::hangUp() {
    outputTimer_.stop();
    output_.clear();
    partialLine_.clear();
    terminal_.close();
}

void SimulatedDriver::clearReceived() {
    receivedLines_.clear();
    receivedBytes_.clear();
}

speed_t SimulatedDriver::inputSpeed() const {
    const termios settings = terminal_.lineSettings();
    return cfgetispeed(&settings);
}

tcflag_t SimulatedDriver::controlFlags() const {
    return terminal_.lineSettings().c_cflag;
}

void SimulatedDriver::setAxes(const QString& letters) {
    std::vector<bool> present(AxisCount, false);
    for (QChar letter : letters)
        present[axisIndex(letter)] = true;
    present_ = present;
}

bool SimulatedDriver::isPresent(QChar letter) const {
    return present_[axisIndex(letter)];
}

DriverAxis& SimulatedDriver::axis(QChar letter) {
    return *axes_[axisIndex(letter)];
}

const DriverAxis& SimulatedDriver::axis(QChar letter) const {
    return *axes_[axisIndex(letter)];
}

void SimulatedDriver::setFault(Fault fault, int delayMs) {
    fault_ = fault;
    faultDelayMs_ = (fault == Fault::CutLines && delayMs <= 0) ? DefaultCutGapMs : delayMs;
}

void SimulatedDriver::refuse(const QByteArray& command, int delayMs) {
    if (delayMs < 0)
        refused_.erase(command);
    else
        refused_[command] = delayMs;
}

void SimulatedDriver::answerLateOnce(const QByteArray& command, int delayMs) {
    lateOnce_[command] = delayMs;
}

void SimulatedDriver::setProgramFaults(const ProgramStore::Faults& faults) {
    for (const auto& axis : axes_)
        axis->program().faults = faults;
}

void SimulatedDriver::receive(const QByteArray& bytes) {
    receivedBytes_ += bytes;
    for (char c : bytes) {
        if (c == '\n') continue;
        if (c != '\r') {
            partialLine_ += c;
            continue;
        }
        const QByteArray line = partialLine_;
        partialLine_.clear();
        receivedLines_.append(line);
        emit lineReceived(line);
        answer(line);
    }
}

void SimulatedDriver::answer(const QByteArray& line) {
    QByteArray command = line;
    command.replace(' ', QByteArray());
    QByteArray raw = line; // blanks kept, for program rows
    if (isDesignation(command)) {
        designation_ = command[0];
        command.remove(0, 2);
        raw.remove(0, raw.indexOf(':') + 1);
    }
    if (command.isEmpty()) return;
    if (const auto refused = refused_.find(command);
        refused != refused_.end() && !addressedAxes().empty())
        return sendReply("E-S", refused->second);

    std::optional<QByteArray> reply;
    bool first = true;
    for (DriverAxis* addressed : addressedAxes()) {
        const std::optional<QByteArray> axisReply = addressed->run(command, raw);
        if (first) reply = axisReply;
        first = false;
    }
    if (!reply && !first && !writeAnswer_.isEmpty() && command.contains('=')) reply = writeAnswer_;
    if (!reply) return;
    const auto late = lateOnce_.find(command);
    int lateMs = 0;
    if (late != lateOnce_.end()) {
        lateMs = late->second;
        lateOnce_.erase(late);
    }
    sendReply(*reply, lateMs);
}

std::vector<DriverAxis*> SimulatedDriver::addressedAxes() {
    std::vector<DriverAxis*> addressed;
    for (const char letter : QByteArray(AnswerOrder)) {
        const bool designated = designation_ == '*' || designation_ == letter;
        if (designated && isPresent(QChar(letter))) addressed.push_back(&axis(QChar(letter)));
    }
    return addressed;
}

void SimulatedDriver::sendReply(QByteArray reply, int lateMs) {
    switch (fault_) {
    case Fault::Silent:
        return;
    case Fault::NotSupported:
        reply = "E-S";
        break;
    case Fault::Garbage:
        reply = garbage();
        break;
    case Fault::OverLong:
        reply = reply.leftJustified(OverLongLength, '0', true);
        break;
    default:
        break;
    }
    reply += '\r';
    if (fault_ == Fault::CutLines && reply.size() >= 2) {
        const qsizetype half = reply.size() / 2;
        queue(reply.left(half), 0);
        queue(reply.mid(half), faultDelayMs_);
        return;
    }
    if (lateMs > 0) return queue(reply, lateMs, true);
    queue(reply, fault_ == Fault::Late ? faultDelayMs_ : 0);
}

QByteArray SimulatedDriver::garbage() {
    const int length = 8 + random_.bounded(32);
    QByteArray bytes;
    while (bytes.size() < length) {
        const char c = char(random_.bounded(256));
        if (c != '\r') bytes += c;
    }
    bytes[0] = char(0x80 | random_.bounded(0x80)); // at least one byte above 0x7F
    return bytes;
}

void SimulatedDriver::queue(const QByteArray& bytes, int delayMs, bool heldBack) {
    if (!output_.empty() && output_.back().heldBack) {
        heldBack = true;
        delayMs = std::max(delayMs, HeldBackGapMs);
    }
    output_.push_back({bytes, delayMs, heldBack});
    if (output_.size() == 1) // else the timer already runs for an earlier piece
        outputTimer_.start(delayMs);
}

void SimulatedDriver::writeNextPiece() {
    if (output_.empty()) return;
    terminal_.write(output_.front().bytes);
    output_.pop_front();
    if (!output_.empty()) outputTimer_.start(output_.front().delayMs);
}

} // namespace sim
