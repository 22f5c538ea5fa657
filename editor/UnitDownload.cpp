#include "UnitDownload.h"

#include "DataAddress.h"
#include "UnitEdit.h"
#include "UnitUpload.h"
#include "link/UnitGeneral.h"
#include "ui/Codec.h"
#include "ui/Dialogs.h"
#include "ui/DpiScaling.h"
#include "ui/Guard.h"
#include "ui/Widgets.h"

#include <QGridLayout>

TfrmDownload* frmDownload = nullptr;

TfrmDownload::TfrmDownload(QWidget* owner)
    : ui::Form(owner), Label1(new QLabel("開始ｱﾄﾞﾚｽ", this)),
      cmbFirst(new ui::ComboBox(kStartAddressItems.first(kDownloadStartAddressItems), this)),
      Label4(new QLabel("ﾀﾞｳﾝﾛｰﾄﾞ済ﾃﾞｰﾀ数", this)), edtPath(new ui::Edit(this)),
      btnClose(new QPushButton("閉じる", this)), btnStart(new QPushButton("ﾀﾞｳﾝﾛｰﾄﾞ開始", this)),
      btnStop(new QPushButton("ﾀﾞｳﾝﾛｰﾄﾞ停止", this)) {
    setWindowTitle("内部変数のﾀﾞｳﾝﾛｰﾄﾞ");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    BuildLayout();

    UseStartAddressEdit(*cmbFirst, [this](QChar& key) { cmbFirstKeyPress(key); });
    cmbFirst->setAttribute(Qt::WA_InputMethodEnabled, false);

    ui::Connect(btnClose, &QPushButton::clicked, this, [this] { btnCloseClick(); });
    ui::Connect(btnStart, &QPushButton::clicked, this, [this] { btnStartClick(); });
    ui::Connect(btnStop, &QPushButton::clicked, this, [this] { btnStopClick(); });
    FormCreate();
}

void TfrmDownload::BuildLayout() {
    PrepareTransferBoxes(*cmbFirst, *edtPath, palette());

    auto* layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(cmbFirst, 0, 1, 1, 2);
    layout->addWidget(Label4, 1, 0);
    layout->addWidget(edtPath, 1, 1, 1, 2);
    layout->addWidget(btnClose, 2, 0);
    layout->addWidget(btnStart, 2, 1);
    layout->addWidget(btnStop, 2, 2);
    setTabOrder(btnClose, btnStart);
    setTabOrder(btnStart, btnStop);
    setTabOrder(btnStop, cmbFirst);
    setFixedSize(257, 136);
}

void TfrmDownload::FormCreate() {
    ui::ScaleToDpi(*this);
    ui::ScaleControlsToDpi(*this);
    ui::NarrowCaptionsToRoom(*this);
    // A lost line ends a running download like the stop button, without a word of its own.
    mdlGeneral->OnLineLost(this, [] {
        if (frmEdit) frmEdit->DownloadStopRequested = true;
    });
}

void TfrmDownload::cmbFirstKeyPress(QChar& key) {
    KeepChosenPrefix(*cmbFirst, key);
}

void TfrmDownload::btnStartClick() {
    btnStart->setEnabled(false);
    if (!StartAddressAccepted(cmbFirst->currentText(), editor::address::DownloadDialogAccepts)) {
        btnStart->setEnabled(true);
        return;
    }
    frmEdit->SendDownLoadData(this);
    btnStart->setEnabled(true);
}

void TfrmDownload::btnStopClick() {
    frmEdit->StopDataDownload();
}

void TfrmDownload::btnCloseClick() {
    close();
}

void TfrmDownload::FormClose() {
    // A running download goes on without its dialog (the stop button or the editor ends it);
    // an idle dialog hands the line back, unless a program download holds it.
    edtPath->clear();
    if (frmEdit && !frmEdit->TransferRunning()) mdlGeneral->ReleaseLine(ridEditReply);
}
