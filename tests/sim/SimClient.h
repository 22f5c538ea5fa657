// The program's side of the simulated line in the tests: opens the device as a raw tty, writes
// command lines and waits on the event loop for the bytes that come back.
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QSocketNotifier>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

#include <termios.h>

class SimClient {
public:
    // Opens path raw at 9600 bps, 8N1; fd() is -1 when that failed.
    explicit SimClient(const QString& path);
    ~SimClient();

    int fd() const { return fd_; }
    void close();

    // Sets rate and framing (for example CS7 | PARENB) as the program does.
    void setLine(speed_t speed, tcflag_t framing);

    void send(const QByteArray& bytes);

    // The next reply line without its CR, or nothing when none completes within timeoutMs.
    std::optional<QByteArray> reply(int timeoutMs = 1000);

    // Runs the event loop until done() holds or timeoutMs passes; returns done(). The condition
    // is tested after each read, so it must depend on what the client received.
    bool waitUntil(const std::function<bool()>& done, int timeoutMs);

    // Bytes not yet taken by reply().
    QByteArray pending() const { return pending_; }

    // Each read as it arrived, with its arrival time since the client opened.
    struct Chunk {
        QByteArray bytes;
        qint64 atMs;
    };
    QList<Chunk> chunks() const { return chunks_; }

    // True once the line has hung up (end of file or an error on read).
    bool hungUp() const { return hungUp_; }

private:
    void readAvailable();

    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    QElapsedTimer clock_;
    QByteArray pending_;
    QList<Chunk> chunks_;
    bool hungUp_ = false;
    std::function<void()> afterRead_; // set while waitUntil runs
};
