// The tests' tty client of the simulated driver.
#include "SimClient.h"

#include <QEventLoop>
#include <QTimer>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

SimClient::SimClient(const QString& path) {
    clock_.start();
    fd_ = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) return;
    setLine(B9600, CS8);
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { readAvailable(); });
}

SimClient::~SimClient() {
    close();
}

void SimClient::close() {
    notifier_.reset();
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

void SimClient::setLine(speed_t speed, tcflag_t framing) {
    termios settings{};
    tcgetattr(fd_, &settings);
    cfmakeraw(&settings);
    cfsetspeed(&settings, speed);
    settings.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB);
    settings.c_cflag |= framing | CLOCAL | CREAD;
    tcsetattr(fd_, TCSANOW, &settings);
}

void SimClient::send(const QByteArray& bytes) {
    const ssize_t written = ::write(fd_, bytes.constData(), size_t(bytes.size()));
    if (written != ssize_t(bytes.size())) qWarning("SimClient: short write");
}

std::optional<QByteArray> SimClient::reply(int timeoutMs) {
    if (!waitUntil([this] { return pending_.contains('\r'); }, timeoutMs)) return std::nullopt;
    const qsizetype end = pending_.indexOf('\r');
    const QByteArray line = pending_.left(end);
    pending_.remove(0, end + 1);
    return line;
}

bool SimClient::waitUntil(const std::function<bool()>& done, int timeoutMs) {
    if (done()) return true;
    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    afterRead_ = [&] {
        if (done()) loop.quit();
    };
    timeout.start(timeoutMs);
    loop.exec();
    afterRead_ = nullptr;
    return done();
}

void SimClient::readAvailable() {
    char buffer[256];
    for (;;) {
        const ssize_t count = ::read(fd_, buffer, sizeof buffer);
        if (count > 0) {
            pending_.append(buffer, count);
            chunks_.append({QByteArray(buffer, count), clock_.elapsed()});
            continue;
        }
        if (count < 0 && errno == EINTR) continue;
        if (count < 0 && errno == EAGAIN) break;
        hungUp_ = true;
        notifier_->setEnabled(false);
        break;
    }
    if (afterRead_) afterRead_();
}
