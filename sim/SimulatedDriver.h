// A simulated line of up to 26 drivers (axes A..Z) on a pseudo-terminal, for the tests and the
// demo: it answers command lines the way the drivers do and can be told to misbehave.
#pragma once

#include "DriverAxis.h"
#include "PseudoTerminal.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QRandomGenerator>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <vector>

#include <termios.h>

namespace sim {

enum class Series { QWA, QWB, QWC, QWD };

// Ways of misbehaving; each lasts until the driver is set back to None.
enum class Fault {
    None,
    Silent,       // answers nothing
    Late,         // answers after the fault's delay
    NotSupported, // answers "E-S" in place of every reply
    Garbage,      // answers random bytes other than CR (some above 0x7F), then CR
    OverLong,     // answers a line of 60 characters, then CR
    CutLines,     // writes each reply in two pieces, the delay (30 ms by default) apart
};

struct DriverConfig {
    Series series = Series::QWC;
    QByteArray modelText; // the answer to "VER" on every axis; empty: the series' default
    QString axes = "X";   // the axes present on the line
};

// Lines are cut at CR (LF is ignored) and blanks in a line are ignored. A line that is a letter
// and ":" designates that axis, "*:" all axes; the designation stays in force and answers
// nothing. A letter, ":" and a command on one line ("A:#33") designate and run the command.
// The line starts with all axes designated.
//
// Commands go to the designated axis; one that is not present answers nothing. With all axes
// designated, every present axis runs the command (so settings reach all of them) and the
// first present one in the order X, Y, Z, A..W answers: a real line would garble the answers,
// the simulator keeps one so that a demo shows something.
//
// Replies go out through the event loop, never from inside the read of the line that caused
// them, in the order of the lines, each ended by one CR.
//
// Defaults, chosen so that the program takes its usual road for each series: model texts
// "QWA-D56" (first series), "QWB20" (second), "QWC50A_C3" (third, a catalogued model with 110
// parameters) and "QWD50A" (fourth, outside the catalogue, so its parameters open with the lock
// masks); parameter #33 of each axis holds its letter's character code ("65" for A), which the
// axis probe asks for; see DriverAxis for the other defaults.
class SimulatedDriver : public QObject {
    Q_OBJECT
public:
    // Opens the pseudo-terminal; throws std::system_error when that fails and
    // std::invalid_argument for axis letters outside A..Z.
    explicit SimulatedDriver(const DriverConfig& config = {}, QObject* parent = nullptr);

    static QByteArray defaultModelText(Series series);

    // The device path the program opens.
    QString slavePath() const { return terminal_.slavePath(); }
    bool isOpen() const { return terminal_.isOpen(); }

    // Closes the line mid-session: the device disappears and the program sees a hang-up.
    void hangUp();

    // Every complete command line received, without its CR, oldest first.
    QList<QByteArray> receivedLines() const { return receivedLines_; }
    // Every byte received, LF and CR included.
    QByteArray receivedBytes() const { return receivedBytes_; }
    void clearReceived();

    // The line settings as the program set them, read at the moment of the call. The rate and
    // most flags are the program's; the data bits and parity are not: a Linux pseudo-terminal
    // forces CS8 and clears PARENB on every change, so 7E1 cannot be seen here.
    speed_t inputSpeed() const;
    tcflag_t controlFlags() const;

    // The axes present, as letters A..Z; the others keep their state but answer nothing.
    void setAxes(const QString& letters);
    bool isPresent(QChar axis) const;

    // Access to one axis, present or not; throws std::invalid_argument outside A..Z.
    DriverAxis& axis(QChar letter);
    const DriverAxis& axis(QChar letter) const;

    QByteArray modelText(QChar letter) const { return axis(letter).modelText(); }
    void setModelText(QChar letter, const QByteArray& text) { axis(letter).setModelText(text); }
    int parameter(QChar letter, int n) const { return axis(letter).parameter(n); }
    void setParameter(QChar letter, int n, int value) { axis(letter).setParameter(n, value); }
    void setParameterCount(QChar letter, int count) { axis(letter).setParameterCount(count); }
    std::int32_t lockMask(QChar letter, int k) const { return axis(letter).lockMask(k); }
    void setLockMask(QChar letter, int k, std::int32_t mask) { axis(letter).setLockMask(k, mask); }
    // See DriverAxis::setStatusReply; nothing makes the command go unanswered.
    void setStatusReply(QChar letter, const QByteArray& command, std::optional<QByteArray> reply) {
        axis(letter).setStatusReply(command, std::move(reply));
    }

    // delayMs is the lateness of Late and the gap of CutLines (0 there means 30 ms).
    void setFault(Fault fault, int delayMs = 0);
    // Some drivers answer a command that sets a value: each such line ("#12=5") that gets no
    // answer of its own is answered `reply` (empty: not answered, the default).
    void setWriteAnswer(const QByteArray& reply) { writeAnswer_ = reply; }
    // Every `command` (blanks and designation removed) is refused from now on: answered "E-S"
    // `delayMs` late, as a busy driver's answer (the replies after it wait behind it), and not
    // run. A negative delay takes the refusal back.
    void refuse(const QByteArray& command, int delayMs = 0);
    // The next reply to `command` (blanks and designation removed) goes out `delayMs` late; the
    // replies to the commands after it wait behind it, as a busy driver's would, and follow it
    // each as a line of its own.
    void answerLateOnce(const QByteArray& command, int delayMs);
    // The program store's faults, on every axis (see ProgramStore::Faults).
    void setProgramFaults(const ProgramStore::Faults& faults);

signals:
    // A complete command line, without its CR, as it arrives.
    void lineReceived(const QByteArray& line);

private:
    struct Piece {
        QByteArray bytes;
        int delayMs;           // after the previous piece went out
        bool heldBack = false; // a late reply, or one that waits behind it
    };

    void receive(const QByteArray& bytes);
    void answer(const QByteArray& line);
    std::vector<DriverAxis*> addressedAxes();
    void sendReply(QByteArray reply, int lateMs);
    QByteArray garbage();
    void queue(const QByteArray& bytes, int delayMs, bool heldBack = false);
    void writeNextPiece();

    PseudoTerminal terminal_;
    std::vector<std::unique_ptr<DriverAxis>> axes_; // A..Z; an axis never moves
    std::vector<bool> present_;                     // A..Z
    char designation_ = '*';

    QByteArray partialLine_;
    QList<QByteArray> receivedLines_;
    QByteArray receivedBytes_;

    Fault fault_ = Fault::None;
    int faultDelayMs_ = 0;
    std::map<QByteArray, int> lateOnce_; // command -> lateness of its next reply
    std::map<QByteArray, int> refused_;  // command -> lateness of its refusal
    QByteArray writeAnswer_;
    QRandomGenerator random_{20240517u};
    std::deque<Piece> output_;
    QTimer outputTimer_;
};

} // namespace sim
