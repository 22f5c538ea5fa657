// The data upload dialog.
#pragma once

#include "ui/Form.h"

class TfrmUpload : public ui::Form {
    Q_OBJECT
public:
    explicit TfrmUpload(QWidget* owner) : ui::Form(owner) {}
};

extern TfrmUpload* frmUpload;
