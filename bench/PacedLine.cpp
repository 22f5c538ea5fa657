#include "PacedLine.h"

#include <QCoreApplication>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

extern char** environ;

namespace bench {

namespace {

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void MakeRaw(int fd) {
    termios settings{};
    if (tcgetattr(fd, &settings) != 0) return;
    cfmakeraw(&settings);
    tcsetattr(fd, TCSANOW, &settings);
}

[[noreturn]] void Fail(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

} // namespace

SimulatorProcess::SimulatorProcess(const std::vector<std::string>& arguments) {
    const std::string program = QCoreApplication::applicationDirPath().toStdString() + "/kaso-sim";
    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    int out[2];
    if (pipe(out) != 0) Fail("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    const int spawned =
        posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        errno = spawned;
        Fail("cannot start " + program);
    }
    char c;
    while (read(out[0], &c, 1) == 1 && c != '\n')
        devicePath_ += c;
    close(out[0]);
    if (devicePath_.empty()) throw std::runtime_error("kaso-sim printed no device path");
}

SimulatorProcess::~SimulatorProcess() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
}

PacedRelay::PacedRelay(const std::string& driverDevice, int bitsPerSecond, double turnaroundSeconds)
    : characterSeconds_(bitsPerSecond == kUnpaced ? 0.0 : 10.0 / bitsPerSecond) {
    toDriver_.delay = turnaroundSeconds;
    masterFd_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (masterFd_ < 0 || grantpt(masterFd_) != 0 || unlockpt(masterFd_) != 0)
        Fail("pseudo-terminal");
    programDevice_ = ptsname(masterFd_);
    heldSlaveFd_ = open(programDevice_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (heldSlaveFd_ < 0) Fail("open " + programDevice_);
    MakeRaw(heldSlaveFd_);
    driverFd_ = open(driverDevice.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (driverFd_ < 0) Fail("open " + driverDevice);
    MakeRaw(driverFd_);
    if (pipe2(stopPipe_, O_CLOEXEC) != 0) Fail("pipe");
    for (int fd : {masterFd_, driverFd_})
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    toDriver_.from = masterFd_;
    toDriver_.to = driverFd_;
    toProgram_.from = driverFd_;
    toProgram_.to = masterFd_;
    thread_ = std::thread([this] { Run(); });
}

PacedRelay::~PacedRelay() {
    const char stop = 0;
    if (write(stopPipe_[1], &stop, 1) != 1) std::perror("relay stop");
    thread_.join();
    for (int fd : {masterFd_, heldSlaveFd_, driverFd_, stopPipe_[0], stopPipe_[1]})
        if (fd >= 0) close(fd);
}

std::map<std::string, long> PacedRelay::TakeLineCounts() {
    std::lock_guard lock(countsMutex_);
    std::map<std::string, long> counts;
    counts.swap(lineCounts_);
    return counts;
}

void PacedRelay::Receive(Direction& direction, bool fromProgram) {
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(direction.from, buffer, sizeof buffer);
        if (got <= 0) return;
        if (!fromProgram && muted_) continue;
        direction.pending.append(buffer, size_t(got));
        if (!fromProgram) continue;
        for (ssize_t i = 0; i < got; ++i) {
            if (buffer[i] == '\r') {
                ++linesSent_;
                std::lock_guard lock(countsMutex_);
                ++lineCounts_[partialLine_];
                partialLine_.clear();
            } else if (buffer[i] != '\n') {
                partialLine_ += buffer[i];
            }
        }
    }
}

// Writes every waiting character whose time on the wire (and the direction's delay) has passed,
// one after the other from when the line was last free.
void PacedRelay::Deliver(Direction& direction, double now) {
    size_t due = 0;
    double freeAt = direction.lineFreeAt;
    while (due < direction.pending.size() && freeAt + characterSeconds_ + direction.delay <= now) {
        freeAt += characterSeconds_;
        ++due;
    }
    if (due == 0) return;
    const ssize_t written = write(direction.to, direction.pending.data(), due);
    if (written > 0) {
        direction.pending.erase(0, size_t(written));
        direction.lineFreeAt = freeAt;
    }
}

void PacedRelay::Run() {
    // Named apart from the program's thread, so a profile can tell the two.
    pthread_setname_np(pthread_self(), "paced-relay");
    // A character is passed on when its time on the wire is over, not up to the kernel's default
    // timer slack (50 us) later: the relay's lateness would count as the program's.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    for (;;) {
        const double now = Now();
        for (Direction* direction : {&toDriver_, &toProgram_}) {
            // An idle line starts its next character now, not in the past.
            if (direction->pending.empty())
                direction->lineFreeAt = std::max(direction->lineFreeAt, now);
            Deliver(*direction, now);
        }
        pollfd watched[] = {
            {masterFd_, POLLIN, 0}, {driverFd_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
        double wakeAt = -1;
        for (const Direction* direction : {&toDriver_, &toProgram_}) {
            if (direction->pending.empty()) continue;
            // Unpaced, what is left waits for room at its end, not for a time.
            if (characterSeconds_ == 0 && direction->delay == 0) {
                watched[direction->to == masterFd_ ? 0 : 1].events |= POLLOUT;
                continue;
            }
            const double at = direction->lineFreeAt + characterSeconds_ + direction->delay;
            wakeAt = wakeAt < 0 ? at : std::min(wakeAt, at);
        }
        timespec timeout{};
        timespec* wait = nullptr;
        if (wakeAt >= 0) {
            const double seconds = std::max(0.0, wakeAt - Now());
            timeout.tv_sec = time_t(seconds);
            timeout.tv_nsec = long((seconds - double(timeout.tv_sec)) * 1e9);
            wait = &timeout;
        }
        if (ppoll(watched, 3, wait, nullptr) < 0 && errno != EINTR) return;
        if (watched[2].revents) return;
        const double arrived = Now();
        for (Direction* direction : {&toDriver_, &toProgram_})
            if (direction->pending.empty())
                direction->lineFreeAt = std::max(direction->lineFreeAt, arrived);
        if (watched[0].revents & POLLIN) Receive(toDriver_, true);
        if (watched[1].revents & POLLIN) Receive(toProgram_, false);
    }
}

} // namespace bench
