// The first status monitor (first and second series, and the third series' QWC30 models).
#pragma once

#include "StatusMonitor.h"

class TfrmStat : public TStatusMonitor {
    Q_OBJECT
public:
    explicit TfrmStat(QWidget* owner);
};

extern TfrmStat* frmStat;
