// The data table window: the driver's data table entries in a grid.
#pragma once

#include "ui/Form.h"
#include "ui/StringGrid.h"
#include "ui/Timer.h"

#include <QLabel>

class TfrmDataTable : public ui::Form {
    Q_OBJECT
public:
    explicit TfrmDataTable(QWidget* owner);

    ui::StringGrid* grdDataTable;
    QLabel* Label3; // the "2" after the "KASO" label
    ui::Timer* Timer1;
    ui::Timer* Timer2;
    int ElapsedMs = 0;

    void ReceiveDataTable(QObject* sender);
};

extern TfrmDataTable* frmDataTable;
