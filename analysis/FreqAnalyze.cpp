// The analysis window: its pages and controls, the option handlers that keep the Bode and vector
// pages' twin controls alike, and the lock of the main window's tools during a run.
#include "FreqAnalyze.h"

#include "TextTable.h"

#include "link/UnitGeneral.h"
#include "link/Waits.h"
#include "shell/UnitMain.h"
#include "ui/CarriedText.h"
#include "ui/DpiScaling.h"
#include "ui/Guard.h"

#include <QDate>
#include <QLocale>
#include <QTime>

TfrmFRA* frmFRA = nullptr;

namespace fra {

int BoxValue(const QLineEdit* box) {
    return ParseWholeNumber(box->text().toStdString()).value_or(-1);
}

} // namespace fra

namespace {

const QColor kBlue(0, 0, 255), kRed(255, 0, 0), kLime(0, 255, 0), kAqua(0, 255, 255),
    kFuchsia(255, 0, 255), kGreen(0, 128, 0), kPurple(128, 0, 128), kOlive(128, 128, 0);

template <typename T> T* Place(T* widget, int x, int y, int w, int h) {
    widget->setGeometry(x, y, w, h);
    return widget;
}

QLabel* Caption(const QString& text, QWidget* parent, int x, int y, int w = 120) {
    return Place(new QLabel(text, parent), x, y, w, 18);
}

fra::FraEdit* Box(const QString& text, QWidget* parent, int x, int y, int w = 70) {
    return Place(new fra::FraEdit(text, parent), x, y, w, 20);
}

fra::FraEdit* ReadOnlyBox(QWidget* parent, int x, int y, int w = 70) {
    fra::FraEdit* box = Box("", parent, x, y, w);
    box->setReadOnly(true);
    return box;
}

ui::CheckBox* Check(const QString& caption, bool on, QWidget* parent, int x, int y, int w = 110) {
    auto* box = Place(new ui::CheckBox(caption, parent), x, y, w, 18);
    box->setChecked(on);
    return box;
}

// A legend swatch at (x, y).
fra::LegendShape* Legend(const QColor& color, QWidget* parent, int x, int y) {
    auto* legend = new fra::LegendShape(color, parent);
    legend->move(x, y);
    return legend;
}

const QString kBufferNames[3] = {"バッファ１", "バッファ２", "バッファ３"};

} // namespace

TfrmFRA::TfrmFRA(QWidget* owner)
    : ui::Form(owner), pcAnalyze(new QTabWidget(this)), tsFreq(new QWidget), tsVector(new QWidget),
      tsPref(new QWidget), tsSpectrum(new QWidget), DateTimer(new ui::Timer(500, this)),
      Timer2(new ui::Timer(250, this)), Settings{{{1, "位置", "INC", "P=0", 0},
                                                  {2, "速度", "VEL", "V=0", 0},
                                                  {3, "加速度", "ACC", "A=0", 0},
                                                  {4, "力", "FOR", "F=0", 0},
                                                  {5, "Q軸電流", "TOR", "Q=0", 1},
                                                  {6, "Q軸電流－加速度", "TOR", "Q=0", 1},
                                                  {7, "トルク－加速度", "TOR", "Q=0", 1},
                                                  {8, "トルク外乱－トルク", "VEL", "V=0", 0},
                                                  {9, "仮想トルク外乱－トルク", "VEL", "V=0", 0},
                                                  {10, "ノッチフィルタテスト", "TOR", "Q=0", 1}}} {
    setWindowTitle("周波数応答解析");
    setWindowFlags(Qt::Window | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(700, 510);
    pcAnalyze->setGeometry(0, 0, 700, 450);
    pcAnalyze->setTabPosition(QTabWidget::South);
    pcAnalyze->addTab(tsFreq, "周波数応答");
    pcAnalyze->addTab(tsVector, "ベクトル軌跡");
    pcAnalyze->addTab(tsPref, "詳細設定");
    pcAnalyze->addTab(tsSpectrum, "スペクトラム");
    BuildBodePage();
    BuildVectorPage();
    BuildSettingsPage();
    BuildSpectrumPage();
    BuildBottom();
    ConnectOptionHandlers();
    ConnectEntryChecks();
    ui::Connect(Timer2, &QTimer::timeout, this, [this] { Timer2Timer(); });
    ClockWhileShown(DateTimer, [this] { DateTimerTimer(); });
    ui::ScaleToDpi(*this);
    ui::ScaleControlsToDpi(*this);
    JoinDriveScreens(this, DriveScreenKind::Analysis);
    exchange_.sendFailed = Exchange::Quiet();
    exchange_.notAnswered = Exchange::Quiet();
    exchange_.OnEnd = [this](Exchange::End end) {
        if (end == Exchange::End::LineLost) LineLost();
    };
}

void TfrmFRA::BuildBodePage() {
    QWidget* page = tsFreq;
    AnGraph = new fra::PlotBox(QSize(680, 290), page);
    AnGraph->move(5, 5);
    for (int n = 0; n < 3; ++n) {
        const int y = 302 + 20 * n;
        cbBuf[n] = Check(kBufferNames[n], true, page, 5, y, 90);
        cbOL[n] = Check("開ループ", false, page, 95, y, 80);
        rbActiveBuf[n] = Place(new QRadioButton("ロード対象", page), 175, y, 90, 18);
        shBufG[n] = Legend(std::array{kBlue, kRed, kLime}[n], page, 270, y + 4);
        lbBufP[n] = Caption("位相", page, 295, y, 30);
        shBufP[n] = Legend(std::array{kAqua, kFuchsia, kGreen}[n], page, 325, y + 4);
    }
    rbActiveBuf[0]->setChecked(true);
    cbAssistLine = Check("補助線", false, page, 5, 364, 80);
    cbDevide = Check("分割", true, page, 85, 364, 60);
    cbPhase = Check("位相", true, page, 145, 364, 60);
    cbPhaseRO = Check("位相のロールオーバ", false, page, 205, 364, 150);
    btAnalyze = Place(new QPushButton("解析開始", page), 5, 388, 100, 26);
    Caption("周波数[Hz]", page, 420, 298, 80);
    Caption("ゲイン[dB]", page, 500, 298, 80);
    lbPhase = Caption("位相[deg]", page, 580, 298, 80);
    Caption("カーソル", page, 355, 318, 60);
    edCurFreq = ReadOnlyBox(page, 420, 318, 75);
    edCurGain = ReadOnlyBox(page, 500, 318, 75);
    edCurPhase = ReadOnlyBox(page, 580, 318, 75);
    shMarker1 = Legend(kPurple, page, 355, 346);
    edM1Freq = ReadOnlyBox(page, 420, 342, 75);
    edM1Gain = ReadOnlyBox(page, 500, 342, 75);
    edM1Phase = ReadOnlyBox(page, 580, 342, 75);
    shMarker2 = Legend(kOlive, page, 355, 370);
    edM2Freq = ReadOnlyBox(page, 420, 366, 75);
    edM2Gain = ReadOnlyBox(page, 500, 366, 75);
    edM2Phase = ReadOnlyBox(page, 580, 366, 75);
    lblDateNow[0] = Caption("", page, 420, 394, 120);
    lblTimeNow[0] = Caption("", page, 545, 394, 100);
    AnGraph->OnRedraw = [this] { DrawBodePlot(); };
    AnGraph->OnMouseMove = [this](int x, int y) { AnGraphMouseMove(x, y); };
    AnGraph->OnMouseUp = [this](Qt::MouseButton b, int x, int y) { AnGraphMouseUp(b, x, y); };
}

void TfrmFRA::BuildVectorPage() {
    QWidget* page = tsVector;
    AnVector = new fra::PlotBox(QSize(381, 381), page);
    AnVector->move(5, 5);
    for (int n = 0; n < 3; ++n) {
        const int y = 10 + 22 * n;
        cb2Buf[n] = Check(kBufferNames[n], true, page, 395, y, 90);
        cb2OL[n] = Check("開ループ", false, page, 485, y, 80);
        rb2ActiveBuf[n] = Place(new QRadioButton("ロード対象", page), 565, y, 90, 18);
        sh2Buf[n] = Legend(std::array{kBlue, kRed, kLime}[n], page, 660, y + 4);
    }
    rb2ActiveBuf[0]->setChecked(true);
    cb2Assist = Check("補助線", false, page, 395, 82, 80);
    auto* scale = Place(new QGroupBox(page), 395, 104, 160, 30);
    rb_x1 = Place(new QRadioButton("1倍", scale), 5, 6, 60, 18);
    rb_x0R2 = Place(new QRadioButton("1/5倍", scale), 70, 6, 80, 18);
    rb_x1->setChecked(true);
    Caption("大きさ", page, 460, 145, 75);
    Caption("角度[deg]", page, 540, 145, 75);
    Caption("カーソル", page, 395, 165, 60);
    edCurRe = ReadOnlyBox(page, 460, 165, 75);
    edCurIm = ReadOnlyBox(page, 540, 165, 75);
    shM1 = Legend(kPurple, page, 395, 193);
    edM1Re = ReadOnlyBox(page, 460, 189, 75);
    edM1Im = ReadOnlyBox(page, 540, 189, 75);
    shM2 = Legend(kOlive, page, 395, 217);
    edM2Re = ReadOnlyBox(page, 460, 213, 75);
    edM2Im = ReadOnlyBox(page, 540, 213, 75);
    btAnalyze2 = Place(new QPushButton("解析開始", page), 395, 250, 100, 26);
    lblDateNow[1] = Caption("", page, 395, 290, 120);
    lblTimeNow[1] = Caption("", page, 520, 290, 100);
    AnVector->OnRedraw = [this] { DrawVectorLocus(); };
    AnVector->OnMouseMove = [this](int x, int y) { AnVectorMouseMove(x, y); };
    AnVector->OnMouseUp = [this](Qt::MouseButton b, int, int) { AnVectorMouseUp(b); };
}

void TfrmFRA::BuildSettingsPage() {
    QWidget* page = tsPref;
    gbAnalyzeSetting = Place(new QGroupBox("解析設定", page), 5, 5, 330, 200);
    QWidget* g = gbAnalyzeSetting;
    Caption("解析モード", g, 10, 22, 90);
    QStringList modes;
    for (const TFraSetting& setting : Settings)
        modes << setting.ModeName;
    cbFRASET = Place(new ui::ComboBox(modes, g), 110, 20, 200, 22);
    cbFRASET->SetItemIndex(1);
    // Each box is named after its caption in the refusals of its value.
    edFreqFrom = Box("2", g, 110, 46);
    ui::SetPlace(edFreqFrom, Caption("開始周波数[Hz]", g, 10, 48, 100)->text());
    edFreqTo = Box("500", g, 110, 70);
    ui::SetPlace(edFreqTo, Caption("終了周波数[Hz]", g, 10, 72, 100)->text());
    edFreqStep = Box("1", g, 110, 94);
    ui::SetPlace(edFreqStep, Caption("刻み[Hz]", g, 10, 96, 100)->text());
    edSGA = Box("1024", g, 110, 118);
    ui::SetPlace(edSGA, Caption("振幅", g, 10, 120, 100)->text());
    edKIKTM = Box("1", g, 110, 142);
    lbKIKTM = Caption("加速定数(KiKt/J)", g, 10, 144, 100);
    ui::SetPlace(edKIKTM, lbKIKTM->text());
    lbKIKTM->setEnabled(false);
    edKIKTM->setEnabled(false);
    cbVirtual = Check("仮想モード", false, g, 190, 144, 120);
    cbComplex = Check("複素数データで取得", true, g, 190, 48, 135);
    cbDecMaxEnable = Check("刻み上限 (450/Dec)", true, g, 190, 96, 135);

    auto* info = Place(new QGroupBox("バッファ情報", page), 340, 5, 350, 200);
    const QString rows[6] = {"開始周波数[Hz]", "終了周波数[Hz]",     "刻み[Hz]",
                             "ファイル名",     "最低表示周波数[Hz]", "最高表示周波数[Hz]"};
    for (int r = 0; r < 6; ++r)
        Caption(rows[r], info, 5, 42 + 24 * r, 115);
    std::array<std::array<fra::FraEdit*, 3>*, 6> columns = {
        &edFreqFromBuf, &edFreqToBuf, &edFreqStepBuf, &edFileNameBuf, &edLCF, &edHCF};
    for (int n = 0; n < 3; ++n) {
        Caption(kBufferNames[n], info, 125 + 73 * n, 20, 70);
        for (int r = 0; r < 6; ++r) {
            fra::FraEdit* box = Box("", info, 125 + 73 * n, 40 + 24 * r, 70);
            box->setReadOnly(r < 4);
            (*columns[r])[n] = box;
        }
    }
    std::array<fra::ValueGrid**, 3> grids = {&sgParams1, &sgParams2, &sgParams3};
    const QString labels[24] = {
        "#3 モータ定格電流",    "#38 モータタイプ",     "#41 ドライバ最大電流",
        "#67 ＰＷＭ周波数",     "#78 サーボサイクル",   "#17 位置ループ時定数",
        "#18 速度ループ時定数", "#19 加速度ゲイン",     "#79 ＰＩＤ選択 (1=↓, 0=↑）",
        "#80 ＰＩＤ比例ゲイン", "#81 ＰＩＤ積分ゲイン", "#82 ＰＩＤ微分ゲイン",
        "#64 電流比例ゲイン",   "#65 電流積分ゲイン",   "#66 電流微分ゲイン",
        "#39 加速度フィルタ",   "#83 速度フィルタ",     "M 現在モード",
        "VERST  仮想モータ",    "QLIM  トルクリミット", "NFST  ノッチフィルタ",
        "BACT  バス電圧",       "KENC エンコーダ係数",  "VXMAX  最大内部速度"};
    for (int g2 = 0; g2 < 3; ++g2) {
        *grids[g2] = new fra::ValueGrid(page);
        for (int r = 0; r < 8; ++r)
            (*grids[g2])->SetCell(0, r, labels[8 * g2 + r]);
    }
    PlaceValueGrids({sgParams1, sgParams2, sgParams3});
    lblDateNow[2] = Caption("", page, 5, 370, 120);
    lblTimeNow[2] = Caption("", page, 130, 370, 100);
}

// The three grids of internal variables side by side, 5 to 686 across the page: each one's label
// column holds its longest label whole (at least the designed 130 pixels), and what is left goes
// to their values alike. Widths in the design's pixels: the labels are measured in the font
// they are shown in, which already has the screen's factor.
void TfrmFRA::PlaceValueGrids(const std::array<fra::ValueGrid*, 3>& grids) {
    constexpr int kLeft = 5, kRight = 686, kGap = 3, kTop = 212, kHeight = 150;
    constexpr int kDesignedLabelWidth = 130;
    const int factor = ui::DpiFactor(*this);
    // Pixels of the screen in the design's, rounded up so that nothing measured loses room.
    const auto designed = [factor](int pixels) { return (pixels + factor - 1) / factor; };
    std::array<int, 3> labelWidths{};
    int labelsAndFrames = 0;
    for (size_t g = 0; g < grids.size(); ++g) {
        labelWidths[g] = std::max(kDesignedLabelWidth, designed(grids[g]->LabelWidthNeeded()));
        labelsAndFrames += labelWidths[g] + designed(2 * grids[g]->frameWidth());
    }
    const int valueWidth =
        (kRight - kLeft - kGap * int(grids.size() - 1) - labelsAndFrames) / int(grids.size());
    int x = kLeft;
    for (size_t g = 0; g < grids.size(); ++g) {
        const int width = labelWidths[g] + designed(2 * grids[g]->frameWidth()) + valueWidth;
        Place(grids[g], x, kTop, width, kHeight);
        grids[g]->setColumnWidth(0, labelWidths[g]);
        grids[g]->setColumnWidth(1, valueWidth);
        x += width + kGap;
    }
}

void TfrmFRA::BuildSpectrumPage() {
    QWidget* page = tsSpectrum;
    AnSpectrum = new fra::PlotBox(QSize(680, 290), page);
    AnSpectrum->move(5, 5);
    rbAmplitude =
        Place(new fra::RadioGroup("振幅表示", {"振幅ｽﾍﾟｸﾄﾙ", "振幅比(1)", "振幅比(2)"}, page), 5,
              298, 110, 110);
    rbAmplitude->SetItemIndex(0);
    cb3Assist = Check("補助線", false, page, 120, 300, 80);
    cbThickSpectrum = Check("太線", false, page, 120, 322, 80);
    cbWinFunc =
        Place(new ui::ComboBox({"方形窓", "ハニング窓", "ハミング窓", "ブラックマン窓"}, page), 120,
              346, 110, 22);
    cbWinFunc->SetItemIndex(0);
    Caption("最低表示周波数[Hz]", page, 240, 300, 120);
    edSpecFL = Box("1", page, 360, 298, 60);
    Caption("最高表示周波数[Hz]", page, 240, 324, 120);
    edSpecFH = Box("10000", page, 360, 322, 60);
    Caption("ｻﾝﾌﾟﾘﾝｸﾞ周波数[Hz]", page, 240, 348, 120);
    edSpecFreq = Box("1000", page, 360, 346, 60);
    Caption("データ", page, 240, 372, 120);
    edSpecVal = ReadOnlyBox(page, 360, 370, 60);
    Caption("周波数[Hz]", page, 500, 298, 80);
    Caption("振幅", page, 590, 298, 80);
    Caption("カーソル", page, 430, 318, 60);
    edCur3Freq = ReadOnlyBox(page, 500, 318, 85);
    edCur3Amp = ReadOnlyBox(page, 590, 318, 85);
    shMarkerL = Legend(kPurple, page, 430, 346);
    edLFreq = ReadOnlyBox(page, 500, 342, 85);
    edLAmp = ReadOnlyBox(page, 590, 342, 85);
    shMarkerR = Legend(kOlive, page, 430, 370);
    edRFreq = ReadOnlyBox(page, 500, 366, 85);
    edRAmp = ReadOnlyBox(page, 590, 366, 85);
    AnSpectrum->OnRedraw = [this] { DrawSpectrum(); };
    AnSpectrum->OnMouseMove = [this](int x, int y) { AnSpectrumMouseMove(x, y); };
    AnSpectrum->OnMouseUp = [this](Qt::MouseButton b, int x, int y) { AnSpectrumMouseUp(b, x, y); };
}

void TfrmFRA::BuildBottom() {
    btOpen = Place(new QPushButton("開く", this), 5, 455, 70, 26);
    btSave = Place(new QPushButton("保存", this), 80, 455, 70, 26);
    btPrint = Place(new QPushButton("印刷", this), 155, 455, 70, 26);
    pnAnalyze = Place(new fra::Panel(this), 235, 455, 200, 26);
    pnStatus = Place(new fra::Panel(this), 440, 455, 255, 26);
    ui::Connect(btOpen, &QPushButton::clicked, this, [this] { btOpenClick(); });
    ui::Connect(btSave, &QPushButton::clicked, this, [this] { btSaveClick(); });
    ui::Connect(btPrint, &QPushButton::clicked, this, [this] { btPrintClick(); });
    ui::Connect(btAnalyze, &QPushButton::clicked, this, [this] { btAnalyzeClick(); });
    ui::Connect(btAnalyze2, &QPushButton::clicked, this, [this] { btAnalyze2Click(); });
}

void TfrmFRA::ConnectOptionHandlers() {
    // A click on a box of one page sets its twin on the other page and redraws.
    const auto mirrorBox = [this](ui::CheckBox* clicked, ui::CheckBox* twin) {
        clicked->OnClick = [this, clicked, twin] {
            twin->setChecked(clicked->Checked());
            DrawActivePage();
        };
    };
    const auto mirrorButton = [this](QRadioButton* clicked, QRadioButton* twin) {
        ui::Connect(clicked, &QRadioButton::clicked, this,
                    [clicked, twin] { twin->setChecked(clicked->isChecked()); });
    };
    for (int n = 0; n < 3; ++n) {
        mirrorBox(cbBuf[n], cb2Buf[n]);
        mirrorBox(cb2Buf[n], cbBuf[n]);
        mirrorBox(cbOL[n], cb2OL[n]);
        mirrorBox(cb2OL[n], cbOL[n]);
        mirrorButton(rbActiveBuf[n], rb2ActiveBuf[n]);
        mirrorButton(rb2ActiveBuf[n], rbActiveBuf[n]);
    }
    cbPhase->OnClick = [this] {
        const bool on = cbPhase->Checked();
        for (QWidget* w :
             std::initializer_list<QWidget*>{edCurPhase, edM1Phase, edM2Phase, lbPhase, cbPhaseRO})
            w->setVisible(on);
        for (int n = 0; n < 3; ++n) {
            lbBufP[n]->setVisible(on);
            shBufP[n]->setVisible(on);
        }
        DrawActivePage();
    };
    cbVirtual->OnClick = [this] {
        lbKIKTM->setEnabled(cbVirtual->Checked());
        edKIKTM->setEnabled(cbVirtual->Checked());
    };
    for (ui::CheckBox* box :
         {cbAssistLine, cbDevide, cbPhaseRO, cb2Assist, cb3Assist, cbThickSpectrum})
        box->OnClick = [this] { DrawActivePage(); };
    for (QRadioButton* button : {rb_x1, rb_x0R2})
        ui::Connect(button, &QRadioButton::clicked, this, [this] { DrawActivePage(); });
    ui::Connect(pcAnalyze, &QTabWidget::currentChanged, this, [this] { DrawActivePage(); });
    rbAmplitude->OnClick = [this] { DrawActivePage(); };
    cbWinFunc->OnChange = [this] { ComputeSpectrum(); };
}

int TfrmFRA::GetActiveBuffer() const {
    if (rbActiveBuf[0]->isChecked()) return 0;
    return rbActiveBuf[1]->isChecked() ? 1 : 2;
}

void TfrmFRA::DrawActivePage() {
    if (IsPage(tsFreq))
        DrawBodePlot();
    else if (IsPage(tsVector))
        DrawVectorLocus();
    else
        DrawSpectrum();
}

void TfrmFRA::EnableControls(bool enable) {
    for (QToolButton* button : {frmMain->btnSetup, frmMain->btnPrm, frmMain->btnEdit,
                                frmMain->btnStat, frmMain->btnLogging, frmMain->btnHelp})
        button->setEnabled(enable);
    frmMain->edtSend->setReadOnly(!enable);
    if (!enable) frmMain->edtSend->setText("");
    btOpen->setEnabled(enable);
    btSave->setEnabled(enable);
    btPrint->setEnabled(enable);
    gbAnalyzeSetting->setEnabled(enable);
    pcAnalyze->setTabVisible(pcAnalyze->indexOf(tsSpectrum), enable);
}

void TfrmFRA::FormShow() {
    DrawActivePage();
}

// The window that goes during a run stops it as the stop button does: the end sequence stops the
// driver.
void TfrmFRA::FormHide() {
    if (measuring_) RunFlag = 0;
}

void TfrmFRA::FormClose() {
    DateTimer->SetEnabled(false);
}

void TfrmFRA::DateTimerTimer() {
    const QLocale locale;
    const QString date = locale.toString(QDate::currentDate(), QLocale::ShortFormat);
    const QString time = locale.toString(QTime::currentTime(), QLocale::ShortFormat);
    for (int k = 0; k < 3; ++k) {
        lblDateNow[k]->setText(date);
        lblTimeNow[k]->setText(time);
    }
}
