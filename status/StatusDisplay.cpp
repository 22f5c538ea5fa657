// The status monitors' one layout (569 x 375 at 96 dpi) and the decoders that turn replies into
// lamps and bar segments.
#include "StatusMonitor.h"

#include "ui/CarriedText.h"
#include "ui/DpiScaling.h"
#include "ui/Widgets.h"

#include <QLineEdit>
#include <QValidator>

namespace {

using status::Segment;

const QColor kWhite(0xFF, 0xFF, 0xFF);
const QColor kYellow(0xFF, 0xFF, 0x00);
const QColor kRed(0xFF, 0x00, 0x00);
const QColor kOlive(0x80, 0x80, 0x00);
const QColor kGreen(0x00, 0x80, 0x00);

constexpr int kLampLeft = 10;
constexpr int kCaptionLeft = 26;
constexpr int kFirstLampTop = 17;
constexpr int kLampPitch = 16;
constexpr char kCaptionProperty[] = "caption";
constexpr int kBarTitleTop = 41; // just below the value groups above the bars
constexpr int kBarBottom = 289;

const std::array<const char*, 16> kStatCaptions = {
    " 0 (SRDYS)", " 1 (MOVES)", " 2 (予約)",  " 3 (POLES)", " 4 (HOMES)", " 5 (SVONS)",
    " 6 (DBONS)", " 7 (FREES)", " 8 (ALDBS)", " 9 (TACOS)", " 10(MEMOS)", " 11(予約)",
    " 12(ADAPS)", " 13(INTRS)", " 14(常時1)", " 15(予約)"};
const std::array<const char*, 8> kInstCaptions = {" 0 (SVONI)", " 1 (LIMFI)", " 2 (LIMRI)",
                                                  " 3 (VQMDI)", " 4 (LOWGI)", " 5 (DBONI)",
                                                  " 6 (RES_I)", " 7 (RUN_I)"};
const std::array<const char*, 8> kOustCaptions = {" 0 (SRDYO)", " 1 (IPOSO)", " 2 (ALC0O)",
                                                  " 3 (ALC1O)", " 4 (ALC2O)", " 5 (空き)",
                                                  " 6 (空き)",  " 7 使用不可"};
const std::array<const char*, 16> kAlstCaptions = {
    " 0 (予約)",      " 1 (電流ﾁｭｰﾆﾝｸﾞ)", " 2 (電子ｻｰﾏﾙ)",    " 3 (ｵｰﾊﾞﾋｰﾄ)",
    " 4 (ﾊﾟﾗﾒｰﾀｴﾗｰ)", " 5 (力率検知)",    " 6 (逆転禁止)",    " 7 (正転禁止)",
    " 8 (電源ｴﾗｰ)",   " 9 (暴走or断線)",  " 10(ｵｰﾊﾞｽﾋﾟｰﾄﾞ)",  " 11(誤差過大)",
    " 12(送信ﾊﾞｯﾌｧ)", " 13(ﾎﾟｲﾝﾀｴﾗｰ)",    " 14(ﾒﾓﾘｱﾄﾞﾚｽｴﾗｰ)", " 15(ｵﾌﾟｼｮﾝｴﾗｰ)"};

// Typed variable names are upper case, as the driver knows them.
class UpperCaseValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        input = input.toUpper();
        return Acceptable;
    }
};

// Only a change of colour touches the widget: most replies repeat the last one.
void Paint(QWidget* widget, const QColor& colour) {
    if (widget->palette().color(QPalette::Window) == colour) return;
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
}

void SetLamp(QLabel* lamp, bool on, const QColor& onColour) {
    static const QString kOn = " 1";
    static const QString kOff = " 0";
    const QString& caption = on ? kOn : kOff;
    if (lamp->text() != caption) lamp->setText(caption);
    Paint(lamp, on ? onColour : kWhite);
}

QColor ColourOf(Segment segment) {
    switch (segment) {
    case Segment::Olive:
        return kOlive;
    case Segment::Red:
        return kRed;
    case Segment::Green:
        return kGreen;
    case Segment::White:
        break;
    }
    return kWhite;
}

QGroupBox* Group(QWidget* parent, const QString& caption, int left, int top, int width,
                 int height) {
    auto* group = new QGroupBox(caption, parent);
    group->setGeometry(left, top, width, height);
    return group;
}

// A caption sized to its text; FitCaptions narrows it where it would run past its group.
QLabel* Text(QWidget* parent, const QString& text, int left, int top) {
    auto* label = new QLabel(text, parent);
    label->setProperty(kCaptionProperty, true);
    label->move(left, top);
    label->adjustSize();
    return label;
}

// A lamp: 13 x 12, opaque, " 0" on white while off.
void LampRow(QWidget* group, int n, const QString& caption, QLabel*& lamp, QLabel*& label) {
    const int top = kFirstLampTop + kLampPitch * n;
    lamp = new QLabel(" 0", group);
    lamp->setGeometry(kLampLeft, top, 13, 12);
    lamp->setAutoFillBackground(true);
    Paint(lamp, kWhite);
    label = Text(group, caption, kCaptionLeft, top);
}

template <size_t N>
void LampGroup(QGroupBox* group, const std::array<const char*, N>& captions,
               std::array<QLabel*, N>& lamps, std::array<QLabel*, N>& labels) {
    for (size_t n = 0; n < N; ++n)
        LampRow(group, static_cast<int>(n), captions[n], lamps[n], labels[n]);
}

// A value that changes with the replies paints its own background, so that a new value repaints
// the value alone and not the group box (and window) behind it.
QLabel* ValueLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAutoFillBackground(true);
    return label;
}

QLabel* FramedValue(QWidget* parent, const QString& text, const QRect& place,
                    Qt::Alignment alignment) {
    auto* label = ValueLabel(text, parent);
    label->setGeometry(place);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAlignment(alignment | Qt::AlignVCenter);
    return label;
}

QFrame* BarSegment(QWidget* parent, const QRect& place, const QColor& colour) {
    auto* shape = new QFrame(parent);
    shape->setGeometry(place);
    shape->setAutoFillBackground(true);
    Paint(shape, colour);
    return shape;
}

} // namespace

void TStatusMonitor::BuildLayout() {
    setWindowTitle("ｽﾃｰﾀｽ");
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    QFont font(ui::kProportionalFont);
    font.setPixelSize(12);
    setFont(font);
    grpStat = Group(this, " #STAT ", 10, 6, 94, 283);
    LampGroup(grpStat, kStatCaptions, lblStat, stat_bit);
    grpInst = Group(this, " #INST ", 109, 6, 94, 147);
    LampGroup(grpInst, kInstCaptions, lblInst, inst_bit);
    grpOust = Group(this, " #OUST ", 208, 6, 94, 147);
    LampGroup(grpOust, kOustCaptions, lblOust, oust_bit);
    grpAlst = Group(this, " #ALST ", 307, 6, 124, 283);
    LampGroup(grpAlst, kAlstCaptions, lblAlst, alst_bit);
    BuildExtraGroups();
    BuildValueGroups();
    BuildBars();
    resize(569, 375);
    ui::ScaleToDpi(*this);
    ui::ScaleControlsToDpi(*this);
    FitCaptions();
    setFixedSize(size());
}

void TStatusMonitor::BuildExtraGroups() {
    grpAnother = Group(this, " その他の入力 ", 109, 159, 94, 57);
    LampRow(grpAnother, 0, "外部割込", lblExtInt, ExtInt);
    LampRow(grpAnother, 1, "原点LS", lblHome, Home);
    grpPoleSens = Group(this, " ﾎﾟｰﾙｾﾝｻ信号 ", 109, 222, 94, 67);
    LampRow(grpPoleSens, 0, "U相", lblPole_U, Pole_U);
    LampRow(grpPoleSens, 1, "V相", lblPole_V, Pole_V);
    LampRow(grpPoleSens, 2, "W相", lblPole_W, Pole_W);
    grpAnother2 = Group(this, " その他の出力 ", 208, 159, 94, 67);
    LampRow(grpAnother2, 0, "ｱﾝﾀﾞｰﾎﾞﾙﾄ", lblUnderVolt, UnderVolt);
    LampRow(grpAnother2, 1, "ｵｰﾊﾞｰﾎﾞﾙﾄ", lblOverVolt, OverVolt);
    LampRow(grpAnother2, 2, "ｵｰﾊﾞｰｶﾚﾝﾄ", lblOverCurrent, OverCurrent);
    grpMailBox = Group(this, " MailBox 情報 ", 208, 232, 94, 57);
    MBST = Text(grpMailBox, "MBST", 8, 19);
    SQPT = Text(grpMailBox, "#SQPT", 8, 37);
    Bevel6 = new QFrame(grpMailBox);
    Bevel7 = new QFrame(grpMailBox);
    Bevel6->setGeometry(44, 16, 42, 17);
    Bevel7->setGeometry(44, 34, 42, 17);
    for (QFrame* bevel : {Bevel6, Bevel7})
        bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    lblMbst = ValueLabel("OFF", grpMailBox);
    lblMbst->setGeometry(46, 18, 38, 13);
    lblSqpt = ValueLabel("0", grpMailBox);
    lblSqpt->setGeometry(46, 36, 38, 13);
}

void TStatusMonitor::BuildValueGroups() {
    grpQref = Group(this, " $QREF ", 436, 6, 60, 35);
    lblQref = ValueLabel("   0", grpQref);
    lblQref->setGeometry(4, 16, 30, 14);
    lblQref->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Text(grpQref, "[%]", 37, 16);
    grpLoad = Group(this, " $LOAD ", 501, 6, 60, 35);
    lblLoad = ValueLabel("   0", grpLoad);
    lblLoad->setGeometry(4, 16, 30, 14);
    lblLoad->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Text(grpLoad, "[%]", 37, 16);
    grpMode = Group(this, " 現在のﾓｰﾄﾞ ", 10, 296, 94, 57);
    lblMode = FramedValue(grpMode, "***", QRect(8, 20, 78, 24), Qt::AlignHCenter);
    grpVal = Group(this, " 現在値 ", 109, 296, 451, 73);
    cmbAct0 = BuildSelector(8);
    cmbAct1 = BuildSelector(232);
    ui::SetPlace(cmbAct0, "現在値(左)");
    ui::SetPlace(cmbAct1, "現在値(右)");
    lblVal0 = FramedValue(grpVal, "0", QRect(8, 44, 210, 22), Qt::AlignRight);
    lblVal1 = FramedValue(grpVal, "0", QRect(232, 44, 210, 22), Qt::AlignRight);
}

// An editable selector of the polled variable: upper case, no input method, no tab stop.
ui::ComboBox* TStatusMonitor::BuildSelector(int left) {
    auto* box = new ui::ComboBox(variableItems_, grpVal);
    box->setGeometry(left, 18, 210, 22);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setFocusPolicy(Qt::ClickFocus);
    box->setAttribute(Qt::WA_InputMethodEnabled, false);
    box->lineEdit()->setAttribute(Qt::WA_InputMethodEnabled, false);
    box->lineEdit()->setValidator(new UpperCaseValidator(box));
    return box;
}

// The bars' segments lie over their frames, in window coordinates. Each frame's group box starts
// right below the value group above it, so that its title stands above the frame's top line
// (near 52, where the design draws it) and clear of the top segment and the top scale label.
void TStatusMonitor::BuildBars() {
    Group(this, " |$QREF| ", 436, kBarTitleTop, 60, kBarBottom - kBarTitleTop);
    for (size_t i = 0; i < QrefShapes.size(); ++i)
        QrefShapes[i] =
            BarSegment(this, QRect(471, 271 - 14 * static_cast<int>(i), 16, 12), kWhite);
    const std::array<std::pair<const char*, int>, 4> torqueScale = {
        {{"0", 274}, {"100", 208}, {"200", 138}, {"300", 68}}};
    for (const auto& [text, top] : torqueScale)
        Text(this, text, 444, top);
    BarSegment(this, QRect(471, 280, 15, 2), kOlive);

    Group(this, "  $LOAD ", 500, kBarTitleTop, 60, kBarBottom - kBarTitleTop);
    for (size_t i = 0; i < LoadShapes.size(); ++i)
        LoadShapes[i] = BarSegment(this, QRect(542, 273 - 11 * static_cast<int>(i), 4, 10), kWhite);
    const std::array<std::pair<const char*, int>, 5> loadScale = {
        {{"0", 274}, {"25", 223}, {"50", 168}, {"75", 113}, {"100", 59}}};
    for (const auto& [text, top] : loadScale)
        Text(this, text, 510, top);
    BarSegment(this, QRect(542, 280, 3, 2), kGreen);
}

// The layout is fixed in pixels at 96 dpi; a font wider than the designed one would let a
// caption run past its group or into the control after it on its line, or a group's title past
// its frame. Those alone are narrowed.
void TStatusMonitor::FitCaptions() {
    for (QGroupBox* group : findChildren<QGroupBox*>())
        ui::FitGroupTitle(group);
    for (QLabel* caption : findChildren<QLabel*>()) {
        if (!caption->property(kCaptionProperty).toBool()) continue;
        ui::NarrowToFit(caption, caption->text(), CaptionRoom(*caption));
        caption->adjustSize();
    }
}

// From the caption's left to its group's edge, or to the next control on its line.
int TStatusMonitor::CaptionRoom(const QLabel& caption) {
    const int gap = ui::DpiFactor(caption.logicalDpiX()) * 2;
    int right = caption.parentWidget()->contentsRect().right() - 1;
    for (const QWidget* other :
         caption.parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QRect place = other->geometry();
        const bool onItsLine =
            place.top() <= caption.geometry().bottom() && place.bottom() >= caption.y();
        if (other != &caption && onItsLine && place.left() > caption.x())
            right = std::min(right, place.left() - gap);
    }
    return right - caption.x();
}

void TStatusMonitor::SetGroupCaptions(bool numbered) {
    grpStat->setTitle(numbered ? " #STAT " : " ｽﾃｰﾀｽ ");
    grpInst->setTitle(numbered ? " #INST " : " ｺﾏﾝﾄﾞ入力 ");
    grpOust->setTitle(numbered ? " #OUST " : " ｽﾃｰﾀｽ出力 ");
    grpAlst->setTitle(numbered ? " #ALST " : " ｱﾗｰﾑ出力 ");
}

void TStatusMonitor::ShowUpperOustLamps(bool shown) {
    for (size_t n = 5; n < 8; ++n) {
        lblOust[n]->setVisible(shown);
        oust_bit[n]->setVisible(shown);
    }
}

void TStatusMonitor::DecodeStat(const QByteArray& reply) {
    const auto lamps = status::LampBits<16>(status::ParseNumber(reply));
    for (size_t n = 0; n < lamps.size(); ++n)
        SetLamp(lblStat[n], lamps[n], kYellow);
}

void TStatusMonitor::DecodeAlst(const QByteArray& reply) {
    const auto lamps = status::LampBits<16>(status::ParseNumber(reply));
    for (size_t n = 0; n < lamps.size(); ++n)
        SetLamp(lblAlst[n], lamps[n], kRed);
}

void TStatusMonitor::DecodeInst(const QByteArray& reply) {
    const auto lamps = status::LampBits<8>(status::ParseNumber(reply));
    for (size_t n = 0; n < lamps.size(); ++n)
        SetLamp(lblInst[n], lamps[n], kYellow);
}

void TStatusMonitor::DecodeOust(const QByteArray& reply) {
    const auto lamps = status::LampBits<8>(status::ParseNumber(reply));
    for (size_t n = 0; n < lamps.size(); ++n)
        SetLamp(lblOust[n], lamps[n], kYellow);
}

void TStatusMonitor::DecodeQref(const QByteArray& reply) {
    const auto bar = status::TorqueBar(status::ParseNumber(reply));
    for (size_t i = 0; i < bar.size(); ++i)
        Paint(QrefShapes[i], ColourOf(bar[i]));
}

void TStatusMonitor::DecodeLoad(const QByteArray& reply) {
    const auto bar = status::LoadBar(status::ParseNumber(reply));
    for (size_t i = 0; i < bar.size(); ++i)
        Paint(LoadShapes[i], ColourOf(bar[i]));
}

void TStatusMonitor::DecodeAnother(const QByteArray& reply) {
    ShowLamps(status::OtherInputLamps(ExtraWordForm(), reply));
}

void TStatusMonitor::DecodePoleSens(const QByteArray& reply) {
    ShowLamps(status::PoleSensorLamps(ExtraWordForm(), reply));
}

void TStatusMonitor::DecodeAnother2(const QByteArray& reply) {
    ShowLamps(status::OtherOutputLamps(ExtraWordForm(), reply));
}

void TStatusMonitor::ShowLamps(const std::vector<status::LampSetting>& lamps) {
    using status::ExtraLamp;
    for (const status::LampSetting& setting : lamps) {
        QLabel* lamp = nullptr;
        switch (setting.lamp) {
        case ExtraLamp::ExtInt:
            lamp = lblExtInt;
            break;
        case ExtraLamp::Home:
            lamp = lblHome;
            break;
        case ExtraLamp::PoleU:
            lamp = lblPole_U;
            break;
        case ExtraLamp::PoleV:
            lamp = lblPole_V;
            break;
        case ExtraLamp::PoleW:
            lamp = lblPole_W;
            break;
        case ExtraLamp::UnderVolt:
            lamp = lblUnderVolt;
            break;
        case ExtraLamp::OverVolt:
            lamp = lblOverVolt;
            break;
        case ExtraLamp::OverCurrent:
            lamp = lblOverCurrent;
            break;
        }
        SetLamp(lamp, setting.on, kYellow);
    }
}
