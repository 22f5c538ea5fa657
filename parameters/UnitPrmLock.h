// The parameter lock window: 200 parameters with the driver's locks in a check list; locked
// values are grey and cannot be edited.
#pragma once

#include "ui/Controls.h"
#include "ui/Form.h"
#include "ui/StringGrid.h"
#include "ui/Timer.h"

#include <QListWidget>
#include <QTextEdit>

class TfrmPrmLock : public ui::Form {
    Q_OBJECT
public:
    explicit TfrmPrmLock(QWidget* owner);

    ui::StringGrid* grdPrm;
    QListWidget* clbPrm; // item i: parameter #i, checked when the driver has locked it
    QTextEdit* RichEdit1;
    ui::CheckBox* PrmGuide_Checkbox;
    ui::Timer* Timer1;
    ui::Timer* Timer2;

    int ElapsedMs = 0;
    int Busy = 0;
    QByteArray ModelText;

    void ReceivePrm(QObject* sender);
    void PrmGuide_CheckboxClick();
};

extern TfrmPrmLock* frmPrmLock;
