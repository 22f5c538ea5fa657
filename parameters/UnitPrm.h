// The parameter list window: the driver's parameters of the catalogued models in a grid (name,
// value, reference value) with a guide pane for the selected row.
#pragma once

#include "PrmWindow.h"

class TfrmPrm : public TPrmWindow {
    Q_OBJECT
public:
    explicit TfrmPrm(QWidget* owner);

    int ParameterCount() const override;
    int FileParameterCount() override;
    void ShowGuide(int row) override;

protected:
    TRequestId WriteRequestId() const override { return ridPrmSend; }
    bool NeverWritten(int number) const override;
    QString ReadHeader() const override;
    bool ReadSetsRowCount() const override { return true; }
    void BeforeRead() override;
    TPrmWindow* Twin() const override;
    int FileValueLimit() const override { return 61; }
    QString PrintSampleName() const override;
};

extern TfrmPrm* frmPrm;

// The list window's parameter count for a series and a model text: 64, 90, 97 or 110.
int PrmListCount(int seriesIndex, const QByteArray& modelText);

// Clears the list window's guide pane and writes the guide of a grid row.
void ShowPrmGuide(int row);
