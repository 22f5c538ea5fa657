#include "SelectCel.h"

TfrmSelectCell* frmSelectCell = nullptr;
