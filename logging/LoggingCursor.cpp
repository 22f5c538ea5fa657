// The cursor of the third and fourth series' window: two horizontal bars that measure a level
// difference and a level in the selected channel's unit, two vertical bars that measure a time.
#include "UnitLogging_QWC.h"

#include "LoggingRules.h"
#include "shell/UnitMain.h"
#include "ui/Dialogs.h"
#include "ui/Guard.h"
#include "ui/Widgets.h"

namespace {

constexpr int kZeroLine = 190; // the traces' zero line without offset
constexpr int kTopRow = 30;
constexpr int kBottomRow = 349;
constexpr int kLeftColumn = 66;
constexpr int kRightColumn = 565;

QString UnitText(int variableIndex) {
    const bool linear = logging::IsLinearMotor(frmMain->MotorType);
    switch (logging::FourChannelGroup(logging::FourChannelSeries::ThirdFourth, variableIndex)) {
    case logging::ScaleGroup::Position:
        return " [ﾊﾟﾙｽ]";
    case logging::ScaleGroup::Velocity:
        return linear ? " [mm/s]" : " [rpm]";
    case logging::ScaleGroup::Acceleration:
        return linear ? " [mm/s^2]" : " [rad/s^2]";
    case logging::ScaleGroup::Torque:
        return " [%]";
    case logging::ScaleGroup::Count:
        break;
    }
    return " [count]";
}

} // namespace

void TfrmLogging_QWC::BuildCursor() {
    btnCursor = new QPushButton("ｶｰｿﾙ", this);
    btnCursor->setGeometry(568, 312, 49, 25);
    Leftbar = new logging::LineShape(this, 266, 30, 1, 320);
    Rightbar = new logging::LineShape(this, 366, 30, 1, 320);
    Rightbar->SetPenStyle(Qt::DotLine);
    Topbar = new logging::LineShape(this, 66, 158, 500, 1);
    Bottombar = new logging::LineShape(this, 66, 222, 500, 1);
    Bottombar->SetPenStyle(Qt::DotLine);
    Cursor_Prm = new logging::RadioGroup(" カーソル機能 ", {"オフ", "水平バー", "垂直バー"}, this);
    Cursor_Prm->setGeometry(424, 264, 137, 81);
    // White within a plain frame: the style's own frame would tint it.
    Cursor_Prm->setStyleSheet(
        "QGroupBox { background: white; border: 1px solid gray; margin-top: "
        "1.1em; } QGroupBox::title { subcontrol-origin: margin; left: 6px; }");
    Cursor_Prm->SetItemIndex(0);
    btnCursorSelect = new QPushButton("選択", this);
    btnCursorSelect->setGeometry(504, 312, 51, 25);
    UpDownCursor = new logging::UpDown(Qt::Vertical, this);
    UpDownCursor->setGeometry(522, 274, 16, 32);
    LeftRightCursor = new logging::UpDown(Qt::Horizontal, this);
    LeftRightCursor->setGeometry(514, 282, 32, 16);
    const auto makeLabel = [this](const QString& text, int x, int y) {
        auto* label = new QLabel(text, this);
        label->setGeometry(x, y, text.isEmpty() ? 120 : 24, 14);
        label->setAutoFillBackground(true);
        QPalette palette = label->palette();
        palette.setColor(QPalette::Window, Qt::white);
        label->setPalette(palette);
        return label;
    };
    Label1 = makeLabel("<> :  ", 408, 32);
    Label4 = makeLabel("", 432, 32);
    Label2 = makeLabel("@  :  ", 408, 48);
    Label8 = makeLabel("", 432, 48);

    ui::Connect(btnCursor, &QPushButton::clicked, this, [this] { btnCursorClick(); });
    Cursor_Prm->OnClick = [this] { Cursor_PrmClick(); };
    ui::Connect(btnCursorSelect, &QPushButton::clicked, this, [this] { btnCursorSelectClick(); });
    UpDownCursor->OnClick = [this](logging::UpDown::Button b) { UpDownCursorClick(b); };
    LeftRightCursor->OnClick = [this](logging::UpDown::Button b) { LeftRightCursorClick(b); };

    for (QWidget* control : std::initializer_list<QWidget*>{
             Cursor_Prm, btnCursorSelect, UpDownCursor, LeftRightCursor, Leftbar, Rightbar, Topbar,
             Bottombar, Label1, Label2, Label4, Label8})
        control->hide();
}

QString TfrmLogging_QWC::CursorValueText(int pixels) const {
    const int c = SelectedChannel();
    const QString shown = ValueLabels[static_cast<size_t>(c)]->text();
    const std::optional<int> perDivision = logging::DecimalReply(shown.toLatin1());
    if (!perDivision) logging::RaiseNotAnInteger(shown);
    const double value = pixels * 0.03125 * *perDivision;
    return logging::FormatWhole(value) +
           UnitText(ChannelLists()[static_cast<size_t>(c)]->ItemIndex());
}

QString TfrmLogging_QWC::CursorTimeText() const {
    const int d = Rightbar->Left() - Leftbar->Left();
    const double t = d * 0.02 * (0.1 * TimeSpan);
    return logging::FormatUpToTwoDecimals(t) + " [ms]";
}

void TfrmLogging_QWC::SetReadoutColor() {
    const QColor color = ChannelColor(SelectedChannel());
    for (QLabel* label : {Label1, Label2, Label4, Label8})
        ui::SetTextColor(label, color);
}

// The level is measured from the selected channel's trace zero line, which its vertical offset
// moves by OffsetPixels.
void TfrmLogging_QWC::HorizontalReadouts(int levelTop) {
    const int traceZero = kZeroLine + OffsetPixels[static_cast<size_t>(SelectedChannel())];
    const int difference = Bottombar->Top() - Topbar->Top();
    const int level = traceZero - levelTop;
    ShowReadout(Label4, QString::number(difference));
    ShowReadout(Label8, QString::number(level));
    SetReadoutColor();
    ShowReadout(Label4, CursorValueText(difference));
    ShowReadout(Label8, CursorValueText(level));
}

void TfrmLogging_QWC::TimeReadout() {
    SetReadoutColor();
    ShowReadout(Label4, CursorTimeText());
}

void TfrmLogging_QWC::ShowHorizontalReadouts() {
    for (QLabel* label : {Label1, Label2, Label4, Label8})
        label->show();
    HorizontalReadouts(Bottombar->Top());
}

void TfrmLogging_QWC::ShowTimeReadout() {
    Label1->show();
    Label2->hide();
    Label4->show();
    Label8->hide();
    TimeReadout();
}

void TfrmLogging_QWC::btnCursorClick() {
    if (btnRun->text() != "RUN") return;
    const int c = SelectedChannel();
    if (!DisplayBoxes()[static_cast<size_t>(c)]->Checked()) {
        ui::ShowWarning(QString("表示チャンネル(CH%1)が選択されていません。\n").arg(c + 1), "警告");
        return;
    }
    if (!Cursor_Prm->isHidden()) {
        for (QWidget* control : std::initializer_list<QWidget*>{Cursor_Prm, btnCursorSelect,
                                                                UpDownCursor, LeftRightCursor})
            control->hide();
        return;
    }
    Cursor_Prm->show();
    btnCursorSelect->show();
    switch (Cursor_Prm->ItemIndex()) {
    case 1:
        UpDownCursor->show();
        LeftRightCursor->hide();
        ShowHorizontalReadouts();
        break;
    case 2:
        UpDownCursor->hide();
        LeftRightCursor->show();
        ShowTimeReadout();
        break;
    default:
        for (QWidget* control : std::initializer_list<QWidget*>{UpDownCursor, LeftRightCursor,
                                                                Label1, Label2, Label4, Label8})
            control->hide();
        break;
    }
}

void TfrmLogging_QWC::Cursor_PrmClick() {
    for (QLabel* label : {Label1, Label2, Label4, Label8})
        label->hide();
    const QColor color = ChannelColor(SelectedChannel());
    for (logging::LineShape* bar : {Leftbar, Rightbar, Topbar, Bottombar})
        bar->SetPenColor(color);
    const bool panel = !Cursor_Prm->isHidden();
    switch (Cursor_Prm->ItemIndex()) {
    case 1:
        UpDownCursor->setVisible(panel);
        LeftRightCursor->hide();
        Leftbar->hide();
        Rightbar->hide();
        Topbar->show();
        Bottombar->show();
        ShowHorizontalReadouts();
        break;
    case 2:
        UpDownCursor->hide();
        LeftRightCursor->setVisible(panel);
        Leftbar->show();
        Rightbar->show();
        Topbar->hide();
        Bottombar->hide();
        ShowTimeReadout();
        break;
    default:
        for (QWidget* control : std::initializer_list<QWidget*>{
                 UpDownCursor, LeftRightCursor, Leftbar, Rightbar, Topbar, Bottombar})
            control->hide();
        break;
    }
}

void TfrmLogging_QWC::RefreshCursorReadouts() {
    if (!Label1->isHidden()) Cursor_PrmClick();
}

void TfrmLogging_QWC::btnCursorSelectClick() {
    switch (Cursor_Prm->ItemIndex()) {
    case 1: {
        const bool topSelected = Topbar->PenStyle() == Qt::SolidLine;
        Topbar->SetPenStyle(topSelected ? Qt::DotLine : Qt::SolidLine);
        Bottombar->SetPenStyle(topSelected ? Qt::SolidLine : Qt::DotLine);
        HorizontalReadouts(topSelected ? Bottombar->Top() : Topbar->Top());
        break;
    }
    case 2: {
        const bool leftSelected = Leftbar->PenStyle() == Qt::SolidLine;
        Leftbar->SetPenStyle(leftSelected ? Qt::DotLine : Qt::SolidLine);
        Rightbar->SetPenStyle(leftSelected ? Qt::SolidLine : Qt::DotLine);
        TimeReadout();
        break;
    }
    default:
        break;
    }
}

void TfrmLogging_QWC::UpDownCursorClick(logging::UpDown::Button button) {
    logging::LineShape* bar = Topbar->PenStyle() == Qt::SolidLine ? Topbar : Bottombar;
    if (button == logging::UpDown::Button::Next && bar->Top() > kTopRow)
        bar->SetTop(bar->Top() - 1);
    else if (button == logging::UpDown::Button::Previous && bar->Top() < kBottomRow)
        bar->SetTop(bar->Top() + 1);
    HorizontalReadouts(bar->Top());
}

void TfrmLogging_QWC::LeftRightCursorClick(logging::UpDown::Button button) {
    logging::LineShape* bar = Rightbar->PenStyle() == Qt::SolidLine ? Rightbar : Leftbar;
    if (button == logging::UpDown::Button::Next && bar->Left() < kRightColumn)
        bar->SetLeft(bar->Left() + 1);
    else if (button == logging::UpDown::Button::Previous && bar->Left() > kLeftColumn)
        bar->SetLeft(bar->Left() - 1);
    TimeReadout();
}
