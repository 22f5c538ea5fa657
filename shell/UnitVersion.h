// The version box of the main window's help menu.
#pragma once

#include "InfoBox.h"

class TfrmVersion : public TInfoBox {
    Q_OBJECT
public:
    explicit TfrmVersion(QWidget* owner);
};

extern TfrmVersion* frmVersion;
