// The four-channel logging window of the third and fourth series.
#pragma once

#include "FourChannelLogging.h"

class TfrmLogging_QWC : public TFourChannelLogging {
    Q_OBJECT
public:
    explicit TfrmLogging_QWC(QWidget* owner);
};

extern TfrmLogging_QWC* frmLogging_QWC;
