// The frequency response analysis window.
#pragma once

#include "ui/Form.h"
#include "ui/Timer.h"

class TfrmFRA : public ui::Form {
    Q_OBJECT
public:
    explicit TfrmFRA(QWidget* owner);

    ui::Timer* Timer2; // 250 ms reply wait
    int ElapsedMs = 0;
};

extern TfrmFRA* frmFRA;
