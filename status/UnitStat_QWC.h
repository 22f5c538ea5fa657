// The status monitor of the third and fourth series: upper-case status commands, always the
// status commands "INSTA", "POLST" and "BUSAL".
#pragma once

#include "StatusMonitor.h"

class TfrmStat_QWC : public TStatusMonitor {
    Q_OBJECT
public:
    explicit TfrmStat_QWC(QWidget* owner);

protected:
    QByteArray FixedCommand(int step) override;
    status::WordForm ExtraWordForm() const override { return status::WordForm::NewCommands; }
};

extern TfrmStat_QWC* frmStat_QWC;
