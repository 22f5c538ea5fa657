#include "UnitSetup.h"

#include "UnitMain.h"
#include "editor/UnitEdit.h"
#include "link/UnitGeneral.h"
#include "link/Waits.h"
#include "parameters/UnitPrm.h"
#include "status/UnitDataTable.h"
#include "status/UnitStat.h"
#include "ui/Dialogs.h"
#include "ui/DpiScaling.h"
#include "ui/Guard.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <array>

TfrmSetup* frmSetup = nullptr;

namespace {

constexpr std::array<int, 5> kRates{1200, 4800, 9600, 19200, 38400};
// The size the dialog's contents take at 96 dpi.
constexpr QSize kDesignedSize(378, 625);
const QString kCheckFirst = "通信設定が変更されましたので通信確立状況を確認してください。";

} // namespace

TfrmSetup::TfrmSetup(QWidget* owner)
    : ui::Form(owner), cmbModelType(new ui::ComboBox({"QWA", "QWB", "QWC", "QWD"}, this)),
      cmbTransmit(new ui::ComboBox({"有り", "無し"}, this)),
      btnClose(new QPushButton("閉じる", this)),
      cmbPort(
          new ui::ComboBox({"Comm1", "Comm2", "Comm3", "Comm4", "Comm5", "Comm6", "Comm7"}, this)),
      cmbBaudrate(new ui::ComboBox({"1200", "4800", "9600", "19200", "38400"}, this)),
      cmbParity(new ui::ComboBox({"無し", "偶数"}, this)), grpAxisCondition(new AxisBoxes(this)),
      btnCheck(new QPushButton("確認", this)), ProgressBar1(new QProgressBar(this)),
      Timer1(new ui::Timer(15, this)) {
    setWindowTitle("設定");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint);
    BuildLayout();
    btnClose->setToolTip("閉じる");
    ui::Connect(btnClose, &QPushButton::clicked, this, [this] { btnCloseClick(); });
    ui::Connect(btnCheck, &QPushButton::clicked, this, [this] { btnCheckClick(); });
    connect(Timer1, &QTimer::timeout, this, [this] { ++Timer1->Tag; });
    setFixedSize(kDesignedSize);
    ui::KeepDesignedLayout(*this);
    ui::ScaleToDpi(*this);
    ui::ScaleControlsToDpi(*this);
}

void TfrmSetup::BuildLayout() {
    auto group = [this](const QString& caption, QWidget* content) {
        auto* box = new QGroupBox(caption, this);
        (new QVBoxLayout(box))->addWidget(content);
        return box;
    };
    auto* comm = new QGroupBox(" RS232C  ﾎﾟｰﾄ･ﾎﾞｰﾚｰﾄ・ﾊﾟﾘﾃｨﾁｪｯｸ ", this);
    auto* commLayout = new QHBoxLayout(comm);
    commLayout->addWidget(group(" 通信ﾎﾟｰﾄ ", cmbPort));
    commLayout->addWidget(group(" 通信速度 [bps] ", cmbBaudrate));
    commLayout->addWidget(group(" ﾊﾟﾘﾃｨﾁｪｯｸ ", cmbParity));

    grpAxisCondition->AddButton(btnCheck);
    QGroupBox* direction = ScanProgressGroup(this, ProgressBar1);

    auto* top = new QHBoxLayout;
    top->addWidget(group(" ﾄﾞﾗｲﾊﾞｼﾘｰｽﾞ名 ", cmbModelType));
    top->addWidget(group(" 起動時通信確立検索 ", cmbTransmit));
    top->addWidget(btnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(comm);
    layout->addWidget(grpAxisCondition);
    layout->addWidget(direction);
}

// The settings the port was opened with count as checked when the dialog comes up; a later
// activation (after a message box, say) must not take the user's changes for checked ones.
void TfrmSetup::FormShow() {
    portOpenFailed_ = false;
    RecordCheckedSettings();
}

void TfrmSetup::FormActivate() {
    cmbModelType->setFocus();
}

void TfrmSetup::RecordCheckedSettings() {
    CheckedPort = cmbPort->ItemIndex() + 1;
    CheckedBaudIndex = cmbBaudrate->ItemIndex();
    CheckedParityIndex = cmbParity->ItemIndex();
}

bool TfrmSetup::PortSettingsChecked() const {
    return cmbPort->ItemIndex() + 1 == CheckedPort &&
           cmbBaudrate->ItemIndex() == CheckedBaudIndex &&
           cmbParity->ItemIndex() == CheckedParityIndex;
}

void TfrmSetup::btnCloseClick() {
    if (!PortSettingsChecked()) {
        ui::ShowWarning(kCheckFirst, "通信確立ﾁｪｯｸ確認");
        return;
    }
    close();
}

bool TfrmSetup::FormCloseQuery() {
    if (PortSettingsChecked()) return true;
    ui::ShowWarning(kCheckFirst, "通信確立ﾁｪｯｸ確認");
    return false;
}

void TfrmSetup::FormClose() {
    const int rateIndex = cmbBaudrate->ItemIndex();
    frmMain->Label5->setText(QString::number(BaudOfIndex(rateIndex)));
    const int port = cmbPort->ItemIndex() + 1;
    frmMain->Label6->setText(FormatOfParity(cmbParity->ItemIndex()));
    mdlGeneral->SetCommParams(static_cast<short>(port),
                              static_cast<unsigned>(BaudOfIndex(rateIndex)),
                              static_cast<short>(cmbParity->ItemIndex()));
    ApplySeries();
    if (frmStat) frmStat->ApplySeriesTexts(SeriesIndex());
    SetModalResult(ui::mrOk);
}

int SeriesIndex() {
    return frmSetup ? frmSetup->cmbModelType->ItemIndex() : -1;
}

int BaudOfIndex(int index) {
    return index >= 0 && index < static_cast<int>(kRates.size())
               ? kRates[static_cast<size_t>(index)]
               : 1200;
}

int IndexOfBaud(int baud) {
    for (size_t i = 0; i < kRates.size(); ++i)
        if (kRates[i] == baud) return static_cast<int>(i);
    return 0;
}

QString FormatOfParity(int parityIndex) {
    return parityIndex == 1 ? "[bps], E, 7, 1" : "[bps], N, 8, 1";
}

void ApplySeries() {
    const int series = SeriesIndex();
    if (series < 0 || series > 3) return;
    const bool firstSeries = series == 0;
    const bool laterSeries = series >= 2;
    frmMain->btnPopupManual->setVisible(series == 1);
    frmMain->btnPopupFRA->setVisible(laterSeries);
    frmMain->btnPopupAlarmList->setVisible(!firstSeries);

    frmPrm->grdPrm->SetCell(1, 0, firstSeries ? "       KASO" : "       KASO2");
    frmPrm->Label3->setVisible(!firstSeries);
    frmDataTable->grdDataTable->SetRowCount(firstSeries ? 49 : 385);
    frmDataTable->grdDataTable->SetCell(1, 0, firstSeries ? "     KASO" : "     KASO2");
    frmDataTable->Label3->setVisible(!firstSeries);

    for (QAction* item : {frmEdit->RunUpLoadMailBox, frmEdit->btnPopupUpLoadProgram,
                          frmEdit->RunDownloadItem, frmEdit->btnPopupDownLoad})
        item->setVisible(!firstSeries);
    for (QAction* item : {frmEdit->RunDownloadCamItem, frmEdit->RunDownloadDataItem,
                          frmEdit->RunUpLoadCam, frmEdit->RunUpLoadData,
                          frmEdit->btnPopupUpLoadCamData, frmEdit->btnPopupUpLoadCorrectData,
                          frmEdit->btnPopupDownLoadCamData, frmEdit->btnPopupDownLoadCorrectData})
        item->setVisible(laterSeries);
}

bool OpenPortOrAskForRestart() {
    try {
        mdlGeneral->OpenPort();
        return true;
    } catch (const platform::ECommError&) {
        ui::ShowWarning(
            "Commポートがオープンできませんでした。\n再度ｱﾌﾟﾘｹｰｼｮﾝを立ち上げ直してください。",
            "警告");
        return false;
    }
}

// The main window's setup button: the line is freed, the port closed for the dialog and opened
// again with what the dialog applied.
void TfrmMain::btnSetupClick() {
    HideDriveScreens();
    StopContinuousOutput();
    try {
        mdlGeneral->ClosePort();
    } catch (const platform::ECommError&) {
        ui::ShowWarning("Commポートがクローズできませんでした。", "警告");
        edtSend->setFocus();
        return;
    }
    frmSetup->ShowModal();
    PortOpenFailed = false;
    // A check that could not open the port has told the user to start again: the program ends
    // without trying the port a second time and warning again.
    if (frmSetup->CheckFoundNoPort() || !OpenPortOrAskForRestart()) {
        PortOpenFailed = true;
        close();
        return;
    }
    edtSend->setFocus();
    mdlGeneral->TakeLine(ridTerminal);
}
