// The program editor's about box: names the controller-program compiler of the current series.
#pragma once

#include "InfoBox.h"

class TfrmHelpabout : public TInfoBox {
    Q_OBJECT
public:
    explicit TfrmHelpabout(QWidget* owner);

protected:
    void FormShow() override;
};

extern TfrmHelpabout* frmHelpabout;
