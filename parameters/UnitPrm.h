// The parameter list window: the driver's parameters in a grid (name, value, reference value)
// with a guide pane for the selected row.
#pragma once

#include "ui/Controls.h"
#include "ui/Form.h"
#include "ui/StringGrid.h"
#include "ui/Timer.h"

#include <QLabel>
#include <QTextEdit>

class TfrmPrm : public ui::Form {
    Q_OBJECT
public:
    explicit TfrmPrm(QWidget* owner);

    ui::StringGrid* grdPrm;
    QLabel* Label3; // the "2" after the "KASO" label
    QTextEdit* RichEdit1; // the guide pane
    ui::CheckBox* PrmGuide_Checkbox;
    ui::Timer* Timer1; // 1 ms ticks before the queries
    ui::Timer* Timer2; // 250 ms reply wait

    int ElapsedMs = 0;
    int Busy = 0;
    QByteArray ModelText;

    // The reply step of the parameter read.
    void ReceivePrm(QObject* sender);
    void PrmGuide_CheckboxClick();
};

extern TfrmPrm* frmPrm;
