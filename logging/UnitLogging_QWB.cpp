#include "UnitLogging_QWB.h"

#include "LoggingRules.h"
#include "shell/UnitMain.h"

TfrmLogging_QWB* frmLogging_QWB = nullptr;

namespace {

const QStringList kVariables = {"TIME", "VSET", "PACT", "VACT",  "VACTA", "VACTR", "AACT",
                                "PREF", "VREF", "AREF", "QREF",  "PCOM",  "VCOM",  "ACOM",
                                "QCOM", "PERR", "VERR", "AERR",  "VFFD",  "AFFD",  "QFFD",
                                "THET", "EDEG", "SQPT", "ANCOM", "IREFU", "IREFV", "任意変数"};

constexpr std::uint32_t kBufferAddress = 0x0020C000;

} // namespace

TfrmLogging_QWB::TfrmLogging_QWB(QWidget* owner)
    : TFourChannelLogging(owner, ridLogging_QWB, kVariables, logging::SecondSeriesPeriods()) {
    FinishCreation();
    SamplePeriod = logging::DecimalReplyOr(cmbLogTime->currentText().toLatin1(), 10);
    SetCh1Scale();
}

// A model text of exactly "QWB10" takes its period at a memory address.
QByteArray TfrmLogging_QWB::PeriodChangeCommand() const {
    const QByteArray text = LineBytes(cmbLogTime->currentText());
    if (frmMain->VersionText == "QWB10") return "#$0020041A=" + text + "\r";
    return "LTIME=" + text + "\r";
}

bool TfrmLogging_QWB::SendFirstReadRequest() {
    SendReadRequest("#%0020C000\r");
    LogBaseAddress = kBufferAddress;
    return true;
}

QByteArray TfrmLogging_QWB::NextReadRequest() const {
    const std::uint32_t address =
        LogBaseAddress + 4u * static_cast<std::uint32_t>(LogReplyCount - 1);
    return "#%00" + QByteArray::number(address, 16).toUpper().rightJustified(4, '0') + "\r";
}

// Integer arithmetic, wide enough for 999 x 500 x 20000.
int TfrmLogging_QWB::SampleX(int k, int from) const {
    const auto span = static_cast<long long>(TimeSpan);
    if (span <= 0) return PlotLeft + PlotWidth + 1;
    const long long product =
        static_cast<long long>(k - from) * PlotWidth * static_cast<long long>(SamplePeriod);
    return PlotLeft + static_cast<int>(product / span);
}

int TfrmLogging_QWB::ProgressX() const {
    const auto span = static_cast<long long>(TimeSpan);
    if (span <= 0) return PlotLeft;
    return PlotLeft +
           static_cast<int>(static_cast<long long>(ProgressElapsedMs) * PlotWidth / span);
}

QString TfrmLogging_QWB::DivisionText() const {
    return QString::number(static_cast<long long>(TimeSpan) / 10);
}
