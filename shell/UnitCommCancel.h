// The communication progress window that long transfers show, with its cancel button.
#pragma once

#include "ui/Form.h"

class TfrmCommCancel : public ui::Form {
    Q_OBJECT
public:
    explicit TfrmCommCancel(QWidget* owner);

    bool CancelRequested = false;
};

extern TfrmCommCancel* frmCommCancel;
