// The logging pre-reads of the main window: the drive constants the windows scale with, and the
// logging settings held in the driver (mode, period, channel variables, buffer address) written
// into the window before it opens. Every query waits for its reply; a missing one ends the
// pre-read through the launcher's no-answer path.
#include "LoggingRules.h"
#include "UnitLogging.h"
#include "UnitLogging_QWB.h"
#include "UnitLogging_QWC.h"
#include "link/UnitGeneral.h"
#include "link/Waits.h"
#include "shell/UnitMain.h"
#include "shell/UnitSetup.h"
#include "ui/Codec.h"

#include <QSignalBlocker>
#include <algorithm>

namespace {

using logging::DecimalReplyOr;

// One query: true with the reply in LastReply, false after the no-answer path.
bool Ask(TfrmMain& main, const char* command) {
    main.ElapsedMs = 0;
    if (AskAndWait(QByteArray(command), main.ElapsedMs, *main.Timer2)) return true;
    main.ElapsedMs = 0;
    main.btnLoggingClick(main.Timer2);
    return false;
}

// A reply read as a decimal integer, `fallback` when it is none or (with zeroToo) 0.
int Reply(int fallback, bool zeroToo) {
    const int value = DecimalReplyOr(mdlGeneral->LastReply(), fallback);
    return zeroToo && value == 0 ? fallback : value;
}

// "#0\r" twice, "VER\r", the motor parameters and K: steps shared by the four-channel reads.
bool ReadMotorConstants(TfrmMain& main) {
    if (!Ask(main, "#0\r") || !Ask(main, "#0\r")) return false;
    main.EncoderResolution = Reply(1000, true);
    if (!Ask(main, "VER\r")) return false;
    main.VersionText = mdlGeneral->LastReply();
    if (!Ask(main, "#1\r")) return false;
    main.LinearMotorLength = Reply(0, false);
    if (!Ask(main, "#3\r")) return false;
    main.RatedCurrent = Reply(16, true);
    if (!Ask(main, "#7\r")) return false;
    main.MaxSpeed = Reply(3000, true);
    if (!Ask(main, "#8\r")) return false;
    main.DetectMode = Reply(40, true);
    if (!Ask(main, "#38\r")) return false;
    main.MotorType = Reply(2, false);
    if (main.MotorType < 0) main.MotorType = 2;
    if (!Ask(main, "#41\r")) return false;
    main.DriverMaxCurrent = Reply(39, true);
    main.DetectMultiplier = logging::DetectMultiplierOf(main.DetectMode);
    if (!Ask(main, "#KENC\r")) return false;
    main.KencValue = std::clamp(Reply(100, false), 1, 1000);
    return true;
}

// "#76\r" and the pulse and speed scales derived from it, in the driver's 32-bit arithmetic.
bool ReadSpeedScales(TfrmMain& main) {
    if (!Ask(main, "#76\r")) return false;
    main.SpeedMultiplier = std::max(Reply(1, false), 1);
    main.PulseScale = logging::Multiply32(main.EncoderResolution, main.KencValue);
    const std::int32_t numerator =
        logging::IsLinearMotor(main.MotorType)
            ? logging::Multiply32(logging::Multiply32(main.SpeedMultiplier, main.LinearMotorLength),
                                  1000)
            : logging::Multiply32(main.SpeedMultiplier, 60000);
    main.SpeedScale = logging::Divide32(numerator, main.DetectMultiplier);
    return true;
}

bool ReadMode(TfrmMain& main, const char* command, TFourChannelLogging& window) {
    if (!Ask(main, command)) return false;
    window.cmbLogMode->SetItemIndex(Reply(1, false) == 1 ? 0 : 1);
    return true;
}

void SetBoxText(ui::ComboBox* box, const QString& text) {
    const QSignalBlocker blocker(box);
    box->setEditText(text);
}

// Each channel's variable: the listed item of its name, else the custom item showing the name.
bool ReadChannels(TfrmMain& main, TFourChannelLogging& window) {
    for (int channel = 1; channel <= 4; ++channel) {
        const QByteArray query = "LOG" + QByteArray::number(channel) + "N\r";
        if (!Ask(main, query.constData())) return false;
        const QString name = ui::cp932::Decode(mdlGeneral->LastReply());
        ui::ComboBox* box = window.ChannelLists()[static_cast<size_t>(channel - 1)];
        SetBoxText(box, name);
        main.SetLogChannelByName(box->currentText(), channel);
        SetBoxText(box, name);
    }
    return true;
}

void ComputeScales(TFourChannelLogging& window) {
    window.SetCh1Scale();
    window.SetCh2Scale();
    window.SetCh3Scale();
    window.SetCh4Scale();
}

// Rewrites the third series' period list and selects the driver's period.
void ApplyPeriodList(logging::PeriodList list, int period) {
    ui::ComboBox* box = frmLogging_QWC->cmbLogTime;
    const logging::PeriodListTexts texts = logging::PeriodListItems(list);
    if (texts.first) box->setItemText(0, *texts.first);
    for (int i = 0; i < texts.rest.size() && i + 1 < box->count(); ++i)
        box->setItemText(i + 1, texts.rest[i]);
    box->SetItemIndex(logging::PeriodListItem(list, period));
}

} // namespace

void TfrmMain::PrepareLogging_QWB() {
    mdlGeneral->PurgePort();
    if (!ReadMotorConstants(*this)) return;
    if (VersionText == "QWB10") {
        SpeedMultiplier = PulseScale = SpeedScale = 1;
        if (!ReadMode(*this, "LMODE\r", *frmLogging_QWB) || !Ask(*this, "#$0020041A\r")) return;
    } else {
        if (!ReadSpeedScales(*this) || !ReadMode(*this, "LOGMD\r", *frmLogging_QWB) ||
            !Ask(*this, "LTIME\r"))
            return;
    }
    LogTimeValue = Reply(10, false);
    frmLogging_QWB->cmbLogTime->SetItemIndex(logging::SecondSeriesPeriodItem(LogTimeValue));
    if (!ReadChannels(*this, *frmLogging_QWB)) return;
    ComputeScales(*frmLogging_QWB);
}

void TfrmMain::PrepareLogging_QWC() {
    mdlGeneral->PurgePort();
    if (!ReadMotorConstants(*this) || !ReadSpeedScales(*this) ||
        !ReadMode(*this, "LOGMD\r", *frmLogging_QWC) || !Ask(*this, "LTIME\r"))
        return;
    LogTimeValue = Reply(10, false);
    logging::PeriodList list = logging::PeriodList::C;
    if (VersionText.contains("QWC30")) {
        // This model has no logging version: nothing of an earlier driver's may stay.
        VerlgText.clear();
        LogVersion = 0;
        list = frmLogging_QWC->cmbLogTime->itemText(0) == "1" ? logging::PeriodList::A
                                                              : logging::PeriodList::B;
    } else {
        if (!Ask(*this, "VERLG\r")) return;
        VerlgText = mdlGeneral->LastReply();
        LogVersion = 0;
        if (VerlgText != "E-S") {
            const std::optional<int> version = logging::DecimalReply(VerlgText);
            if (!version) logging::RaiseNotAnInteger(QString::fromLatin1(VerlgText));
            LogVersion = *version;
        }
        list =
            VerlgText == "E-S" || LogVersion < 1 ? logging::PeriodList::C : logging::PeriodList::D;
    }
    ApplyPeriodList(list, LogTimeValue);
    if (!ReadChannels(*this, *frmLogging_QWC) || !Ask(*this, "&LOGP\r")) return;
    LogpText = mdlGeneral->LastReply();
    ComputeScales(*frmLogging_QWC);
    frmLogging_QWC->SelectDriverPeriod = true;
}

void TfrmMain::PrepareLogging_QWA() {
    mdlGeneral->PurgePort();
    const std::array<std::pair<const char*, int*>, 5> queries = {{{"#0\r", &EncoderResolution},
                                                                  {"#3\r", &RatedCurrent},
                                                                  {"#7\r", &MaxSpeed},
                                                                  {"#8\r", &DetectMode},
                                                                  {"#41\r", &DriverMaxCurrent}}};
    const std::array<int, 5> defaults = {1000, 16, 3000, 40, 39};
    for (size_t i = 0; i < queries.size(); ++i) {
        if (!Ask(*this, queries[i].first)) return;
        *queries[i].second = Reply(defaults[i], true);
    }
    DetectMultiplier = logging::DetectMultiplierOf(DetectMode);
    KencValue = logging::FirstSeriesKenc(EncoderResolution, DetectMultiplier, MaxSpeed);
    frmLogging->cmbLogMode->SetItemIndex(0);
    if (!Ask(*this, "#$DFFA\r")) return;
    LogTimeValue = Reply(10, false);
    const bool listed = LogTimeValue >= 1 && LogTimeValue <= 255; // no arithmetic on others
    frmLogging->cmbLogTime->SetItemIndex(listed ? LogTimeValue - 1 : -1);
    frmLogging->SetScale();
}

void TfrmMain::SetLogChannelByName(const QString& name, int channel) {
    if (channel < 1 || channel > 4) return;
    TFourChannelLogging* window = SeriesIndex() == 1
                                      ? static_cast<TFourChannelLogging*>(frmLogging_QWB)
                                      : static_cast<TFourChannelLogging*>(frmLogging_QWC);
    ui::ComboBox* box = window->ChannelLists()[static_cast<size_t>(channel - 1)];
    const int index = box->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    box->SetItemIndex(index >= 0 ? index : box->count() - 1);
}
