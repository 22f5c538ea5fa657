#include "UnitStat_QWC.h"

#include "shell/UnitGeneral.h"
#include "shell/UnitSetup.h"
#include "ui/Codec.h"

TfrmStat_QWC* frmStat_QWC = nullptr;

namespace {

constexpr status::WordForm kForm = status::WordForm::NewCommands;

} // namespace

TfrmStat_QWC::TfrmStat_QWC(QWidget* owner)
    : TStatusMonitor(owner, ridStat_QWC, status::Monitor::StatQwc, status::StatQwcVariableItems()) {
    alst_bit[0]->setText(" 0 (ﾊﾟﾗﾒｰﾀ警告)");
    ShowUpperOustLamps(false);
    SetGroupCaptions(false);
    FitCaptions();
    cmbAct0->SetItemIndex(0); // "$PACT"
    cmbAct1->SetItemIndex(1); // "$VACT"
}

QByteArray TfrmStat_QWC::FixedCommand(int step) {
    return status::FixedPollCommand(status::Monitor::StatQwc, SeriesIndex(), 1, step);
}

void TfrmStat_QWC::DecodeLaterStep(int step, const QByteArray& reply) {
    switch (step) {
    case 9:
        DecodeAnother(reply);
        break;
    case 10:
        DecodePoleSens(reply);
        break;
    case 11:
        DecodeAnother2(reply);
        break;
    case 12:
        lblMbst->setText(ui::cp932::Decode(reply));
        break;
    case 13:
        lblSqpt->setText(ui::cp932::Decode(reply));
        break;
    default:
        break;
    }
}

void TfrmStat_QWC::DecodeAnother(const QByteArray& reply) {
    ShowLamps(status::OtherInputLamps(kForm, reply));
}

void TfrmStat_QWC::DecodePoleSens(const QByteArray& reply) {
    ShowLamps(status::PoleSensorLamps(kForm, reply));
}

void TfrmStat_QWC::DecodeAnother2(const QByteArray& reply) {
    ShowLamps(status::OtherOutputLamps(kForm, reply));
}
