#include "UnitDownload.h"

TfrmDownload* frmDownload = nullptr;
