// The simulated driver's frequency response analysis: a sine generator driving a plant of known
// transfer function, and the four words that the driver logs per sweep point. Tests read and
// set it through DriverAxis::analysis().
#pragma once

#include <QByteArray>

#include <array>
#include <complex>
#include <map>

namespace sim {

struct AnalysisState {
    // The plant: a second-order low-pass G(f) = 1 / (1 - (f/fn)^2 + j 2 zeta f/fn).
    double naturalHz = 100.0;
    double damping = 0.5;
    std::complex<double> response(double hz) const;

    int frequency = 0;        // "SGF"
    int amplitude = 0;        // "SGA"
    bool generatorOn = false; // between "SINON" and "SINOF"
    bool servoOn = false;     // "SVON", answered by "SVONS"
    bool active = false;      // from "&LAORG" to "SINOF": the log area holds the analysis's point
    int timeMs = 0;           // "TIME": 100 ms more on every query since "TCLR"
    int verst = 0;            // "VERST"
    int alarm = 0;            // "ALST"
    int torqueRef = 0;        // "QREF"
    int torqueLimit = 300;    // "QLIM"
    QByteArray nfst = "5";    // "NFST"
    std::array<QByteArray, 4> logNames = {"SGF", "SGA", "RMAX", "JMAX"}; // "LOG1=".."LOG4="

    QByteArray logArea;     // the address "&LAORG" answered
    bool logHooked = false; // the axis's memory reads the point at the log area

    // The point read from the log area ("#%" with its address, then "," three times).
    std::array<int, 4> point{};

    // What "VERST" answers in place of the virtual mode, when set (a driver without it: "E-S").
    QByteArray verstReply;
    // The control frequency that "SVKHZ" answers is the axis's one value, shared with the
    // logging commands: DriverAxis::setControlFrequency.

    // A fault for the tests: replies given in place of the usual ones, by command ("TIME",
    // "ALST", "QREF", "QLIM", "SVONS", "NFST"), "#%" for the point's first word and "," for
    // its further words.
    std::map<QByteArray, QByteArray> replacedReplies;

    // A fault for the tests: from this frequency on the logged frequency word is negative
    // (0: never).
    int negativeFromHz = 0;

    // The four logged words at the present frequency and amplitude, by the logged names.
    std::array<int, 4> loggedWords() const;
    // Latches the point and gives its first word; the continuation reads the others.
    int readPoint();
};

} // namespace sim
