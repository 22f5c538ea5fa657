// The line the benchmarks run the program on: the simulated driver as its own process
// (kaso-sim), and a relay between it and the program that passes each direction no faster than a
// serial line of the given rate, ten bits a character (or, unpaced, as soon as it can). The relay
// runs on a thread of its own, so the program's GUI thread pays nothing for it.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <sys/types.h>

namespace bench {

// kaso-sim, started with `arguments`, ended (SIGTERM) when this goes.
class SimulatorProcess {
public:
    explicit SimulatorProcess(const std::vector<std::string>& arguments);
    ~SimulatorProcess();
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;
    const std::string& DevicePath() const { return devicePath_; }

private:
    pid_t pid_ = -1;
    std::string devicePath_;
};

class PacedRelay {
public:
    // A rate of kUnpaced passes each character on at once.
    static constexpr int kUnpaced = 0;
    // A driver turnaround holds every character the program sends that long before the driver
    // gets it: the driver answers each line that long after its end, in the order of the lines.
    PacedRelay(const std::string& driverDevice, int bitsPerSecond, double turnaroundSeconds = 0);
    ~PacedRelay();
    PacedRelay(const PacedRelay&) = delete;
    PacedRelay& operator=(const PacedRelay&) = delete;

    // The device the program opens.
    const std::string& ProgramDevice() const { return programDevice_; }
    // While muted, what the driver sends is dropped: the program sees a silent driver.
    void SetMuted(bool muted) { muted_ = muted; }
    // Command lines (CR-ended) the program has sent so far.
    long LinesSent() const { return linesSent_; }
    // How often each command line (without CR) was sent since the last call, and forget them.
    std::map<std::string, long> TakeLineCounts();

private:
    struct Direction {
        int from = -1;
        int to = -1;
        std::string pending;
        double lineFreeAt = 0; // when the character on the wire has gone
        double delay = 0;      // how long a character is held after its time on the wire
    };
    void Run();
    void Receive(Direction& direction, bool fromProgram);
    void Deliver(Direction& direction, double now);

    double characterSeconds_;
    int masterFd_ = -1;
    int heldSlaveFd_ = -1; // keeps the program's side open between its opens
    int driverFd_ = -1;
    int stopPipe_[2] = {-1, -1};
    std::string programDevice_;
    std::atomic<bool> muted_{false};
    std::atomic<long> linesSent_{0};
    std::mutex countsMutex_;
    std::map<std::string, long> lineCounts_;
    std::string partialLine_;
    Direction toDriver_;
    Direction toProgram_;
    std::thread thread_;
};

} // namespace bench
