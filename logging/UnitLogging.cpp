// The first series' logging window: creation, the recording (set-up lines, start line, progress
// line) and the read-back with its live drawing.
#include "UnitLogging.h"

#include "ChannelScale.h"
#include "LogWindowParts.h"
#include "LoggingRules.h"
#include "link/UnitGeneral.h"
#include "link/Waits.h"
#include "shell/UnitMain.h"
#include "ui/CarriedText.h"
#include "ui/Dialogs.h"
#include "ui/Guard.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QTimer>
#include <algorithm>
#include <utility>

TfrmLogging* frmLogging = nullptr;

namespace {

using logging::MakeGroup;
using logging::MakeLabel;
using logging::Place;

const QColor kOlive(128, 128, 0);

struct Variable {
    const char* item;
    const char* address;
};

// The driver variables; the first five are 32-bit (two words per sample).
const std::array<Variable, 21> kVariables = {{
    {"POSCOM (位置・指令値)", "0060"},         {"POSREF (位置・目標値)", "0064"},
    {"POSACT (位置・現在値)", "0068"},         {"POSERR (位置・偏差値)", "006C"},
    {"TRQINTG (ﾄﾙｸ・積分値)", "0070"},         {"REFINC (位置・目標増分値)", "0074"},
    {"ENCINC (ｴﾝｺｰﾀﾞ・増分値)", "0076"},       {"VELCOM (速度・指令値)", "0078"},
    {"VELREF (速度・目標値)", "007A"},         {"VELFF (速度・ﾌｨｰﾄﾞﾌｫﾜｰﾄﾞ値)", "007C"},
    {"VELACT (速度・現在値･ﾌｨﾙﾀ無)", "007E"},  {"VELACT (速度・現在値･ﾌｨﾙﾀ有)", "03C6"},
    {"VELERR (速度・偏差値)", "0080"},         {"ACCREF (加速度・目標値)", "0082"},
    {"ACCFF (加速度・ﾌｨｰﾄﾞﾌｫﾜｰﾄﾞ値)", "0084"}, {"ACCACT (加速度・現在値)", "0086"},
    {"ACCERR (加速度・偏差値)", "0088"},       {"THETA (電気角・目標値)", "008A"},
    {"TRQFF (ﾄﾙｸ・ﾌｨｰﾄﾞﾌｫﾜｰﾄﾞ値)", "008C"},    {"TRQREF (ﾄﾙｸ・目標値)", "008E"},
    {"CURREF (電流・目標値)", "0090"},
}};

QStringList VariableItems() {
    QStringList items;
    for (const Variable& v : kVariables)
        items << QString::fromUtf8(v.item);
    return items;
}

QStringList PeriodItems() {
    QStringList items;
    for (int p = 1; p <= 255; ++p)
        items << QString::number(p);
    return items;
}

bool IsLongVariable(int index) {
    return index >= 0 && index <= 4;
}

bool BeginsWithFourHexDigits(const QString& text) {
    if (text.size() < 4) return false;
    for (int i = 0; i < 4; ++i) {
        const QChar c = text[i];
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
    }
    return true;
}

} // namespace

TfrmLogging::TfrmLogging(QWidget* owner) : TLoggingWindow(owner, ridLogging) {
    setWindowTitle("Kaso ロギング");
    SetClientSize(792, 471);
    BuildControls();
    ConnectHandlers();

    cmbLogVal1->SetItemIndex(2);
    cmbLogTime->SetItemIndex(9);
    TimeSpan = 10000;
    SamplePeriod = logging::DecimalReplyOr(cmbLogTime->currentText().toLatin1(), 10);
    FirstSample = 0;
    OffsetPixels = 0;
    ScaleExponent = 4;
    OffsetSteps = 0;
    Vertical_Scale->SetItemIndex(0);
    ScaleMultiplier = 0;
    FinishCreation();
    SetScale();
    ClockWhileShown(Timer1, [this] { Timer1Timer(); });
}

void TfrmLogging::BuildControls() {
    auto* variables = MakeGroup(this, " ロギング変数 ", 8, 4, 617, 80);
    auto* mode = MakeGroup(variables, " ロギングモード ", 8, 18, 110, 54);
    cmbLogMode = Place(new ui::ComboBox({"One Shot", "Rolling"}, mode), 8, 22, 94, 22);
    auto* period = MakeGroup(variables, " データ取込周期 ", 124, 18, 120, 54);
    cmbLogTime = Place(new ui::ComboBox(PeriodItems(), period), 8, 22, 70, 22);
    MakeLabel(period, "[ms]", 84, 26);
    auto* name =
        MakeGroup(variables, " チャンネルの変数名 または アドレス値(16進数) ", 250, 18, 360, 54);
    MakeLabel(name, "CH1の変数名", 8, 26);
    cmbLogVal1 = Place(new ui::ComboBox(VariableItems(), name), 96, 22, 256, 22);
    cmbLogVal1->setEditable(true);
    cmbLogVal1->setInsertPolicy(QComboBox::NoInsert);
    ui::SetPlace(cmbLogVal1, "CH1の変数名");
    cmbLogVal1->lineEdit()->installEventFilter(this);
    edtLogVal1_Dummy = Place(new QLineEdit(name), 96, 22, 256, 22);
    edtLogVal1_Dummy->hide();

    logging::MakeScreenBevel(this, 8, 88, 617, 377);
    shpCanvasLeft = new logging::LineShape(this, 66, 110, 0, 320);
    shpCanvasRight = new logging::LineShape(this, 566, 110, 0, 320);
    shpProgress = new logging::LineShape(this, 66, 110, 1, 320);
    shpProgress->SetPenColor(kOlive);
    lblch1 = Place(new QLabel("CH1", this), 24, 265, 30, 14);
    ui::SetTextColor(lblch1, Qt::red);
    MakeLabel(this, "0", 54, 265); // Label10
    Label14 = Place(new QLabel("CH1", this), 572, 120, 50, 16);
    ui::SetTextColor(Label14, Qt::red);
    Label24 = Place(new QLabel("Label24", this), 572, 138, 50, 16);
    Label15 = Place(new QLabel("count/div", this), 572, 156, 52, 16);
    MakeLabel(this, "0", 62, 434); // Label8
    lblTend = Place(new QLabel("10000", this), 540, 434, 60, 16);
    MakeLabel(this, "時間 Time : [ms]", 270, 434); // Label11
    MakeLabel(this, "Time", 500, 434);             // Label22, above the time per division
    Label28 = Place(new QLabel("1000", this), 500, 448, 50, 16);
    MakeLabel(this, "ms/div", 552, 448); // Label23

    auto* vertical = MakeGroup(this, " 縦軸幅(VERTICAL) ", 632, 4, 152, 150);
    trkY = Place(new logging::TrackBar(Qt::Vertical, 1, 7, 4, vertical), 8, 22, 24, 110);
    trkY->setInvertedAppearance(true);
    MakeLabel(vertical, "1", 36, 20);
    MakeLabel(vertical, "7", 36, 120);
    MakeLabel(vertical, "倍率", 64, 22);
    Vertical_Scale =
        Place(new ui::ComboBox({"×1", "×2", "×3", "×4", "×5", "×6", "×7", "×8", "×9"}, vertical),
              64, 40, 60, 22);
    auto* offset = MakeGroup(this, "ｵﾌｾｯﾄ", 632, 156, 152, 76);
    UpDownLogData = Place(new logging::UpDown(Qt::Vertical, offset), 8, 20, 20, 40);
    MakeLabel(offset, "値", 36, 24);
    Offset_Value = Place(new QLineEdit("0", offset), 56, 20, 60, 22);
    Offset_Value->setReadOnly(true);
    btnOffsetClear = Place(new QPushButton("ｸﾘｱ", offset), 56, 46, 60, 24);
    auto* horizontal = MakeGroup(this, " 時間軸幅(HORIZONTAL) ", 632, 234, 152, 54);
    trkT = Place(new logging::TrackBar(Qt::Horizontal, 1, 10, 10, horizontal), 8, 18, 136, 20);
    MakeLabel(horizontal, "最小", 8, 38);
    MakeLabel(horizontal, "最大", 118, 38);
    auto* timeOffset = MakeGroup(this, " 時間軸ｵﾌｾｯﾄ量 [%] ", 632, 290, 152, 54);
    trkTOffset = Place(new logging::TrackBar(Qt::Horizontal, 0, 10, 0, timeOffset), 8, 18, 136, 20);
    MakeLabel(timeOffset, "0", 8, 38);
    MakeLabel(timeOffset, "50", 68, 38);
    MakeLabel(timeOffset, "100", 124, 38);
    auto* title = MakeGroup(this, " タイトル名(Title) ", 632, 346, 152, 42);
    edtTitle = Place(new QLineEdit("未定義", title), 8, 18, 136, 20);
    ui::RefuseEmptyPastes(edtTitle);
    auto* stamp = MakeGroup(this, " タイムスタンプ ", 632, 390, 152, 50);
    MakeLabel(stamp, "日付  : ", 6, 16);
    MakeLabel(stamp, "時刻  : ", 6, 32);
    lblDateNow = Place(new QLabel(stamp), 54, 16, 94, 14);
    lblTimeNow = Place(new QLabel(stamp), 54, 32, 94, 14);
    btnRun = Place(new QPushButton("RUN", this), 632, 442, 48, 26);
    btnPrint = Place(new QPushButton("印刷", this), 684, 442, 48, 26);
    btnLoggingClose = Place(new QPushButton("閉じる", this), 736, 442, 48, 26);
    btnLoggingClose->setToolTip("閉じる|");
    Timer1 = new ui::Timer(1000, this);
}

void TfrmLogging::ConnectHandlers() {
    ui::Connect(btnRun, &QPushButton::clicked, this, [this] { btnRunClick(btnRun); });
    ui::Connect(btnPrint, &QPushButton::clicked, this, [this] { btnPrintClick(); });
    ui::Connect(btnLoggingClose, &QPushButton::clicked, this, [this] { btnLoggingCloseClick(); });
    ui::Connect(btnOffsetClear, &QPushButton::clicked, this, [this] { btnOffsetClearClick(); });
    cmbLogTime->OnChange = [this] {
        if (AcceptsSetupChanges()) cmbLogTimeChange();
    };
    logging::ConnectVariableBox(cmbLogVal1, this, [this] {
        if (AcceptsSetupChanges()) cmbLogVal1Change();
    });
    Vertical_Scale->OnChange = [this] { Vertical_ScaleChange(); };
    trkT->OnChange = [this] { trkTChange(); };
    trkTOffset->OnChange = [this] { trkTOffsetChange(); };
    trkY->OnChange = [this] { trkYChange(); };
    UpDownLogData->OnClick = [this](logging::UpDown::Button button) { UpDownLogDataClick(button); };
}

bool TfrmLogging::eventFilter(QObject* watched, QEvent* event) {
    if (watched == cmbLogVal1->lineEdit() && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool shortcut =
            key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        QChar typed = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter
                          ? QChar('\r')
                          : (key->text().size() == 1 ? key->text()[0] : QChar());
        if (typed.isNull() || shortcut) return ui::Form::eventFilter(watched, event);
        if (typed == QChar('\r') && !AcceptsSetupChanges()) return true;
        const QChar original = typed;
        ui::RunGuarded([&] { cmbLogVal1KeyPress(typed); });
        if (typed == QChar('\r')) return true;
        if (typed != original) {
            cmbLogVal1->lineEdit()->insert(QString(typed));
            return true;
        }
    }
    return ui::Form::eventFilter(watched, event);
}

void TfrmLogging::ApplySpanRule() {
    const QString text = cmbLogTime->currentText();
    const int position = trkT->Position();
    const int maximum = trkT->Max();
    if (text.isEmpty()) {
        TimeSpan = position * 10000 / maximum;
        SamplePeriod = 10;
    } else {
        const std::optional<int> p = logging::DecimalReply(text.toLatin1());
        if (!p) logging::RaiseNotAnInteger(text);
        const int perWord = IsLongVariable(cmbLogVal1->ItemIndex()) ? 1000 : 2000;
        TimeSpan = logging::TruncateToInt32(
            static_cast<double>(static_cast<long long>(*p) * position * perWord / maximum));
        SamplePeriod = *p;
    }
    lblTend->setText(QString::number(TimeSpan));
    Label28->setText(QString::number(TimeSpan / 10));
}

bool TfrmLogging::RunChecks() {
    const QString variable = LineField(cmbLogVal1);
    if (!CheckLineText(variable, ui::PlaceOf(cmbLogVal1))) return false;
    if (cmbLogVal1->ItemIndex() < 0 && !BeginsWithFourHexDigits(variable)) return false;
    if (cmbLogTime->currentText().isEmpty()) {
        ui::ShowWarning("ﾃﾞｰﾀ取込周期を指定してください。\n", "警告");
        return false;
    }
    if (variable.isEmpty()) {
        ui::ShowWarning("ﾃﾞｰﾀﾛｷﾞﾝｸﾞする変数名を指定してください。\n", "警告");
        return false;
    }
    return true;
}

void TfrmLogging::SendRunSetup() {
    const int index = cmbLogVal1->ItemIndex();
    WordsPerSample = IsLongVariable(index) ? 2 : 1;
    ApplySpanRule();
    const QString address = index >= 0 && index < static_cast<int>(kVariables.size())
                                ? QString(kVariables[static_cast<size_t>(index)].address)
                                : LineField(cmbLogVal1);
    SendAndWait("#&DFFE=" + address + "\r");
    SendAndWait(QString("#$DFFA=%1\r").arg(SamplePeriod));
    SendAndWait(QString("#$DFFC=%1\r").arg(WordsPerSample));
    SendAndWait(logging::StartLine(mdlGeneral->PadLength()));
}

void TfrmLogging::cmbLogTimeChange() {
    const QString text = cmbLogTime->currentText();
    const std::optional<int> value = logging::DecimalReply(text.toLatin1());
    if (text.isEmpty() || !value || *value >= 256 || *value <= 0) {
        ui::ShowWarning("ﾃﾞｰﾀ取込周期の設定が不正です。\n1～255の範囲で設定してください。", "警告");
        return;
    }
    SendAndWait("#$DFFA=" + text + "\r");
    placeMoved_ = true;
    ApplySpanRule();
}

int TfrmLogging::ProgressX() const {
    if (TimeSpan <= 0) return PlotLeft;
    return static_cast<int>(static_cast<long long>(ProgressElapsedMs) * PlotWidth / TimeSpan) +
           PlotLeft;
}

int TfrmLogging::PointY(int i) const {
    const int h = -PlotHeight / 2;
    const int zero = PlotTop + PlotHeight / 2 + OffsetPixels;
    const auto word = static_cast<size_t>(i);
    int y = 0;
    if (WordsPerSample == 1) {
        const long long scaled =
            FullScale == 0 ? 0 : static_cast<long long>(LogData[word]) * h / FullScale;
        y = logging::TruncateToInt32(static_cast<double>(scaled) + zero);
    } else {
        double low = LogData[word - 1];
        if (low < 0) low += 65536;
        const double value = static_cast<double>(LogData[word]) * 65536 + low;
        y = logging::TruncateToInt32((FullScale == 0 ? 0.0 : value / FullScale) * h + zero);
    }
    if (y <= PlotTop) y = PlotTop;
    if (y >= PlotTop + PlotHeight) y = PlotTop + PlotHeight;
    return y;
}

bool TfrmLogging::StartReadBack() {
    LogSampleIndex = 0;
    LastPointX = 0;
    placeMoved_ = readdressNext_ = false;
    SendReadRequest("#$D000\r");
    return true;
}

// The buffer's words lie 2 bytes apart, as the set-up words at DFFA, DFFC and DFFE do.
QByteArray TfrmLogging::NextReadRequest() const {
    if (!readdressNext_) return ",?\r";
    const auto address = static_cast<unsigned>(0xD000 + 2 * LogSampleIndex);
    return "#$" + QByteArray::number(address, 16).toUpper() + "\r";
}

bool TfrmLogging::TakeReply() {
    const int n = LogSampleIndex;
    if (n < 0 || n >= kWords) return true;
    LogData[static_cast<size_t>(n)] = logging::DecimalReplyOr(mdlGeneral->LastReply(), 0);
    int x = TimeSpan > 0 ? static_cast<int>(static_cast<long long>(PlotWidth) * n * SamplePeriod /
                                            TimeSpan / WordsPerSample) +
                               PlotLeft
                         : PlotLeft + PlotWidth + 1;
    const bool first = WordsPerSample == 1 ? n == 0 : n == 1;
    if (first) x = PlotLeft;
    if (WordsPerSample == 1 || n % 2 == 1) {
        const int y = PointY(n);
        ui::Canvas& canvas = Canvas();
        if (first) {
            canvas.MoveTo(x, y);
        } else {
            const QPoint from(LastPointX, LastPointY);
            const QPoint to(std::min(x, PlotLeft + PlotWidth), y);
            canvas.PenColor = Qt::red;
            canvas.MoveTo(from.x(), from.y());
            canvas.LineTo(to.x(), to.y());
            ShowLiveSegment(from, to);
        }
        LastPointX = x;
        LastPointY = y;
    }
    ++LogSampleIndex;
    // A write that went out while this word was asked for moved the driver's place after it.
    readdressNext_ = std::exchange(placeMoved_, false);
    return LogSampleIndex >= kWords || x > PlotLeft + PlotWidth;
}
