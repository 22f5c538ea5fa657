// The setup dialog: port, rate, parity, driver series and the start-up check, and the check of
// which axes answer. Its combo boxes are the only store of these settings; the rest of the
// program reads them from here.
#pragma once

#include "AxisBoxes.h"
#include "ui/Controls.h"
#include "ui/Form.h"
#include "ui/Timer.h"

#include <QProgressBar>
#include <QPushButton>

class TfrmSetup : public ui::Form {
    Q_OBJECT
public:
    explicit TfrmSetup(QWidget* owner);

    ui::ComboBox* cmbModelType; // series QWA..QWD
    ui::ComboBox* cmbTransmit;  // 0: scan the axes at start-up
    QPushButton* btnClose;
    ui::ComboBox* cmbPort; // Comm1..Comm7
    ui::ComboBox* cmbBaudrate;
    ui::ComboBox* cmbParity; // 0: none, 8 bits; 1: even, 7 bits
    AxisBoxes* grpAxisCondition;
    QPushButton* btnCheck;
    QProgressBar* ProgressBar1;
    ui::Timer* Timer1; // 15 ms ticks of the axis probe

    // The port settings the dialog was shown with, or of the last check started; the dialog
    // closes only with these.
    int CheckedPort = 0;
    int CheckedBaudIndex = 0;
    int CheckedParityIndex = 0;

    void btnCloseClick();
    void btnCheckClick();
    // True when the last check of this showing could not open the port: it has warned, and the
    // program ends once the dialog has closed.
    bool CheckFoundNoPort() const { return portOpenFailed_; }

protected:
    void FormShow() override;
    void FormActivate() override;
    bool FormCloseQuery() override;
    void FormClose() override;

private:
    void BuildLayout();
    bool PortSettingsChecked() const;
    void RecordCheckedSettings();
    void ReturnToIdle();
    void RunCheck();
    bool closeRequested_ = false;
    bool portOpenFailed_ = false;
};

extern TfrmSetup* frmSetup;

// The driver series: the item index of the setup dialog's series list (-1 when none).
int SeriesIndex();

// The rate of a rate-list index (1200 for no selection).
int BaudOfIndex(int index);
// The rate-list index of a rate in bps (0 for a rate not in the list).
int IndexOfBaud(int baud);
// The main window's line format label for a parity index.
QString FormatOfParity(int parityIndex);

// Shows and hides the other windows' series-dependent items.
void ApplySeries();
// Opens the port with the settings last set; when it cannot, tells the user to start the program
// again and returns false.
bool OpenPortOrAskForRestart();
