#include "UnitLogging_QWC.h"

#include "LoggingRules.h"
#include "shell/UnitMain.h"
#include "ui/Codec.h"
#include "ui/Dialogs.h"
#include "ui/Guard.h"
#include "ui/Widgets.h"

#include <algorithm>
#include <cctype>
#include <cmath>

TfrmLogging_QWC* frmLogging_QWC = nullptr;

namespace {

const QStringList kVariables = {"TIME",  "VSET",  "PACT",  "VACT",  "VACTA", "VACTR",   "AACT",
                                "AACTR", "PREF",  "VREF",  "AREF",  "QREF",  "QREFR",   "PCOM",
                                "VCOM",  "ACOM",  "QCOM",  "PERR",  "PERR1", "VERR",    "AERR",
                                "VFFD",  "AFFD",  "QFFD",  "THET",  "EDEG",  "SQPT",    "ANCOM",
                                "IREFU", "IREFV", "IACTQ", "IREFQ", "PWMQ",  "任意変数"};

const QStringList kPeriods = {"0",   "0.25", "1",    "2",    "3",     "4",    "5",   "6",
                              "7",   "8",    "9",    "10",   "20",    "50",   "100", "200",
                              "500", "1000", "2000", "5000", "10000", "20000"};

bool HasLogVersion() {
    return frmMain->LogVersion >= 1;
}

} // namespace

TfrmLogging_QWC::TfrmLogging_QWC(QWidget* owner)
    : TFourChannelLogging(owner, ridLogging_QWC, kVariables, kPeriods) {
    BuildCursor();
    FinishCreation();
    // The readouts' titles keep a blank before the values beside them.
    for (QLabel* title : {Label1, Label2})
        ui::NarrowToFit(title, title->text(),
                        title->width() - title->fontMetrics().horizontalAdvance(' '));
    const QString text = cmbLogTime->currentText();
    SamplePeriod =
        FractionalPeriod() ? text.toDouble() : logging::DecimalReplyOr(text.toLatin1(), 10);
    SetCh1Scale();
}

// Entry 0 (one control cycle), and entry 1 ("0.25") on drivers with a logging version, carry
// fractions of a millisecond.
bool TfrmLogging_QWC::LongEntry(int item) const {
    return item == 0 || (item == 1 && frmMain && HasLogVersion());
}

bool TfrmLogging_QWC::FractionalPeriod() const {
    return LongEntry(PeriodItem());
}

void TfrmLogging_QWC::SelectActivationPeriod() {
    if (frmMain->LogTimeValue == 0) {
        const std::optional<int> khz = logging::DecimalReply(frmMain->ControlKhzText);
        if (khz)
            if (const std::optional<QString> text = logging::FastestPeriodText(*khz))
                cmbLogTime->setItemText(0, *text);
        cmbLogTime->SetItemIndex(0);
    } else if (frmMain->LogTimeValue == -4 && HasLogVersion()) {
        cmbLogTime->SetItemIndex(1);
    }
}

QByteArray TfrmLogging_QWC::PeriodChangeCommand() const {
    if (PeriodItem() == 0) return "LTIME=0\r";
    if (PeriodItem() == 1 && HasLogVersion()) return "LTIME=-4\r";
    return "LTIME=" + LineBytes(cmbLogTime->currentText()) + "\r";
}

QByteArray TfrmLogging_QWC::RunPeriodCommand() const {
    if (PeriodItem() == 0 && HasLogVersion()) return "LTIME=0\r";
    if (PeriodItem() == 1 && HasLogVersion()) return "LTIME=-4\r";
    return "LTIME=" + LineBytes(cmbLogTime->currentText()) + "\r";
}

bool TfrmLogging_QWC::RefusedName(const QString& name) const {
    static const QStringList refused = {"AACTR", "PERR1", "IACTQ", "IREFQ", "PWMQ"};
    return frmMain->VersionText.contains("QWC30") && refused.contains(name);
}

std::optional<std::uint32_t> TfrmLogging_QWC::BufferAddress() const {
    const QByteArray& text = frmMain->LogpText;
    const bool hexadecimal =
        !text.isEmpty() && text.size() <= 8 && std::all_of(text.begin(), text.end(), [](char ch) {
            return std::isxdigit(static_cast<unsigned char>(ch));
        });
    if (hexadecimal) return text.toUInt(nullptr, 16);
    ui::ShowWarning(QString("ﾛｸﾞﾊﾞｯﾌｧのｱﾄﾞﾚｽ \"%1\" は16進数ではありません。")
                        .arg(CleanLineField(ui::cp932::Decode(text))),
                    "警告");
    return std::nullopt;
}

bool TfrmLogging_QWC::RunChecks() {
    return TFourChannelLogging::RunChecks() && BufferAddress().has_value();
}

bool TfrmLogging_QWC::SendFirstReadRequest() {
    const std::optional<std::uint32_t> address = BufferAddress();
    if (!address) return false;
    LogBaseAddress = *address;
    SendReadRequest("#%" + frmMain->LogpText + "\r");
    return true;
}

QByteArray TfrmLogging_QWC::NextReadRequest() const {
    const std::uint32_t step = frmMain->VersionText.contains("QWC30") ? 4 : 2;
    const std::uint32_t address =
        LogBaseAddress + static_cast<std::uint32_t>(LogReplyCount - 1) * step;
    return "#%" + QByteArray::number(address, 16).toUpper().rightJustified(8, '0') + "\r";
}

int TfrmLogging_QWC::SampleX(int k, int from) const {
    if (TimeSpan <= 0) return PlotLeft + PlotWidth + 1;
    const double product = static_cast<double>((k - from) * PlotWidth);
    return logging::TruncateToInt32(product * SamplePeriod / TimeSpan + PlotLeft);
}

int TfrmLogging_QWC::ProgressX() const {
    if (TimeSpan <= 0) return PlotLeft;
    return logging::TruncateToInt32(PlotLeft + PlotWidth * ProgressElapsedMs / TimeSpan);
}

QString TfrmLogging_QWC::DivisionText() const {
    return logging::ShortestDecimal(TimeSpan * 0.1);
}

void TfrmLogging_QWC::SetRunViewEnabled(bool enabled) {
    TFourChannelLogging::SetRunViewEnabled(enabled);
    btnCursor->setEnabled(enabled);
}
