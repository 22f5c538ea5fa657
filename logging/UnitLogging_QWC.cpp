#include "UnitLogging_QWC.h"

TfrmLogging_QWC* frmLogging_QWC = nullptr;

namespace {

const QStringList kVariables = {
    "TIME",  "VSET",  "PACT",  "VACT",  "VACTA", "VACTR", "AACT", "AACTR", "PREF",
    "VREF",  "AREF",  "QREF",  "QREFR", "PCOM",  "VCOM",  "ACOM", "QCOM",  "PERR",
    "PERR1", "VERR",  "AERR",  "VFFD",  "AFFD",  "QFFD",  "THET", "EDEG",  "SQPT",
    "ANCOM", "IREFU", "IREFV", "IACTQ", "IREFQ", "PWMQ",  "任意変数"};

} // namespace

TfrmLogging_QWC::TfrmLogging_QWC(QWidget* owner) : TFourChannelLogging(owner, kVariables) {}
