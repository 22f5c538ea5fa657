// The editor's about box.
#pragma once

#include "ui/Form.h"

class TfrmHelpabout : public ui::Form {
    Q_OBJECT
public:
    explicit TfrmHelpabout(QWidget* owner);
};

extern TfrmHelpabout* frmHelpabout;
