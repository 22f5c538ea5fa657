#include "UnitLogging_QWB.h"

TfrmLogging_QWB* frmLogging_QWB = nullptr;

namespace {

const QStringList kVariables = {
    "TIME", "VSET",  "PACT", "VACT", "VACTA", "VACTR", "AACT", "PREF",  "VREF",  "AREF",
    "QREF", "PCOM",  "VCOM", "ACOM", "QCOM",  "PERR",  "VERR", "AERR",  "VFFD",  "AFFD",
    "QFFD", "THET",  "EDEG", "SQPT", "ANCOM", "IREFU", "IREFV", "任意変数"};

} // namespace

TfrmLogging_QWB::TfrmLogging_QWB(QWidget* owner) : TFourChannelLogging(owner, kVariables) {}
