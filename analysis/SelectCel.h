// The analysis window's choice of a table column.
#pragma once

#include "ui/Form.h"

class TfrmSelectCell : public ui::Form {
    Q_OBJECT
public:
    explicit TfrmSelectCell(QWidget* owner) : ui::Form(owner) {}
};

extern TfrmSelectCell* frmSelectCell;
