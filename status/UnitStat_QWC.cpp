#include "UnitStat_QWC.h"

TfrmStat_QWC* frmStat_QWC = nullptr;

TfrmStat_QWC::TfrmStat_QWC(QWidget* owner) : TStatusMonitor(owner) {
    setWindowTitle("ｽﾃｰﾀｽ");
}
