#include "UnitStat.h"

TfrmStat* frmStat = nullptr;

TfrmStat::TfrmStat(QWidget* owner) : TStatusMonitor(owner) {
    setWindowTitle("ｽﾃｰﾀｽ");
}
