#include "SelectFreq.h"

TfrmFreqSel* frmFreqSel = nullptr;
