#include "UnitUpload.h"

TfrmUpload* frmUpload = nullptr;
