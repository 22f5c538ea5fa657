// The pseudo-terminal plumbing: opening the pair, non-blocking reads of the master through the
// event loop, and writes that never block the one thread.
#include "PseudoTerminal.h"

#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <stdlib.h>
#include <system_error>
#include <unistd.h>

namespace sim {

namespace {

[[noreturn]] void throwSystemError(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

void closeQuietly(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

} // namespace

PseudoTerminal::PseudoTerminal(QObject* parent) : QObject(parent) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0) throwSystemError("posix_openpt");
    char path[128];
    if (grantpt(master_) != 0 || unlockpt(master_) != 0 ||
        ptsname_r(master_, path, sizeof path) != 0 ||
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK) != 0) {
        const int error = errno;
        closeQuietly(master_);
        throw std::system_error(error, std::generic_category(), "pseudo-terminal set-up");
    }
    slavePath_ = QString::fromLocal8Bit(path);

    slave_ = ::open(path, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios raw{};
    if (slave_ < 0 || tcgetattr(slave_, &raw) != 0) {
        const int error = errno;
        close();
        throw std::system_error(error, std::generic_category(), "open of the slave side");
    }
    cfmakeraw(&raw);
    tcsetattr(slave_, TCSANOW, &raw);

    readNotifier_ = new QSocketNotifier(master_, QSocketNotifier::Read, this);
    connect(readNotifier_, &QSocketNotifier::activated, this, &PseudoTerminal::readMaster);
    writeNotifier_ = new QSocketNotifier(master_, QSocketNotifier::Write, this);
    writeNotifier_->setEnabled(false);
    connect(writeNotifier_, &QSocketNotifier::activated, this, &PseudoTerminal::writePending);
}

PseudoTerminal::~PseudoTerminal() {
    close();
}

void PseudoTerminal::write(const QByteArray& bytes) {
    if (!isOpen()) return;
    unwritten_ += bytes;
    writePending();
}

void PseudoTerminal::close() {
    // The notifiers may be the very senders now being served, so they go through the loop.
    for (QSocketNotifier* notifier : {readNotifier_, writeNotifier_}) {
        if (notifier) {
            notifier->setEnabled(false);
            notifier->deleteLater();
        }
    }
    readNotifier_ = nullptr;
    writeNotifier_ = nullptr;
    unwritten_.clear();
    closeQuietly(master_);
    closeQuietly(slave_);
}

termios PseudoTerminal::lineSettings() const {
    termios settings{};
    if (slave_ < 0 || tcgetattr(slave_, &settings) != 0) return termios{};
    return settings;
}

void PseudoTerminal::readMaster() {
    char buffer[512];
    for (;;) {
        const ssize_t count = ::read(master_, buffer, sizeof buffer);
        if (count > 0) {
            emit received(QByteArray(buffer, count));
            if (!isOpen()) // a receiver hung up the line
                return;
            continue;
        }
        if (count < 0 && errno == EINTR) continue;
        if (count < 0 && errno == EAGAIN) return;
        // End of file or an error: nothing more will come, and a notifier left on would fire
        // without end.
        readNotifier_->setEnabled(false);
        return;
    }
}

void PseudoTerminal::writePending() {
    while (!unwritten_.isEmpty()) {
        const ssize_t count = ::write(master_, unwritten_.constData(), unwritten_.size());
        if (count > 0) {
            unwritten_.remove(0, count);
            continue;
        }
        if (count < 0 && errno == EINTR) continue;
        if (count < 0 && errno == EAGAIN) {
            writeNotifier_->setEnabled(true);
            return;
        }
        unwritten_.clear(); // the line is gone; nobody can receive these bytes
    }
    writeNotifier_->setEnabled(false);
}

} // namespace sim
