// What the two status monitors share: their one layout of lamps, bars and labels, the
// reply-driven poll cycle with its watchdog, the hand-over of a line typed in the terminal,
// which the polling monitor sends in place of its next poll, and the stop on hide.
#pragma once

#include "link/Exchange.h"

#include <functional>

#include "StatusDecoders.h"
#include "StatusPollTable.h"
#include "ui/Controls.h"
#include "ui/Form.h"
#include "ui/Timer.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>

#include <array>

class TStatusMonitor : public ui::Form {
    Q_OBJECT
public:
    static constexpr int kWatchdogLimitMs = 1000;

    // The index of the step whose reply is awaited; the terminal writes -1 to hand a typed line
    // over.
    int PollStep = 0;
    int WatchdogMs = 0;
    // From hide to the next show: a reply is still decoded but no command follows.
    bool StopPolling = false;
    // The user's own variable names of the two selectors.
    QString CustomName0;
    QString CustomName1;

    ui::Timer* Timer1; // 250 ms watchdog of the poll cycle
    ui::Timer* Timer2; // 100 ms ticks of the stop and the rate change

    // The lamp groups; lamp n of a group and its caption.
    QGroupBox *grpStat, *grpInst, *grpOust, *grpAlst;
    std::array<QLabel*, 16> lblStat{}, stat_bit{}, lblAlst{}, alst_bit{};
    std::array<QLabel*, 8> lblInst{}, inst_bit{}, lblOust{}, oust_bit{};
    QGroupBox *grpAnother, *grpPoleSens, *grpAnother2, *grpMailBox;
    QLabel *lblExtInt, *ExtInt, *lblHome, *Home;
    QLabel *lblPole_U, *Pole_U, *lblPole_V, *Pole_V, *lblPole_W, *Pole_W;
    QLabel *lblUnderVolt, *UnderVolt, *lblOverVolt, *OverVolt, *lblOverCurrent, *OverCurrent;
    QLabel *lblMbst, *MBST, *lblSqpt, *SQPT;
    QFrame *Bevel6, *Bevel7;
    // The values shown as received.
    QGroupBox *grpQref, *grpLoad, *grpMode, *grpVal;
    QLabel *lblQref, *lblLoad, *lblMode, *lblVal0, *lblVal1;
    ui::ComboBox *cmbAct0, *cmbAct1;
    // The torque bar (Shape1 at the bottom to Shape16) and the load bar (Shape18 to Shape37).
    std::array<QFrame*, 16> QrefShapes{};
    std::array<QFrame*, 20> LoadShapes{};

    // Called with each reply line while RequestId names this monitor (the data module as
    // sender), and by the watchdog with Timer1 as sender to restart the cycle.
    void ReceiveStatus(QObject* sender);

    // The decoders both monitors share; each takes the reply of its step.
    void DecodeStat(const QByteArray& reply);
    void DecodeAlst(const QByteArray& reply);
    void DecodeInst(const QByteArray& reply);
    void DecodeOust(const QByteArray& reply);
    void DecodeQref(const QByteArray& reply);
    void DecodeLoad(const QByteArray& reply);
    // The extra inputs, the pole sensors and the extra outputs, in the monitor's word form.
    void DecodeAnother(const QByteArray& reply);
    void DecodePoleSens(const QByteArray& reply);
    void DecodeAnother2(const QByteArray& reply);

    void Timer1Timer();
    void Timer2Timer() { ++Timer2->Tag; }
    // Enter stores the selector's text as the user's own variable name.
    void cmbAct0KeyPress(QChar& key);
    void cmbAct1KeyPress(QChar& key);

    // Narrows the captions and group titles that the window's font would let run past their
    // groups; run again after captions change.
    void FitCaptions();

protected:
    TStatusMonitor(QWidget* owner, int requestId, status::Monitor monitor,
                   const QStringList& variableItems);

    void FormShow() override;
    void FormHide() override;
    void FormActivate() override;

    // What the two monitors do differently: the command of a step other than the variables,
    // without CR; the form of the extra input and output words; and the keeping of the model
    // text, which only the first monitor polls.
    virtual QByteArray FixedCommand(int step) = 0;
    virtual status::WordForm ExtraWordForm() const = 0;
    virtual void StoreModelText(const QByteArray&) {}

    void ShowLamps(const std::vector<status::LampSetting>& lamps);
    // The #OUST lamps 5 to 7 and their captions.
    void ShowUpperOustLamps(bool shown);
    void SetGroupCaptions(bool numbered);

private:
    static int CaptionRoom(const QLabel& caption);
    void BuildLayout();
    void BuildExtraGroups();
    void BuildValueGroups();
    void BuildBars();
    ui::ComboBox* BuildSelector(int left);
    void DecodeStep(int step, const QByteArray& reply);
    void DecodeLaterStep(int step, const QByteArray& reply);
    QByteArray PollCommand(int step);
    int LastStep() const;
    int StoppedStep() const;
    void RestartCycle();
    void SendPoll(int step);
    void SendTypedLine();
    // Sends one line that wants no answer, or asks a question (a poll, a typed line); false when
    // the port did not take it (reported once per outage).
    bool Send(const QByteArray& line, int requestId, char axis = 0);
    bool Ask(const QByteArray& line, int requestId);
    bool AskPoll(const QByteArray& line);
    bool Deliver(const std::function<bool()>& send);
    void SendFailed();

    const int requestId_;
    // The polls, from the monitor's show on, go to the axis designated then; an end by a failed
    // send, an unanswered poll or a lost line leaves the watchdog to resume them.
    Exchange polls_;
    const status::Monitor monitor_;
    const QStringList& variableItems_;
    // The port has refused a send (or the line was lost) since the last send that went out.
    bool lineDown_ = false;
    int lossesAtLastSend_ = 0;
};
