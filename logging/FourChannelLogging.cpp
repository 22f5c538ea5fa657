// The four-channel windows' controls, creation, activation, set-up handlers and channel scales.
#include "FourChannelLogging.h"

#include "LogWindowParts.h"
#include "LoggingRules.h"
#include "link/Waits.h"
#include "shell/UnitMain.h"
#include "ui/CarriedText.h"
#include "ui/Dialogs.h"
#include "ui/Guard.h"
#include "ui/Widgets.h"

#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>

namespace {

using logging::MakeGroup;
using logging::MakeLabel;
using logging::Place;

const QColor kOlive(128, 128, 0);

const QStringList kMultipliers = {"×1", "×2", "×3", "×4", "×5", "×6", "×7", "×8", "×9"};

} // namespace

TFourChannelLogging::TFourChannelLogging(QWidget* owner, TRequestId readBackId,
                                         const QStringList& variables, const QStringList& periods)
    : TLoggingWindow(owner, readBackId) {
    setWindowTitle("Kaso2 ロギング");
    SetClientSize(800, 520);
    logging::MakeScreenBevel(this, 8, 8, 617, 377);
    BuildSetupControls(variables, periods);
    BuildPlotControls();
    BuildViewControls();
    ConnectHandlers();

    // Creation: the defaults of the view and of the set-up.
    TimeSpan = 10000;
    FirstSample = 0;
    OffsetPixels.fill(0);
    ScaleExponent.fill(4);
    OffsetSteps.fill(0);
    cmbLogTime->SetItemIndex(9);
    Vertical_Scale->SetItemIndex(0);
    ScaleMultiplier.fill(0);
    ClockWhileShown(Timer1, [this] { Timer1Timer(); });
}

void TFourChannelLogging::BuildSetupControls(const QStringList& variables,
                                             const QStringList& periods) {
    auto* mode = MakeGroup(this, " ロギングモード ", 8, 392, 110, 50);
    cmbLogMode = Place(new ui::ComboBox({"One Shot", "Rolling"}, mode), 8, 20, 94, 22);
    auto* period = MakeGroup(this, " データ取込周期 ", 124, 392, 120, 50);
    cmbLogTime = Place(new ui::ComboBox(periods, period), 8, 20, 76, 22);
    ui::SetPlace(cmbLogTime, "データ取込周期");
    MakeLabel(period, "[ms]", 88, 24);
    auto* display = MakeGroup(this, " 表示チャンネル ", 250, 392, 240, 50);
    auto* names = MakeGroup(this, " 各チャンネルの変数名 ", 8, 446, 482, 66);
    for (int c = 0; c < kChannels; ++c) {
        const QString ch = QString("CH%1").arg(c + 1);
        auto* box = new ui::CheckBox(ch, display);
        box->setGeometry(8 + 58 * c, 20, 54, 22);
        MakeLabel(names, ch + "の変数名", 8 + 118 * c, 18);
        auto* list = Place(new ui::ComboBox(variables, names), 8 + 118 * c, 36, 110, 22);
        list->setEditable(true);
        list->setInsertPolicy(QComboBox::NoInsert);
        ui::SetPlace(list, ch + "の変数名");
        list->lineEdit()->installEventFilter(this);
        auto* dummy = Place(new QLineEdit(names), 8 + 118 * c, 36, 110, 22);
        dummy->hide();
        DummyEdits[static_cast<size_t>(c)] = dummy;
        (c == 0 ? CheckBox1 : c == 1 ? CheckBox2 : c == 2 ? CheckBox3 : CheckBox4) = box;
        (c == 0 ? cmbLogVal1 : c == 1 ? cmbLogVal2 : c == 2 ? cmbLogVal3 : cmbLogVal4) = list;
    }
    {
        const QSignalBlocker blocker(CheckBox1);
        CheckBox1->setChecked(true);
    }
    cmbLogVal1->SetItemIndex(0);
    cmbLogVal2->SetItemIndex(2);
    cmbLogVal3->SetItemIndex(5);
    cmbLogVal4->SetItemIndex(variables.size() > 30 ? 11 : 10);

    auto* title = MakeGroup(this, " タイトル名(Title) ", 632, 300, 160, 50);
    edtTitle = Place(new QLineEdit("未定義", title), 8, 20, 144, 22);
    ui::RefuseEmptyPastes(edtTitle);
    auto* stamp = MakeGroup(this, " タイムスタンプ ", 632, 354, 160, 60);
    MakeLabel(stamp, "日付  : ", 8, 18);
    MakeLabel(stamp, "時刻  : ", 8, 38);
    lblDateNow = Place(new QLabel(stamp), 60, 18, 96, 16);
    lblTimeNow = Place(new QLabel(stamp), 60, 38, 96, 16);
    btnRun = Place(new QPushButton("RUN", this), 632, 420, 76, 40);
    btnPrint = Place(new QPushButton("印刷", this), 716, 420, 76, 40);
    btnLoggingClose = Place(new QPushButton("閉じる", this), 716, 470, 76, 40);
    btnLoggingClose->setToolTip("閉じる|");
    Timer1 = new ui::Timer(1000, this);
}

void TFourChannelLogging::BuildPlotControls() {
    shpCanvasLeft = new logging::LineShape(this, 66, 30, 0, 320);
    shpCanvasRight = new logging::LineShape(this, 566, 30, 0, 320);
    shpProgress = new logging::LineShape(this, 66, 30, 1, 320);
    shpProgress->SetPenColor(kOlive);
    MakeLabel(this, "0", 62, 354);                 // Label5
    MakeLabel(this, "時間 Time : [ms]", 270, 354); // Label3
    MakeLabel(this, "0", 54, 183);                 // Label7
    lblTend = Place(new QLabel("10000", this), 540, 354, 60, 16);
    MakeLabel(this, "Time", 500, 354); // Label22, above the time per division
    Label28 = Place(new QLabel("1000", this), 500, 366, 50, 16);
    MakeLabel(this, "ms/div", 552, 366);                 // Label23
    const std::array<int, 4> tops = {32, 106, 180, 254}; // the last unit above the cursor button
    for (int c = 0; c < kChannels; ++c) {
        const auto i = static_cast<size_t>(c);
        const QString ch = QString("CH%1").arg(c + 1);
        lblch[i] = Place(new QLabel(ch, this), 24, PlotTop + PlotHeight / 2 - 5, 30, 14);
        ui::SetTextColor(lblch[i], ChannelColor(c));
        lblYhigh[i] = Place(new QLabel(QString("Ch%1T").arg(c + 1), this), 30, 30, 30, 14);
        lblYlow[i] = Place(new QLabel(QString("Ch%1B").arg(c + 1), this), 30, 340, 30, 14);
        lblYhigh[i]->hide();
        lblYlow[i]->hide();
        NameLabels[i] = Place(new QLabel(ch, this), 572, tops[i], 50, 16);
        ui::SetTextColor(NameLabels[i], ChannelColor(c));
        ValueLabels[i] =
            Place(new QLabel(QString("Label%1").arg(24 + c), this), 572, tops[i] + 18, 50, 16);
        UnitLabels[i] = Place(new QLabel("count/div", this), 572, tops[i] + 36, 52, 16);
        if (c > 0) {
            lblch[i]->hide();
            NameLabels[i]->hide();
            ValueLabels[i]->hide();
            UnitLabels[i]->hide();
        }
    }
}

void TFourChannelLogging::BuildViewControls() {
    auto* horizontal = MakeGroup(this, " 時間軸幅(HORIZONTAL) ", 496, 392, 130, 60);
    trkT = Place(new logging::TrackBar(Qt::Horizontal, 1, 10, 10, horizontal), 8, 18, 114, 22);
    MakeLabel(horizontal, "最小", 8, 40);
    MakeLabel(horizontal, "最大", 96, 40);
    auto* offset = MakeGroup(this, " 時間軸ｵﾌｾｯﾄ量 [%] ", 496, 454, 130, 60);
    trkTOffset = Place(new logging::TrackBar(Qt::Horizontal, 0, 10, 0, offset), 8, 18, 114, 22);
    MakeLabel(offset, "0", 8, 40);
    MakeLabel(offset, "50", 58, 40);
    MakeLabel(offset, "100", 104, 40);

    auto* vertical = MakeGroup(this, " 縦軸幅(VERTICAL) ", 632, 8, 160, 180);
    for (int c = 0; c < kChannels; ++c) {
        auto* selector =
            Place(new QRadioButton(QString("CH%1").arg(c + 1), vertical), 8, 20 + 22 * c, 56, 20);
        (c == 0   ? Ch1_Vertical
         : c == 1 ? Ch2_Vertical
         : c == 2 ? Ch3_Vertical
                  : Ch4_Vertical) = selector;
    }
    Ch1_Vertical->setChecked(true);
    trkY = Place(new logging::TrackBar(Qt::Vertical, 1, 7, 4, vertical), 80, 28, 24, 120);
    trkY->setInvertedAppearance(true);
    MakeLabel(vertical, "1", 108, 24);
    MakeLabel(vertical, "7", 108, 136);
    MakeLabel(vertical, "倍率", 8, 114);
    Vertical_Scale = Place(new ui::ComboBox(kMultipliers, vertical), 8, 132, 60, 22);

    auto* offsetGroup = MakeGroup(this, "ｵﾌｾｯﾄ", 632, 192, 160, 100);
    UpDownLogData = Place(new logging::UpDown(Qt::Vertical, offsetGroup), 8, 20, 20, 40);
    MakeLabel(offsetGroup, "値", 36, 24);
    Offset_Value = Place(new QLineEdit("0", offsetGroup), 56, 20, 60, 22);
    Offset_Value->setReadOnly(true);
    btnOffsetClear = Place(new QPushButton("ｸﾘｱ", offsetGroup), 56, 56, 60, 26);
}

void TFourChannelLogging::ConnectHandlers() {
    cmbLogTime->OnChange = [this] {
        if (AcceptsSetupChanges()) cmbLogTimeChange();
    };
    for (int c = 0; c < kChannels; ++c) {
        logging::ConnectVariableBox(ChannelLists()[static_cast<size_t>(c)], this, [this, c] {
            if (AcceptsSetupChanges()) cmbLogValChange(c);
        });
        DisplayBoxes()[static_cast<size_t>(c)]->OnClick = [this, c] { CheckBoxClick(c); };
        ui::Connect(ChannelSelectors()[static_cast<size_t>(c)], &QRadioButton::clicked, this,
                    [this, c] { ChVerticalClick(c); });
    }
    ui::Connect(btnRun, &QPushButton::clicked, this, [this] { btnRunClick(btnRun); });
    ui::Connect(btnPrint, &QPushButton::clicked, this, [this] { btnPrintClick(); });
    ui::Connect(btnLoggingClose, &QPushButton::clicked, this, [this] { btnLoggingCloseClick(); });
    ui::Connect(btnOffsetClear, &QPushButton::clicked, this, [this] { btnOffsetClearClick(); });
    trkT->OnChange = [this] { trkTChange(); };
    trkTOffset->OnChange = [this] { trkTOffsetChange(); };
    trkY->OnChange = [this] { trkYChange(); };
    Vertical_Scale->OnChange = [this] { Vertical_ScaleChange(); };
    UpDownLogData->OnClick = [this](logging::UpDown::Button button) { UpDownLogDataClick(button); };
}

// Enter and the upper case of the variable boxes, as their key press handlers see them.
bool TFourChannelLogging::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return ui::Form::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    for (int c = 0; c < kChannels; ++c) {
        ui::ComboBox* list = ChannelLists()[static_cast<size_t>(c)];
        if (watched != list->lineEdit()) continue;
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter) {
            if (!AcceptsSetupChanges()) return true;
            QChar typed('\r');
            ui::RunGuarded([&] { cmbLogValKeyPress(c, typed); });
            return true;
        }
        const QString text = key->text();
        const bool shortcut =
            key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        if (!shortcut && text.size() == 1 && text[0].isLower()) {
            list->lineEdit()->insert(text.toUpper());
            return true;
        }
    }
    return ui::Form::eventFilter(watched, event);
}

QColor TFourChannelLogging::ChannelColor(int channel) {
    static const std::array<QColor, 4> colors = {QColor(255, 0, 0), QColor(0, 255, 0),
                                                 QColor(128, 0, 0), QColor(0, 0, 255)};
    return colors.at(static_cast<size_t>(channel));
}

int TFourChannelLogging::SelectedChannel() const {
    for (int c = 0; c < kChannels; ++c)
        if (ChannelSelectors()[static_cast<size_t>(c)]->isChecked()) return c;
    return 0;
}

logging::ScaleConstants TFourChannelLogging::Constants() const {
    logging::ScaleConstants c; // the main window's creation values until it exists
    if (!frmMain) return c;
    c.kencValue = frmMain->KencValue;
    c.pulseScale = frmMain->PulseScale;
    c.speedScale = frmMain->SpeedScale;
    c.encoderResolution = frmMain->EncoderResolution;
    c.linearMotorLength = frmMain->LinearMotorLength;
    c.ratedCurrent = frmMain->RatedCurrent;
    c.detectMultiplier = frmMain->DetectMultiplier;
    c.motorType = frmMain->MotorType;
    c.driverMaxCurrent = frmMain->DriverMaxCurrent;
    return c;
}

void TFourChannelLogging::SetChScale(int channel) {
    const auto c = static_cast<size_t>(channel);
    if (!DisplayBoxes()[c]->Checked()) return;
    const logging::ChannelScale scale =
        logging::FourChannelScale(Series(), ChannelLists()[c]->ItemIndex(), ScaleExponent[c],
                                  ScaleMultiplier[c], Constants());
    FullScale[c] = scale.fullScale;
    ShowReadout(ValueLabels[c], QString::number(scale.perDivision));
    ShowReadout(UnitLabels[c], scale.unit);
}

void TFourChannelLogging::FormActivate() {
    setWindowTitle(frmMain->lblAxis->text() + "軸のデータロギング");
    for (int c = 0; c < kChannels; ++c) {
        const auto i = static_cast<size_t>(c);
        const bool shown = DisplayBoxes()[i]->Checked();
        for (QLabel* label : {lblch[i], NameLabels[i], UnitLabels[i], ValueLabels[i]})
            label->setVisible(shown);
        if (!shown) {
            lblYhigh[i]->hide();
            lblYlow[i]->hide();
        }
    }
    if (SelectDriverPeriod) {
        SelectDriverPeriod = false;
        SelectActivationPeriod();
    }
    ComputeSpans();
}

namespace {

// The period text as the class library converts it: a failure is its conversion error.
double PeriodValue(const QString& text, bool fraction) {
    if (fraction) {
        bool ok = false;
        const double value = text.trimmed().toDouble(&ok);
        if (!ok) logging::RaiseNotANumber(text);
        return value;
    }
    const std::optional<int> value = logging::DecimalReply(text.toLatin1());
    if (!value) logging::RaiseNotAnInteger(text);
    return *value;
}

} // namespace

void TFourChannelLogging::ComputeSpans() {
    const QString text = cmbLogTime->currentText();
    const int position = trkT->Position();
    const int maximum = trkT->Max();
    if (text.isEmpty()) {
        TimeSpan = position * 10000 / maximum;
        SamplePeriod = 10;
    } else if (FractionalPeriod()) {
        const double p = PeriodValue(text, true);
        SamplePeriod = p;
        TimeSpan = p * 1000 * position / maximum;
    } else {
        const auto p = static_cast<long long>(PeriodValue(text, false));
        SamplePeriod = static_cast<double>(p);
        TimeSpan = static_cast<double>(p * position * 1000 / maximum);
    }
    lblTend->setText(logging::ShortestDecimal(TimeSpan));
    Label28->setText(DivisionText());
}

void TFourChannelLogging::cmbLogTimeChange() {
    const QString text = cmbLogTime->currentText();
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    const bool integral = Series() == logging::FourChannelSeries::Second;
    const std::optional<int> whole = logging::DecimalReply(text.toLatin1());
    const bool valid = !text.isEmpty() && (integral ? whole && *whole > 0 && *whole <= 32767
                                                    : ok && value > 0 && value <= 32767);
    if (!valid) {
        ui::ShowWarning("ﾃﾞｰﾀ取込周期の設定が不正です。\n1～32767の範囲で設定してください。",
                        "警告");
        return;
    }
    SendAndWait(PeriodChangeCommand());
    ComputeSpans();
}

void TFourChannelLogging::cmbLogValChange(int channel) {
    ui::ComboBox* list = ChannelLists()[static_cast<size_t>(channel)];
    if (list->ItemIndex() >= CustomItem()) return;
    const QString ch = QString("CH%1").arg(channel + 1);
    QString name = LineField(list);
    if (name.isEmpty()) {
        ui::ShowWarning(ch + "のﾛｷﾞﾝｸﾞ変数名の設定が不正です。\n", "警告");
        return;
    }
    if (!CheckLineText(name, ui::PlaceOf(list))) return;
    if (RefusedName(name)) {
        ui::ShowWarning("このﾄﾞﾗｲﾊﾞでこのﾛｷﾞﾝｸﾞ変数名は設定できません。\n", "警告");
        list->SetItemIndex(0);
        name = list->currentText();
    }
    SendAndWait(QString("LOG%1N=%2\r").arg(channel + 1).arg(name));
    SetChScale(channel);
}

void TFourChannelLogging::Timer1Timer() {
    logging::ShowTimeStamp(lblDateNow, lblTimeNow);
}
