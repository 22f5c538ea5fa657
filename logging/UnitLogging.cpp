#include "UnitLogging.h"

TfrmLogging* frmLogging = nullptr;

TfrmLogging::TfrmLogging(QWidget* owner) : ui::Form(owner) { setWindowTitle("ﾃﾞｰﾀﾛｷﾞﾝｸﾞ"); }

void TfrmLogging::ReceiveLogData(QObject*) {
    // No fetch is running until the window starts a recording.
}
