#include "UnitCommCancel.h"

TfrmCommCancel* frmCommCancel = nullptr;

TfrmCommCancel::TfrmCommCancel(QWidget* owner) : ui::Form(owner) { setWindowTitle("通信中"); }
