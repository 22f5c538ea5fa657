// The main window: the tool bar that opens every screen, the command terminal, the designated
// axis and the line rate. Creating it loads the settings and opens the port; deleting it closes
// the port and writes the settings back.
#pragma once

#include "link/RateCommands.h"
#include "ui/Form.h"
#include "ui/Timer.h"
#include "ui/Widgets.h"

#include <QAction>
#include <QLabel>
#include <QToolBar>
#include <QToolButton>
#include <array>

class TfrmMain : public ui::Form {
    Q_OBJECT
public:
    static constexpr int kHistorySlots = 21; // 20 lines and an empty end mark

    explicit TfrmMain(QWidget* owner = nullptr);
    ~TfrmMain() override;

    // Controls.
    QToolBar* ToolBar1;
    QToolButton* btnSetup;
    QToolButton* btnPrm;
    QMenu* PopupMenu1;
    QAction* btnPopupPrm;
    QAction* btnPopupDataTable;
    QAction* btnPopupAlarmList;
    QToolButton* btnEdit;
    QToolButton* btnStat;
    QToolButton* btnLogging;
    QMenu* PopupMenu3;
    QAction* btnPopupLogging;
    QAction* btnPopupFRA;
    QToolButton* btnHelp;
    QMenu* PopupMenu2;
    QAction* btnPopupManual;
    QAction* btnPopupHelp;
    QLabel* Label1;
    QLabel* Label2;
    ui::Edit* edtSend;
    ui::TextLine* lblReceive;
    QLabel* Label3;
    QLabel* lblAxis;
    QLabel* Label4;
    QLabel* Label5; // the current rate
    QLabel* Label6; // the line format
    QLabel* Image1;
    ui::Timer* Timer1; // 100 ms: the terminal's rate change
    ui::Timer* Timer2; // 250 ms: the launchers' reply waits
    ui::Timer* Timer3; // 15 ms: the start-up axis probe

    // The terminal.
    bool SentState = false;
    std::array<QString, kHistorySlots> History;
    int HistoryIndex = 0;
    int HistoryDir = 0;

    // Logging channels as read from the settings (second series' four, then the third's).
    std::array<short, 8> LogChannel{};

    // DriveConstants: what the logging screens scale with until a pre-read sets the driver's.
    int KencValue = 100;
    int PulseScale = 0;
    int SpeedScale = 0;
    int EncoderResolution = 1000;
    int LinearMotorLength = 0;
    int RatedCurrent = 16;
    int MaxSpeed = 3000;
    int DetectMode = 40;
    int DetectMultiplier = 4;
    int MotorType = 0;
    int DriverMaxCurrent = 39;
    int SpeedMultiplier = 0;

    int ElapsedMs = 0;
    QByteArray VersionText;
    QByteArray DriverTypeText;
    QByteArray VerlgText;
    QByteArray ControlKhzText;
    QByteArray LogpText;
    int DriverTypeDigit = 0;
    int LogTimeValue = 0;
    int LogVersion = 0;
    bool LoggingReady = false;
    int AxisMask = 0;
    bool PortOpenFailed = false;

    // Shows a reply under the terminal's request id.
    void ShowTerminalReply(const QString& line);

    // Switches the port to a rate command's rate: close, set, `ticks` x4, open, Label5. On
    // failure shows `failureMessage` and opens the port once more; Label5 then shows the rate in
    // force, or "*****" with PortOpenFailed set when the port could not be opened at all.
    void ChangeLineRate(const RateCommand& rate, ui::Timer& ticks, const QString& failureMessage);

    // Handlers.
    void FormCreate();
    void FormDestroy();
    void btnSetupClick();
    void btnPopupPrmClick();
    void btnStatClick();
    void btnPopupDataTableClick();
    void btnPopupAlarmListClick();
    void btnPopupLoggingClick();
    void btnLoggingClick(QObject* sender); // the logging launcher's no-answer path
    // The logging pre-reads: drive constants and the logging window's set-up from the driver.
    void PrepareLogging_QWA();
    void PrepareLogging_QWB();
    void PrepareLogging_QWC();
    // Selects the listed variable `name` (else the custom item) in channel 1..4 of the series'
    // four-channel logging window.
    void SetLogChannelByName(const QString& name, int channel);
    void btnPopupFRAClick();
    void btnEditClick();
    void btnPopupManualClick();
    void btnPopupHelpClick();
    void edtSendKeyPress(QChar& key);
    void edtSendKeyDown(int& key, Qt::KeyboardModifiers shift);
    void Timer1Timer() { ++Timer1->Tag; }
    void Timer2Timer() { ElapsedMs += Timer2->interval(); }
    void Timer3Timer() { ++Timer3->Tag; }

    // Sends ".\r" when the box still shows "==" in its sent state (the driver's continuous
    // output); used by the loss of focus and the setup button.
    void StopContinuousOutput();

protected:
    void FormShow() override; // the start-up axis scan
    void FormActivate() override;
    void FormDeactivate() override;
    bool FormCloseQuery() override;
    // A close that goes on ends the program, whatever other windows show.
    void FormClose() override;

private:
    int loggingLaunchLosses_ = 0; // the count of lost lines when the logging launch began

    void BuildToolBar();
    void BuildTerminal();
    // What start-up takes from the settings besides the controls that hold them.
    struct StartSettings {
        int port = 1;
        int baud = 1200;
        int parity = 0;
        bool guide = true;
    };
    void CreateOwnedWindows();
    StartSettings LoadSettings();
    void OpenPortAtStart(const StartSettings& stored);
    void ShowFirstGuides(bool guide);
    void SaveSettings();
    void DeleteOwnedWindows();
    void SendTypedLine(const QString& typed);
    void TerminalLineNotAsked();
    void StoreInHistory(const QString& typed);
    void ShowHistoryLine(const QString& line);
};

extern TfrmMain* frmMain;
