// The analysis window's choice of a sampling frequency.
#pragma once

#include "ui/Form.h"

class TfrmFreqSel : public ui::Form {
    Q_OBJECT
public:
    explicit TfrmFreqSel(QWidget* owner) : ui::Form(owner) {}
};

extern TfrmFreqSel* frmFreqSel;
