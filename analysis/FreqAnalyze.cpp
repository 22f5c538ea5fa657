#include "FreqAnalyze.h"

TfrmFRA* frmFRA = nullptr;

TfrmFRA::TfrmFRA(QWidget* owner) : ui::Form(owner), Timer2(new ui::Timer(250, this)) {
    setWindowTitle("周波数応答解析(FRA)");
    connect(Timer2, &QTimer::timeout, this, [this] { ElapsedMs += Timer2->interval(); });
}
