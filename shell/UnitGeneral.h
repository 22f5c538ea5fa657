// The serial data module: the only place that talks to the port. It sends whole command lines,
// cuts reply lines out of a 50-character receive ring and routes each line to the screen that
// the current request id names.
#pragma once

#include "platform/Comm.h"
#include "ui/FileDialogs.h"
#include "ui/Printing.h"

#include <QByteArray>
#include <QObject>
#include <array>
#include <memory>

// The receiver of the next reply line.
using TRequestId = int;
enum : TRequestId {
    ridStopped = -1,
    ridNone = 0,
    ridTerminal = 1,
    ridStat = 2,
    ridStat_QWC = 3,
    ridPrm = 4,
    ridEditReply = 5,
    ridDataUpload = 6,
    ridLogging = 7,
    ridPrmSend = 8,
    ridLogging_QWB = 9,
    ridLogging_QWC = 10,
    ridDataTable = 12,
    ridAlarmList = 13,
    ridProgramUpload = 14,
    ridPrmLock = 15,
};

class TmdlGeneral : public QObject {
    Q_OBJECT
public:
    static constexpr int kRingSize = 50;

    explicit TmdlGeneral(QObject* owner = nullptr);
    ~TmdlGeneral() override;

    platform::TComm* Comm1;
    // The shared dialogs: each user sets the filter and title it needs before running one.
    std::unique_ptr<ui::FileDialog> SaveDialog1;
    std::unique_ptr<ui::FileDialog> OpenDialog1;
    std::unique_ptr<ui::PrintDialog> PrintDialog1;

    std::array<char, kRingSize> RxBuffer{};
    int RxIndex = 0;
    TRequestId RequestId = ridNone;
    int PadLength = 0;
    bool ReplyReceived = false;
    bool SendComplete = true;
    QByteArray LastReply; // bytes as received; decode only for display

    // Sends one command line (the caller appends the CR); raises the port's error on failure.
    void SendCommand(const QByteArray& line, TRequestId requestId);
    void SendCommand(const QString& line, TRequestId requestId);

    // Port number n of Comm<n>, rate in bps, parity index (1: 7 data bits even, else 8 none).
    void SetCommParams(short port, unsigned int baud, short parity);

    void Comm1CommReceive(QObject* sender, std::uint16_t count);
    // The receive path after the read: stores one received chunk in the ring and delivers the
    // newest complete line, if any.
    void ReceiveChunk(const QByteArray& chunk);
    void Comm1CommTransmit(QObject* sender, std::uint16_t count);

private:
    void mdlGeneralCreate();
    bool CutNewestLine(QByteArray& line) const;
    void Dispatch();
    void CommLost(const QString& reason);
};

extern TmdlGeneral* mdlGeneral;
