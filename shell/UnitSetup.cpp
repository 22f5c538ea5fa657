#include "UnitSetup.h"

#include "UnitMain.h"
#include "Waits.h"
#include "editor/UnitEdit.h"
#include "parameters/UnitPrm.h"
#include "status/UnitDataTable.h"

#include <QFormLayout>
#include <array>

TfrmSetup* frmSetup = nullptr;

namespace {

constexpr std::array<int, 5> kRates{1200, 4800, 9600, 19200, 38400};

} // namespace

TfrmSetup::TfrmSetup(QWidget* owner)
    : ui::Form(owner), cmbModelType(new ui::ComboBox({"QWA", "QWB", "QWC", "QWD"}, this)),
      cmbTransmit(new ui::ComboBox({"有り", "無し"}, this)),
      cmbPort(new ui::ComboBox(
          {"Comm1", "Comm2", "Comm3", "Comm4", "Comm5", "Comm6", "Comm7"}, this)),
      cmbBaudrate(new ui::ComboBox({"1200", "4800", "9600", "19200", "38400"}, this)),
      cmbParity(new ui::ComboBox({"無し", "偶数"}, this)), btnClose(new QPushButton("閉じる", this)),
      Timer1(new ui::Timer(15, this)) {
    setWindowTitle("設定");
    auto* layout = new QFormLayout(this);
    layout->addRow(" ﾄﾞﾗｲﾊﾞｼﾘｰｽﾞ名 ", cmbModelType);
    layout->addRow(" 起動時通信確立検索 ", cmbTransmit);
    layout->addRow(" 通信ﾎﾟｰﾄ ", cmbPort);
    layout->addRow(" 通信速度 [bps] ", cmbBaudrate);
    layout->addRow(" ﾊﾟﾘﾃｨﾁｪｯｸ ", cmbParity);
    layout->addRow(btnClose);
    connect(Timer1, &QTimer::timeout, this, [this] { ++Timer1->Tag; });
    ScaleToDpi(*this);
}

int SeriesIndex() { return frmSetup ? frmSetup->cmbModelType->ItemIndex() : -1; }

int BaudOfIndex(int index) {
    return index >= 0 && index < static_cast<int>(kRates.size()) ? kRates[static_cast<size_t>(index)]
                                                                  : 1200;
}

int IndexOfBaud(int baud) {
    for (size_t i = 0; i < kRates.size(); ++i)
        if (kRates[i] == baud)
            return static_cast<int>(i);
    return 0;
}

QString FormatOfParity(int parityIndex) {
    return parityIndex == 1 ? "[bps], E, 7, 1" : "[bps], N, 8, 1";
}

void ApplySeries() {
    const int series = SeriesIndex();
    if (series < 0 || series > 3)
        return;
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
    for (QAction* item :
         {frmEdit->RunDownloadCamItem, frmEdit->RunDownloadDataItem, frmEdit->RunUpLoadCam,
          frmEdit->RunUpLoadData, frmEdit->btnPopupUpLoadCamData, frmEdit->btnPopupUpLoadCorrectData,
          frmEdit->btnPopupDownLoadCamData, frmEdit->btnPopupDownLoadCorrectData})
        item->setVisible(laterSeries);
}
