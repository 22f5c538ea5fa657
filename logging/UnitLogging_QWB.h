// The second series' four-channel logging window.
#pragma once

#include "FourChannelLogging.h"

class TfrmLogging_QWB : public TFourChannelLogging {
    Q_OBJECT
public:
    explicit TfrmLogging_QWB(QWidget* owner);
};

extern TfrmLogging_QWB* frmLogging_QWB;
