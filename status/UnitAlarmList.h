// The alarm history window.
#pragma once

#include "ui/Form.h"
#include "ui/StringGrid.h"
#include "ui/Timer.h"

class TfrmAlarmList : public ui::Form {
    Q_OBJECT
public:
    explicit TfrmAlarmList(QWidget* owner);

    ui::StringGrid* grdAlarmList;
    ui::Timer* Timer1;

    void ReceiveAlarmList(QObject* sender);
};

extern TfrmAlarmList* frmAlarmList;
