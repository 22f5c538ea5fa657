#include "Comm.h"

#include "Settings.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <linux/major.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

namespace platform {
namespace {

// How long a send may wait for room in the output queue before it counts as failed.
constexpr int kSendTimeoutMs = 3000;

speed_t ToSpeed(int baud) {
    switch (baud) {
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    default:
        return 0;
    }
}

int BaudOf(speed_t speed) {
    for (const int baud : {1200, 2400, 4800, 9600, 19200, 38400})
        if (ToSpeed(baud) == speed) return baud;
    return -1;
}

QString RateText(speed_t speed) {
    const int baud = BaudOf(speed);
    return baud > 0 ? QString("%1 bps").arg(baud) : QString("speed code %1").arg(speed);
}

QString DataBitsText(tcflag_t cflag) {
    switch (cflag & CSIZE) {
    case CS5:
        return "5 data bits";
    case CS6:
        return "6 data bits";
    case CS7:
        return "7 data bits";
    default:
        return "8 data bits";
    }
}

QString ParityText(tcflag_t cflag) {
    if (!(cflag & PARENB)) return "no parity";
    return cflag & PARODD ? "odd parity" : "even parity";
}

QString StopBitsText(tcflag_t cflag) {
    return cflag & CSTOPB ? "2 stop bits" : "1 stop bit";
}

// What the program asks of the line beyond its framing: no flow control, every received byte
// as it came (no stripping, no translation of line ends, no parity marks), lines assembled at
// CR without echo or signals, and bytes sent as they are.
constexpr tcflag_t kFlowFlags = IXON | IXOFF | IXANY;
constexpr tcflag_t kInputFlags =
    IGNBRK | BRKINT | IGNPAR | PARMRK | INPCK | ISTRIP | INLCR | IGNCR | ICRNL | IUCLC;
constexpr tcflag_t kLineFlags = ICANON | ECHO | ECHONL | ISIG | IEXTEN;

QString OnOff(bool on) {
    return on ? "on" : "off";
}

QString ErrorText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Whether the open device is the slave side of a pseudo-terminal (a simulated driver's line).
bool IsPseudoTerminal(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) return false;
    const unsigned int deviceMajor = major(st.st_rdev);
    return deviceMajor >= UNIX98_PTY_SLAVE_MAJOR &&
           deviceMajor < UNIX98_PTY_SLAVE_MAJOR + UNIX98_PTY_MAJOR_COUNT;
}

} // namespace

std::vector<UntakenSetting> UntakenSettings(const termios& asked, const termios& held) {
    std::vector<UntakenSetting> untaken;
    // A setting named `name` before its value (after it, when `name` is empty).
    const auto compare = [&untaken](const QString& name, const QString& wanted,
                                    const QString& holds, bool framing = false) {
        if (wanted == holds) return;
        const QString prefix = name.isEmpty() ? QString() : name + " ";
        untaken.push_back({prefix + wanted + " (holds " + holds + ")", framing});
    };
    // An input rate of zero is the output rate.
    const auto inputSpeed = [](const termios& t) {
        return cfgetispeed(&t) == 0 ? cfgetospeed(&t) : cfgetispeed(&t);
    };
    const auto flags = [](tcflag_t value) { return "0x" + QString::number(value, 16); };
    compare("output at", RateText(cfgetospeed(&asked)), RateText(cfgetospeed(&held)));
    compare("input at", RateText(inputSpeed(asked)), RateText(inputSpeed(held)));
    compare({}, DataBitsText(asked.c_cflag), DataBitsText(held.c_cflag), true);
    compare({}, ParityText(asked.c_cflag), ParityText(held.c_cflag), true);
    compare({}, StopBitsText(asked.c_cflag), StopBitsText(held.c_cflag), true);
    compare("hardware flow control", OnOff(asked.c_cflag & CRTSCTS), OnOff(held.c_cflag & CRTSCTS));
    compare("software flow control", OnOff(asked.c_iflag & kFlowFlags),
            OnOff(held.c_iflag & kFlowFlags));
    compare("the receiver", OnOff(asked.c_cflag & CREAD), OnOff(held.c_cflag & CREAD));
    compare("modem lines ignored", OnOff(asked.c_cflag & CLOCAL), OnOff(held.c_cflag & CLOCAL));
    compare("input flags", flags(asked.c_iflag & kInputFlags), flags(held.c_iflag & kInputFlags));
    compare("line flags", flags(asked.c_lflag & kLineFlags), flags(held.c_lflag & kLineFlags));
    compare("output processing", OnOff(asked.c_oflag & OPOST), OnOff(held.c_oflag & OPOST));
    compare("line end", flags(asked.c_cc[VEOL]), flags(held.c_cc[VEOL]));
    return untaken;
}

QString FramingText(const termios& settings) {
    const tcflag_t cflag = settings.c_cflag;
    const char parity = !(cflag & PARENB) ? 'N' : cflag & PARODD ? 'O' : 'E';
    return DataBitsText(cflag).left(1) + parity + StopBitsText(cflag).left(1);
}

TComm::TComm(QObject* parent) : QObject(parent) {}

TComm::~TComm() {
    if (fd_ >= 0) {
        notifier_.reset();
        ::close(fd_);
    }
}

QString TComm::DevicePath(int port) {
    // One device whichever port is chosen: scripts/run.sh names its device this way.
    const QByteArray everyPort = qgetenv("KASONT_DEVICE");
    if (!everyPort.isEmpty()) return QString::fromLocal8Bit(everyPort);
    const QByteArray fromEnv = qgetenv(QString("KASONT_COMM%1").arg(port).toLatin1());
    if (!fromEnv.isEmpty()) return QString::fromLocal8Bit(fromEnv);
    const IniSettings settings(kSettingsKey);
    const QString fromSettings =
        settings.ReadString("Devices", QString("Comm%1").arg(port), QString());
    if (!fromSettings.isEmpty()) return fromSettings;
    return QString("/dev/ttyS%1").arg(port - 1);
}

// Said in the program's words, since a handler may let it reach the user as it stands.
std::string TComm::NotOpenText(int port) {
    return QString("Comm%1ポートが開いていません。\n"
                   "接続を確認し、設定画面でポートを開き直してください。")
        .arg(port)
        .toStdString();
}

ECommError TComm::Error(const QString& what, const QString& reason) const {
    return ECommError(
        QString("Comm%1 (%2): %3: %4").arg(Port).arg(DevicePath(), what, reason).toStdString());
}

void TComm::Fail(const QString& what, int error) const {
    throw Error(what, ErrorText(error));
}

void TComm::Open() {
    try {
        OpenDevice();
    } catch (const ECommError& error) {
        // The warning the user sees names neither the device nor the cause; the terminal the
        // program was started from gets both.
        std::fprintf(stderr, "%s: %s\n", qUtf8Printable(QCoreApplication::applicationName()),
                     error.what());
        throw;
    }
}

void TComm::OpenDevice() {
    if (fd_ >= 0) throw Error("cannot open", "already open");
    if (ToSpeed(BaudRate) == 0)
        throw Error("cannot open", QString("unsupported rate %1 bps").arg(BaudRate));
    const QByteArray path = DevicePath().toLocal8Bit();
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) Fail("cannot open", errno);
    if (!::isatty(fd)) {
        ::close(fd);
        Fail("not a serial device", ENOTTY);
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        Fail("in use by another program", error == EWOULDBLOCK ? EBUSY : error);
    }
    fd_ = fd;
    try {
        Configure();
    } catch (...) {
        ::close(fd_);
        fd_ = -1;
        throw;
    }
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { ReadyRead(); });
}

void TComm::Configure() {
    termios tio{};
    if (::tcgetattr(fd_, &tio) != 0) Fail("cannot read the line settings", errno);
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag |= byteSize_ == _7 ? CS7 : byteSize_ == _6 ? CS6 : byteSize_ == _5 ? CS5 : CS8;
    if (parity_ == pbEven)
        tio.c_cflag |= PARENB;
    else if (parity_ == pbOdd)
        tio.c_cflag |= PARENB | PARODD;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    // Every reply ends with CR: the line discipline assembles lines ending with CR (or LF) and
    // wakes the program once per line instead of once per character. Every other special
    // character is off (NUL is the "disabled" value; no reply text holds a NUL).
    tio.c_lflag |= ICANON;
    std::fill(std::begin(tio.c_cc), std::end(tio.c_cc), cc_t(_POSIX_VDISABLE));
    tio.c_cc[VEOL] = '\r';
    ::cfsetispeed(&tio, ToSpeed(BaudRate));
    ::cfsetospeed(&tio, ToSpeed(BaudRate));
    if (::tcsetattr(fd_, TCSANOW, &tio) != 0) {
        const int error = errno;
        // A pseudo-terminal carries bytes, not framed characters: it has no data bits or parity
        // to set, and some kernels refuse a change of them where others ignore it. It is opened
        // with the framing it has; a real device that refuses a setting fails to open.
        if (error != EINVAL || !IsPseudoTerminal(fd_)) Fail("cannot set the line settings", error);
        termios unframed = tio;
        unframed.c_cflag = (unframed.c_cflag & ~(CSIZE | PARENB | PARODD)) | CS8;
        if (::tcsetattr(fd_, TCSANOW, &unframed) != 0) Fail("cannot set the line settings", errno);
    }
    CheckSettingsTaken(tio);
}

// A device may take settings without an error and hold others (a driver that ignores parity, a
// rate it lacks): what is in force is what it reads back. A pseudo-terminal holds its own framing
// and nothing else of it matters to the bytes it carries.
void TComm::CheckSettingsTaken(const termios& asked) {
    termios held{};
    if (::tcgetattr(fd_, &held) != 0) Fail("cannot read the line settings back", errno);
    const std::vector<UntakenSetting> untaken = UntakenSettings(asked, held);
    const bool pseudoTerminal = IsPseudoTerminal(fd_);
    QStringList refused;
    for (const UntakenSetting& setting : untaken)
        if (!setting.framing || !pseudoTerminal) refused.append(setting.text);
    if (!refused.isEmpty()) throw Error("did not take the line settings", refused.join(", "));
    applied_ = held;
    if (!untaken.empty())
        std::fprintf(stderr, "%s: %s\n", qUtf8Printable(QCoreApplication::applicationName()),
                     qUtf8Printable(QString("Comm%1 (%2): a pseudo-terminal carries no framing of "
                                            "its own: opened at %3 (asked for %4)")
                                        .arg(Port)
                                        .arg(DevicePath(), FramingText(held), FramingText(asked))));
}

void TComm::Close() {
    if (fd_ < 0) return;
    notifier_.reset();
    pending_.clear();
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR) Fail("cannot close", errno);
}

void TComm::CheckOpen() const {
    if (fd_ < 0) throw ECommNotOpen(NotOpenText(Port));
}

void TComm::SendString(const QByteArray& text) {
    CheckOpen();
    qsizetype sent = 0;
    while (sent < text.size()) {
        const ssize_t n =
            ::write(fd_, text.constData() + sent, static_cast<size_t>(text.size() - sent));
        if (n > 0) {
            sent += n;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EIO || errno == ENXIO || errno == ENODEV)) {
            // The device went away under the write: the same loss as on the read side, reported
            // once by the owner of the line.
            LineLost(ErrorText(errno));
            throw ECommNotOpen(NotOpenText(Port));
        }
        if (n < 0 && errno != EAGAIN) Fail("cannot send", errno);
        pollfd pfd{fd_, POLLOUT, 0};
        if (::poll(&pfd, 1, kSendTimeoutMs) <= 0) Fail("cannot send", ETIMEDOUT);
    }
    if (OnCommTransmit)
        OnCommTransmit(this, static_cast<std::uint16_t>(std::min<qsizetype>(text.size(), 0xFFFF)));
}

int TComm::Read(char* buffer, int count) {
    int got = static_cast<int>(std::clamp<qsizetype>(count, 0, pending_.size()));
    std::memcpy(buffer, pending_.constData(), static_cast<size_t>(got));
    pending_.remove(0, got);
    while (fd_ >= 0 && got < count) {
        const ssize_t n = ::read(fd_, buffer + got, static_cast<size_t>(count - got));
        if (n > 0)
            got += static_cast<int>(n);
        else if (n < 0 && errno == EINTR)
            continue;
        else
            break;
    }
    return got;
}

void TComm::TxPurge() {
    if (fd_ >= 0) ::tcflush(fd_, TCOFLUSH);
}

void TComm::RxPurge() {
    pending_.clear();
    if (fd_ >= 0) ::tcflush(fd_, TCIFLUSH);
}

ssize_t TComm::ReadAvailable() {
    // A read returns at most one line; a line still waiting behind it wakes the program again.
    char chunk[1024];
    ssize_t n = 0;
    do
        n = ::read(fd_, chunk, sizeof chunk);
    while (n < 0 && errno == EINTR);
    if (n > 0) pending_.append(chunk, n);
    return n;
}

void TComm::ReadyRead() {
    const ssize_t n = ReadAvailable();
    if (n <= 0 && pending_.isEmpty()) {
        // Readable with nothing to read: either a spurious wake-up, or the device hung up.
        if (n < 0 && errno == EAGAIN) return;
        return LineLost(n == 0 ? QString("hang-up") : ErrorText(errno));
    }
    Deliver();
}

void TComm::Deliver() {
    if (pending_.isEmpty() || !OnCommReceive) return;
    const int count = std::min<int>(static_cast<int>(pending_.size()), 0xFFFF);
    OnCommReceive(this, static_cast<std::uint16_t>(count));
}

void TComm::LineLost(const QString& reason) {
    // Stop listening so the event loop does not spin on a dead device, and tell the owner once.
    notifier_.reset();
    ::close(fd_);
    fd_ = -1;
    pending_.clear();
    if (OnCommLost) OnCommLost(reason);
}

} // namespace platform
