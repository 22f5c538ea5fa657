#include "UnitMain.h"

#include "UnitSetup.h"
#include "UnitVersion.h"
#include "analysis/FreqAnalyze.h"
#include "editor/UnitEdit.h"
#include "link/ReplyRouting.h"
#include "link/UnitGeneral.h"
#include "link/Waits.h"
#include "logging/UnitLogging_QWB.h"
#include "logging/UnitLogging_QWC.h"
#include "parameters/UnitPrm.h"
#include "parameters/UnitPrmLock.h"
#include "platform/HelpViewer.h"
#include "platform/Settings.h"
#include "status/UnitAlarmList.h"
#include "status/UnitDataTable.h"
#include "status/UnitStat.h"
#include "status/UnitStat_QWC.h"
#include "ui/CarriedText.h"
#include "ui/Codec.h"
#include "ui/Dialogs.h"
#include "ui/DpiScaling.h"
#include "ui/Guard.h"
#include "ui/Wait.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QMenu>
#include <QVBoxLayout>

TfrmMain* frmMain = nullptr;

namespace {

const QString kAnswerTooLong = "(ドライバの応答が長すぎて読めませんでした)";

const QStringList kGuideOfFirstParameterGen1 = {
    "名称 : ｴﾝｺｰﾀﾞﾊﾟﾙｽ", "ｴﾝｺｰﾀﾞ1回転当たりのてい倍前ﾊﾟﾙｽ数を設定してください。",
    "単位は [Pulse/rev] です。"};
const QStringList kGuideOfFirstParameterGen2 = {
    "名称 : ｴﾝｺｰﾀﾞ基本分解能",
    "[回転型ﾓｰﾀの場合]",
    "ｴﾝｺｰﾀﾞ1回転当たりのてい倍前ﾊﾟﾙｽ数を設定してください。",
    "単位は [Pulse/rev] です。",
    "[ﾘﾆｱ型ﾓｰﾀの場合]",
    "ﾘﾆｱ型ﾓｰﾀの磁極設置範囲当たりのてい倍前ﾊﾟﾙｽ数を設定してください。",
    "単位は [Pulse/磁極間設置範囲] です。"};

constexpr std::array<int, 4> kLogDefaultsQWB{1, 3, 6, 11};
constexpr std::array<int, 4> kLogDefaultsQWC{1, 3, 6, 12};

QToolButton* AddToolButton(QToolBar* bar, const QString& caption, const QString& hint,
                           QMenu* menu = nullptr) {
    auto* button = new QToolButton(bar);
    button->setText(caption);
    button->setToolTip(hint);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setFixedWidth(75);
    if (menu) {
        button->setMenu(menu);
        button->setPopupMode(QToolButton::InstantPopup);
    }
    bar->addWidget(button);
    return button;
}

} // namespace

TfrmMain::TfrmMain(QWidget* owner) : ui::Form(owner) {
    setWindowTitle("kasoｽﾀｼﾞｵ");
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    BuildToolBar();
    BuildTerminal();
    Timer1 = new ui::Timer(100, this);
    Timer2 = new ui::Timer(250, this);
    Timer3 = new ui::Timer(15, this);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    connect(Timer2, &QTimer::timeout, this, [this] { Timer2Timer(); });
    connect(Timer3, &QTimer::timeout, this, [this] { Timer3Timer(); });
    resize(462, 173);
    frmMain = this;
    FormCreate();
}

TfrmMain::~TfrmMain() {
    FormDestroy();
    if (frmMain == this) frmMain = nullptr;
}

void TfrmMain::BuildToolBar() {
    ToolBar1 = new QToolBar(this);
    btnSetup = AddToolButton(ToolBar1, "  設定 ", "ﾎﾞｰﾚｰﾄなどの設定");
    PopupMenu1 = new QMenu(this);
    btnPopupPrm = PopupMenu1->addAction("ﾊﾟﾗﾒｰﾀ 一覧");
    btnPopupDataTable = PopupMenu1->addAction("ﾃﾞｰﾀﾃｰﾌﾞﾙ 一覧");
    btnPopupAlarmList = PopupMenu1->addAction("ｱﾗｰﾑ履歴 一覧");
    btnPrm = AddToolButton(ToolBar1, " ﾊﾟﾗﾒｰﾀ ", "ﾊﾟﾗﾒｰﾀの変更など", PopupMenu1);
    btnEdit = AddToolButton(ToolBar1, "  編集 ", "ﾃｷｽﾄの編集など");
    btnStat = AddToolButton(ToolBar1, " ｽﾃｰﾀｽ ", "現在の状態の表示");
    PopupMenu3 = new QMenu(this);
    btnPopupLogging = PopupMenu3->addAction("ﾃﾞｰﾀﾛｷﾞﾝｸﾞ");
    btnPopupFRA = PopupMenu3->addAction("周波数応答解析(FRA)");
    btnLogging = AddToolButton(ToolBar1, "  解析", "簡易オシロスコープなど", PopupMenu3);
    PopupMenu2 = new QMenu(this);
    btnPopupManual = PopupMenu2->addAction("KASO2 ﾍﾙﾌﾟ");
    btnPopupHelp = PopupMenu2->addAction("ﾊﾞｰｼﾞｮﾝ情報");
    btnHelp = AddToolButton(ToolBar1, " ﾍﾙﾌﾟ ", "ﾊﾞｰｼﾞｮﾝ情報などの表示", PopupMenu2);

    ui::Connect(btnSetup, &QToolButton::clicked, this, [this] { btnSetupClick(); });
    ui::Connect(btnPopupPrm, &QAction::triggered, this, [this] { btnPopupPrmClick(); });
    ui::Connect(btnStat, &QToolButton::clicked, this, [this] { btnStatClick(); });
    ui::Connect(btnPopupDataTable, &QAction::triggered, this, [this] { btnPopupDataTableClick(); });
    ui::Connect(btnPopupAlarmList, &QAction::triggered, this, [this] { btnPopupAlarmListClick(); });
    ui::Connect(btnPopupLogging, &QAction::triggered, this, [this] { btnPopupLoggingClick(); });
    ui::Connect(btnPopupFRA, &QAction::triggered, this, [this] { btnPopupFRAClick(); });
    ui::Connect(btnEdit, &QToolButton::clicked, this, [this] { btnEditClick(); });
    ui::Connect(btnPopupManual, &QAction::triggered, this, [this] { btnPopupManualClick(); });
    ui::Connect(btnPopupHelp, &QAction::triggered, this, [this] { btnPopupHelpClick(); });
}

void TfrmMain::BuildTerminal() {
    Label1 = new QLabel("送信", this);
    Label2 = new QLabel("受信", this);
    edtSend = new ui::Edit(this);
    edtSend->SetUpperCase(true);
    ui::SetPlace(edtSend, "送信欄");
    edtSend->setAttribute(Qt::WA_InputMethodEnabled, false);
    ui::CachePanelOf(edtSend); // repainted on every key and exchange
    lblReceive = new ui::TextLine(this);
    lblReceive->setMinimumWidth(360);
    Label3 = new QLabel("現在の指定軸", this);
    lblAxis = new QLabel("*", this);
    Label4 = new QLabel("現在のBaudRate : ", this);
    Label5 = new QLabel("*****", this);
    Label6 = new QLabel("[bps], N, 8, 1", this);
    Image1 = new QLabel(this);
    Image1->setFixedSize(60, 12);
    edtSend->OnKeyPress = [this](QChar& key) { edtSendKeyPress(key); };
    edtSend->OnKeyDown = [this](int& key, Qt::KeyboardModifiers shift) {
        edtSendKeyDown(key, shift);
    };
    SetReplyReceiver(
        ridTerminal, this,
        [this](QObject*) {
            // An answer longer than the ring can read is not shown cut: the label says so.
            ShowTerminalReply(mdlGeneral->LastReplyTooLong()
                                  ? kAnswerTooLong
                                  : ui::cp932::DecodeForDisplay(mdlGeneral->LastReply()));
        },
        [this](bool asked) {
            if (!asked) TerminalLineNotAsked();
        });

    auto* grid = new QGridLayout;
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(edtSend, 0, 1, 1, 4);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(lblReceive, 1, 1, 1, 4);
    grid->addWidget(Label3, 2, 0);
    grid->addWidget(lblAxis, 2, 1);
    grid->addWidget(Label4, 2, 2);
    grid->addWidget(Label5, 2, 3);
    grid->addWidget(Label6, 2, 4);
    grid->setContentsMargins(8, 4, 8, 0);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 4);
    ToolBar1->setMovable(false); // no handle: the six buttons take the window's width
    ToolBar1->setContentsMargins(0, 0, 0, 0);
    ToolBar1->layout()->setSpacing(0);
    layout->addWidget(ToolBar1);
    layout->addLayout(grid);
    layout->addWidget(Image1, 0, Qt::AlignRight);
}

void TfrmMain::FormCreate() {
    PortOpenFailed = false;
    CreateOwnedWindows();
    const StartSettings stored = LoadSettings();
    OpenPortAtStart(stored);
    SentState = false;
    mdlGeneral->TakeLine(ridTerminal);
    HistoryIndex = 0;
    ui::ScaleToDpi(*this);
    ui::ScaleControlsToDpi(*this);
    EncoderResolution = 1000;
    RatedCurrent = 16;
    MaxSpeed = 3000;
    DetectMode = 40;
    DriverMaxCurrent = 39;
    DetectMultiplier = 4;
    KencValue = 100;
    ApplySeries();
    if (SeriesIndex() >= 2) frmPrm->grdPrm->SetRowCount(111);
    if (SeriesIndex() >= 1 && SeriesIndex() <= 3) frmPrmLock->grdPrm->SetRowCount(201);
    ShowFirstGuides(stored.guide);
    DriverTypeDigit = 0;
}

void TfrmMain::CreateOwnedWindows() {
    frmSetup = new TfrmSetup(this);
    frmLogging_QWB = new TfrmLogging_QWB(this);
    frmLogging_QWC = new TfrmLogging_QWC(this);
    frmPrm = new TfrmPrm(this);
    frmDataTable = new TfrmDataTable(this);
    frmAlarmList = new TfrmAlarmList(this);
    frmEdit = new TfrmEdit(this);
    frmPrmLock = new TfrmPrmLock(this);
}

TfrmMain::StartSettings TfrmMain::LoadSettings() {
    const platform::IniSettings settings(platform::kSettingsKey);
    frmSetup->cmbModelType->SetItemIndex(settings.ReadInteger("Model", "ModelType", 3) - 1);
    frmSetup->cmbPort->SetItemIndex(settings.ReadInteger("Comm", "CommPort", 1) - 1);
    const int baud = settings.ReadInteger("Comm", "Baudrate", 1200);
    frmSetup->cmbBaudrate->SetItemIndex(IndexOfBaud(baud));
    Label5->setText(QString::number(BaudOfIndex(IndexOfBaud(baud))));
    const int parity = settings.ReadInteger("Comm", "Parity", 1);
    Label6->setText(FormatOfParity(parity - 1));
    frmSetup->cmbParity->SetItemIndex(parity - 1);
    frmSetup->cmbTransmit->SetItemIndex(settings.ReadInteger("Comm", "TransmitCheck", 1) - 1);
    for (int channel = 0; channel < 4; ++channel) {
        const int qwb = settings.ReadInteger("Logging", QString("Log%1Name_QWB").arg(channel + 1),
                                             kLogDefaultsQWB[static_cast<size_t>(channel)]);
        LogChannel[static_cast<size_t>(channel)] = static_cast<short>(qwb);
        frmLogging_QWB->ChannelLists()[static_cast<size_t>(channel)]->SetItemIndex(qwb - 1);
    }
    for (int channel = 0; channel < 4; ++channel) {
        const int qwc = settings.ReadInteger("Logging", QString("Log%1Name_QWC").arg(channel + 1),
                                             kLogDefaultsQWC[static_cast<size_t>(channel)]);
        LogChannel[static_cast<size_t>(channel + 4)] = static_cast<short>(qwc);
        frmLogging_QWC->ChannelLists()[static_cast<size_t>(channel)]->SetItemIndex(qwc - 1);
    }
    StartSettings stored;
    stored.port = settings.ReadInteger("Comm", "CommPort", 1);
    stored.baud = BaudOfIndex(IndexOfBaud(baud));
    stored.parity = parity - 1;
    stored.guide = settings.ReadBool("Prm", "Guide", true);
    return stored;
}

void TfrmMain::OpenPortAtStart(const StartSettings& stored) {
    try {
        mdlGeneral->SetCommParams(static_cast<short>(stored.port),
                                  static_cast<unsigned>(stored.baud),
                                  static_cast<short>(stored.parity));
        PortOpenFailed = false;
        mdlGeneral->OpenPort();
        mdlGeneral->PurgePort();
    } catch (const platform::ECommError&) {
        ui::ShowWarning(
            "Commポートがオープンできませんでした。\n設定画面でポートの選択を変更してください。",
            "警告");
        PortOpenFailed = true;
    }
}

void TfrmMain::ShowFirstGuides(bool guide) {
    if (guide) {
        frmPrm->PrmGuide_Checkbox->SetChecked(true);
        frmPrmLock->PrmGuide_Checkbox->SetChecked(true);
    } else {
        frmPrm->RichEdit1->hide();
        frmPrmLock->RichEdit1->hide();
    }
    frmPrm->RichEdit1->clear();
    frmPrm->grdPrm->SetRow(1);
    if (SeriesIndex() == 0)
        WriteGuide(frmPrm->RichEdit1, kGuideOfFirstParameterGen1);
    else if (SeriesIndex() >= 1 && SeriesIndex() <= 3)
        WriteGuide(frmPrm->RichEdit1, kGuideOfFirstParameterGen2);
    frmPrmLock->RichEdit1->clear();
    frmPrmLock->grdPrm->SetRow(1);
    WriteGuide(frmPrmLock->RichEdit1, kGuideOfFirstParameterGen2);
}

void TfrmMain::FormDestroy() {
    try {
        mdlGeneral->ClosePort();
    } catch (const platform::ECommError&) {
        ui::ShowWarning("Commポートがクローズできませんでした。", "警告");
    }
    try {
        SaveSettings();
        DeleteOwnedWindows();
    } catch (const std::exception&) {
        ui::ShowWarning("初期化オブジェクトの破棄に失敗しました。", "警告");
    }
}

void TfrmMain::SaveSettings() {
    platform::IniSettings settings(platform::kSettingsKey);
    settings.WriteInteger("Model", "ModelType", frmSetup->cmbModelType->ItemIndex() + 1);
    settings.WriteInteger("Comm", "CommPort", frmSetup->cmbPort->ItemIndex() + 1);
    settings.WriteInteger("Comm", "Baudrate", frmSetup->cmbBaudrate->currentText().toInt());
    settings.WriteInteger("Comm", "Parity", frmSetup->cmbParity->ItemIndex() + 1);
    settings.WriteInteger("Comm", "TransmitCheck", frmSetup->cmbTransmit->ItemIndex() + 1);
    for (TFourChannelLogging* window : {static_cast<TFourChannelLogging*>(frmLogging_QWB),
                                        static_cast<TFourChannelLogging*>(frmLogging_QWC)}) {
        const QString series = window == frmLogging_QWB ? "QWB" : "QWC";
        for (int channel = 0; channel < 4; ++channel)
            settings.WriteInteger(
                "Logging", QString("Log%1Name_%2").arg(channel + 1).arg(series),
                window->ChannelLists()[static_cast<size_t>(channel)]->ItemIndex() + 1);
        for (int channel = 0; channel < 4; ++channel)
            settings.WriteInteger("Logging", QString("Log%1Scal_%2").arg(channel + 1).arg(series),
                                  window->ScaleExponent[static_cast<size_t>(channel)] + 1);
    }
    settings.WriteBool("Prm", "Guide",
                       frmPrm->PrmGuide_Checkbox->Checked() ||
                           frmPrmLock->PrmGuide_Checkbox->Checked());
    settings.Flush();
}

void TfrmMain::DeleteOwnedWindows() {
    delete frmSetup;
    frmSetup = nullptr;
    delete frmLogging_QWB;
    frmLogging_QWB = nullptr;
    delete frmLogging_QWC;
    frmLogging_QWC = nullptr;
    delete frmPrm;
    frmPrm = nullptr;
    delete frmDataTable;
    frmDataTable = nullptr;
    delete frmAlarmList;
    frmAlarmList = nullptr;
    delete frmEdit;
    frmEdit = nullptr;
    delete frmPrmLock;
    frmPrmLock = nullptr;
}

bool TfrmMain::FormCloseQuery() {
    // A measurement drives the servo: the program ends only when the user lets the run stop.
    const bool measuring = frmFRA && frmFRA->Measuring();
    if (measuring &&
        !ui::AskYesNo("周波数応答解析画面にて解析中です。解析を停止して終了しますか？", "確認"))
        return false;
    if (frmEdit && frmEdit->Showing() && frmEdit->HasUnsavedDocuments() &&
        !ui::AskYesNo("編集画面にて保存されていないﾌｧｲﾙがあります。それでも終了しますか？", "警告"))
        return false;
    // The stop button's request; as the program ends, the run sends its stop commands on the
    // way out.
    if (measuring) frmFRA->RunFlag = 0;
    return true;
}

void TfrmMain::FormClose() {
    ui::RequestQuit();
}

void TfrmMain::FormActivate() {
    edtSend->setFocus();
}

void TfrmMain::btnEditClick() {
    StopStatusMonitor();
    frmEdit->Show();
}

void TfrmMain::btnPopupManualClick() {
    const QString path = QCoreApplication::applicationDirPath() + "/KASO2_HELP.HLP";
    if (!platform::OpenHelpFile(path))
        ui::ShowWarning(QString("ﾍﾙﾌﾟﾌｧｲﾙを開けませんでした。\n%1").arg(path), "警告");
}

void TfrmMain::btnPopupHelpClick() {
    frmVersion = new TfrmVersion(nullptr);
    frmVersion->ShowModal();
    delete frmVersion;
    frmVersion = nullptr;
}
