// The serial component: a tty device driven through termios, whose receive event reaches the
// program on its one thread through the event loop. Port n (listed "Comm<n>") maps to a device
// path: the environment variable KASONT_DEVICE (the device of every port) wins, then
// KASONT_COMM<n>, then the settings' [Devices] Comm<n>, else /dev/ttyS<n-1>.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <sys/types.h>
#include <termios.h>
#include <vector>

class QSocketNotifier;

namespace platform {

// Raised when the port cannot be opened, closed, configured or written; its text is shown to the
// user as it stands.
class ECommError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Raised by a send while the port is not open (never opened, or lost and not reopened).
class ECommNotOpen : public ECommError {
public:
    using ECommError::ECommError;
};

enum TCommByteSize { _5 = 0, _6 = 1, _7 = 3, _8 = 4 };
enum TCommParityBits { pbNone = 0, pbOdd = 1, pbEven = 2 };

// The settings of `asked` that a device's read-back `held` does not hold, each with what it holds
// instead ("even parity (holds no parity)"), in the order rate, framing (data bits, parity, stop
// bits), flow control, then the byte handling of input, lines and output; empty when it holds them
// all.
struct UntakenSetting {
    QString text;
    bool framing = false;
};
std::vector<UntakenSetting> UntakenSettings(const termios& asked, const termios& held);
// The framing of settings as the line's format is written: data bits, parity, stop bits ("7E1").
QString FramingText(const termios& settings);

class TComm : public QObject {
    Q_OBJECT
public:
    explicit TComm(QObject* parent = nullptr);
    ~TComm() override;

    std::uint8_t Port = 1;
    int BaudRate = 1200;
    void SetByteSize(TCommByteSize size) { byteSize_ = size; }
    void SetParityBits(TCommParityBits parity) { parity_ = parity; }
    TCommByteSize ByteSize() const { return byteSize_; }
    TCommParityBits ParityBits() const { return parity_; }

    // The device that port n opens, by the rule in the header comment.
    static QString DevicePath(int port);
    QString DevicePath() const { return DevicePath(Port); }

    // Opens the device with the current settings and reads them back. A device that holds other
    // settings than it was asked does not open; a pseudo-terminal, which carries bytes and no
    // framing, opens with the framing it holds, and says so on standard error. A failure is also
    // written to standard error as one line naming the port, its device and the reason (for a
    // setting not taken: which, and what the device holds instead).
    void Open();
    void Close();
    bool Opened() const { return fd_ >= 0; }

    // Hands every byte to the port before it returns.
    void SendString(const QByteArray& text);
    // Raises ECommNotOpen unless the port is open: what a send would raise, before anything goes.
    void CheckOpen() const;

    // Copies exactly `count` received bytes in order of arrival; returns how many it got.
    int Read(char* buffer, int count);

    void TxPurge();
    void RxPurge();

    // The line settings in force since the last Open, as the device read them back: what was
    // asked, but for the framing of a pseudo-terminal, which holds its own (see Open).
    const termios& AppliedSettings() const { return applied_; }

    // OnCommReceive and OnCommLost run from the event loop, so neither may let an exception out:
    // their owner runs them through the widget layer's guard (ui::RunGuarded).

    // Raised through the event loop after a line (ended by CR or LF) has arrived; `count` can be
    // read now.
    std::function<void(QObject* sender, std::uint16_t count)> OnCommReceive;
    std::function<void(QObject* sender, std::uint16_t count)> OnCommTransmit;
    // Raised once when the device goes away while open (unplugged, hung up); the port is then
    // closed.
    std::function<void(const QString& reason)> OnCommLost;

private:
    void ReadyRead();
    // Reads what has come into pending_; the read's result.
    ssize_t ReadAvailable();
    void Deliver();
    void LineLost(const QString& reason);
    void OpenDevice();
    void Configure();
    // Reads the settings back after `asked` was set: raises for a setting not taken, and tells
    // of a pseudo-terminal's own framing.
    void CheckSettingsTaken(const termios& asked);
    ECommError Error(const QString& what, const QString& reason) const;
    [[noreturn]] void Fail(const QString& what, int error) const;
    static std::string NotOpenText(int port);

    int fd_ = -1;
    TCommByteSize byteSize_ = _8;
    TCommParityBits parity_ = pbNone;
    std::unique_ptr<QSocketNotifier> notifier_;
    QByteArray pending_; // read on a wake-up, not yet taken by Read
    termios applied_{};
};

} // namespace platform
