// The splash window of the start-up axis scan: progress over the 26 letters and a cancel button.
#pragma once

#include "AxisBoxes.h"
#include "ui/Form.h"
#include "ui/Timer.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

class TfrmSplashWindow : public ui::Form {
    Q_OBJECT
public:
    explicit TfrmSplashWindow(QWidget* owner);

    QLabel* Panel1;
    AxisBoxes* grpAxisCondition;
    QPushButton* btnCancel;
    QProgressBar* ProgressBar1;
    ui::Timer* Timer1; // 250 ms: the heading blinks black and red

    bool CancelRequested = false;

    void Timer1Timer();
    void btnCancelClick() { CancelRequested = true; }
};

extern TfrmSplashWindow* frmSplashWindow;
