// The second series' four-channel logging window.
#pragma once

#include "FourChannelLogging.h"

class TfrmLogging_QWB : public TFourChannelLogging {
    Q_OBJECT
public:
    explicit TfrmLogging_QWB(QWidget* owner);

protected:
    logging::FourChannelSeries Series() const override {
        return logging::FourChannelSeries::Second;
    }
    TRequestId ReadBackId() const override { return ridLogging_QWB; }
    QByteArray PeriodChangeCommand() const override;
    QByteArray RunPeriodCommand() const override { return PeriodChangeCommand(); }
    bool SendFirstReadRequest() override;
    QByteArray NextReadRequest() const override;
    int SampleX(int k, int from) const override;
    int ProgressX() const override;
    QString DivisionText() const override;
};

extern TfrmLogging_QWB* frmLogging_QWB;
