// kaso-sim: runs the simulated driver as a process for the demo. It prints the device path to
// open, logs each command line it receives to stderr and ends cleanly on SIGINT or SIGTERM.
#include "SimulatedDriver.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <unistd.h>

#include <sys/signalfd.h>

namespace {

namespace fs = std::filesystem;

std::optional<sim::Series> parseSeries(const QString& text) {
    const QString name = text.toUpper();
    if (name == "QWA") return sim::Series::QWA;
    if (name == "QWB") return sim::Series::QWB;
    if (name == "QWC") return sim::Series::QWC;
    if (name == "QWD") return sim::Series::QWD;
    return std::nullopt;
}

// Blocks SIGINT and SIGTERM and returns a descriptor that reports them, so that a stop ends the
// event loop like any other event and the clean-up after it runs. Called before any thread
// exists, so every thread inherits the mask.
int stopSignalDescriptor() {
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stops, nullptr);
    return signalfd(-1, &stops, SFD_CLOEXEC | SFD_NONBLOCK);
}

// Points link at target; an old link is replaced, anything else at that path is left alone.
void makeLink(const fs::path& link, const fs::path& target) {
    const fs::file_status status = fs::symlink_status(link);
    if (fs::is_symlink(status))
        fs::remove(link);
    else if (fs::exists(status))
        throw std::runtime_error(link.string() + " exists and is not a symbolic link");
    fs::create_symlink(target, link);
}

void removeLink(const fs::path& link, const fs::path& target) {
    std::error_code error;
    if (fs::read_symlink(link, error) == target) fs::remove(link, error);
}

void logLine(const QByteArray& line) {
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fputc('\n', stderr);
}

int fail(const QString& message) {
    std::fprintf(stderr, "kaso-sim: %s\n", qPrintable(message));
    return 2;
}

} // namespace

int main(int argc, char* argv[]) {
    const int stopSignals = stopSignalDescriptor();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("kaso-sim");

    QCommandLineParser parser;
    parser.setApplicationDescription("A simulated driver line on a pseudo-terminal.");
    parser.addHelpOption();
    parser.addOptions({
        {"axes", "The axes present, letters A to Z (default X).", "letters", "X"},
        {"series", "The driver series: QWA, QWB, QWC or QWD (default QWC).", "series", "QWC"},
        {"model", "The answer to VER on every axis (default: by series).", "text"},
        {"link", "A symbolic link to create to the device path.", "path"},
    });
    parser.process(app);

    const std::optional<sim::Series> series = parseSeries(parser.value("series"));
    if (!series) return fail("unknown series " + parser.value("series"));
    if (stopSignals < 0) return fail("cannot watch for SIGINT and SIGTERM");

    sim::DriverConfig config;
    config.series = *series;
    config.modelText = parser.value("model").toLocal8Bit();
    config.axes = parser.value("axes").toUpper();

    std::optional<sim::SimulatedDriver> driver;
    const fs::path link = parser.value("link").toStdString();
    try {
        driver.emplace(config);
        if (!link.empty()) makeLink(link, driver->slavePath().toStdString());
    } catch (const std::exception& error) {
        return fail(QString::fromLocal8Bit(error.what()));
    }
    // Each line goes to standard error as it comes, and the driver's record of what it received,
    // which only the in-process tests read, is dropped: a long demo holds nothing per line.
    QObject::connect(&*driver, &sim::SimulatedDriver::lineReceived,
                     [&driver](const QByteArray& line) {
                         logLine(line);
                         driver->clearReceived();
                     });

    QSocketNotifier stopNotifier(stopSignals, QSocketNotifier::Read);
    QObject::connect(&stopNotifier, &QSocketNotifier::activated, &app, [&] {
        signalfd_siginfo info;
        while (::read(stopSignals, &info, sizeof info) == ssize_t(sizeof info)) {
        }
        QCoreApplication::quit();
    });

    std::printf("%s\n", qPrintable(driver->slavePath()));
    std::fflush(stdout);

    const int result = app.exec();
    if (!link.empty()) removeLink(link, driver->slavePath().toStdString());
    ::close(stopSignals);
    return result;
}
