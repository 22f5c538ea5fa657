// The first series' logging window (one channel).
#pragma once

#include "ui/Form.h"

class TfrmLogging : public ui::Form {
    Q_OBJECT
public:
    explicit TfrmLogging(QWidget* owner);

    // The reply step of the fetch of the recorded buffer.
    void ReceiveLogData(QObject* sender);
};

extern TfrmLogging* frmLogging;
