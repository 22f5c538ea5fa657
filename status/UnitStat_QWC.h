// The status monitor of the third and fourth series: upper-case status commands, always the
// status commands "INSTA", "POLST" and "BUSAL".
#pragma once

#include "StatusMonitor.h"

class TfrmStat_QWC : public TStatusMonitor {
    Q_OBJECT
public:
    explicit TfrmStat_QWC(QWidget* owner);

    void DecodeAnother(const QByteArray& reply);
    void DecodePoleSens(const QByteArray& reply);
    void DecodeAnother2(const QByteArray& reply);

protected:
    QByteArray FixedCommand(int step) override;
    void DecodeLaterStep(int step, const QByteArray& reply) override;
};

extern TfrmStat_QWC* frmStat_QWC;
