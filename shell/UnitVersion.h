// The version box of the main window's help menu.
#pragma once

#include "ui/Form.h"

class TfrmVersion : public ui::Form {
    Q_OBJECT
public:
    explicit TfrmVersion(QWidget* owner);
};

extern TfrmVersion* frmVersion;
