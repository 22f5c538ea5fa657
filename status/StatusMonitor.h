// What the two status monitors share: the stop sequence of their hide handler and the hand-over
// of a line typed in the terminal, which the polling monitor sends in place of its next poll.
#pragma once

#include "ui/Form.h"
#include "ui/Timer.h"

class TStatusMonitor : public ui::Form {
    Q_OBJECT
public:
    explicit TStatusMonitor(QWidget* owner);

    // The index of the current poll step; the terminal writes -1 to hand a typed line over.
    int PollStep = 0;
    bool StopPolling = true;

    ui::Timer* Timer1; // 250 ms watchdog of the poll cycle
    ui::Timer* Timer2; // 100 ms ticks of the stop and the rate change

    // Called with each reply line while RequestId names this monitor.
    void ReceiveStatus(QObject* sender);

protected:
    void FormHide() override;

private:
    void SendTypedLine();
};
