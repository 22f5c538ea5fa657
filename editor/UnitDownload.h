// The data download dialog.
#pragma once

#include "ui/Form.h"

class TfrmDownload : public ui::Form {
    Q_OBJECT
public:
    explicit TfrmDownload(QWidget* owner) : ui::Form(owner) {}
};

extern TfrmDownload* frmDownload;
