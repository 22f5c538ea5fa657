// The pseudo-terminal under the simulated driver: the simulator owns the master side, the program
// opens the slave side as an ordinary tty.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <termios.h>

class QSocketNotifier;

namespace sim {

class PseudoTerminal : public QObject {
    Q_OBJECT
public:
    // Opens a new pseudo-terminal; throws std::system_error when the system refuses one.
    explicit PseudoTerminal(QObject* parent = nullptr);
    ~PseudoTerminal() override;

    // The device path that the program opens, such as /dev/pts/3.
    QString slavePath() const { return slavePath_; }

    // False after close().
    bool isOpen() const { return master_ >= 0; }

    // Queues bytes for the program; what the master cannot take now goes when it can.
    void write(const QByteArray& bytes);

    // Closes both sides, so the device disappears and the program sees a hang-up.
    void close();

    // The line settings as the program last set them (one termios serves both sides);
    // all zero once closed.
    termios lineSettings() const;

signals:
    // Bytes the program wrote to the slave side, in order of arrival.
    void received(const QByteArray& bytes);

private:
    void readMaster();
    void writePending();

    int master_ = -1;
    // Held open and raw for the simulator's whole life, so the program's own close never
    // hangs up the line and the master never reads end of file.
    int slave_ = -1;
    QString slavePath_;
    QSocketNotifier* readNotifier_ = nullptr;
    QSocketNotifier* writeNotifier_ = nullptr;
    QByteArray unwritten_;
};

} // namespace sim
