// The status monitor of the third and fourth series.
#pragma once

#include "StatusMonitor.h"

class TfrmStat_QWC : public TStatusMonitor {
    Q_OBJECT
public:
    explicit TfrmStat_QWC(QWidget* owner);
};

extern TfrmStat_QWC* frmStat_QWC;
