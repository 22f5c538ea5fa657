#include "UnitUpload.h"

#include "DataAddress.h"
#include "UnitEdit.h"
#include "link/UnitGeneral.h"
#include "shell/UnitSetup.h"
#include "ui/CarriedText.h"
#include "ui/Codec.h"
#include "ui/Dialogs.h"
#include "ui/DpiScaling.h"
#include "ui/Guard.h"
#include "ui/Widgets.h"

#include <QGridLayout>
#include <QLineEdit>

TfrmUpload* frmUpload = nullptr;

const QStringList kStartAddressItems = {
    "##",         "#&0010C000", "#$0010C000", "#%0010C000", "#&0008C000", "#$0008C000",
    "#%0008C000", "#&00088000", "#$00088000", "#%00088000", "#&00084000", "#$00084000",
    "#%00084000", "#%00090000", "#%00094000", "#&0020C000", "#$0020C000", "#%0020C000",
    "#&00208000", "#$00208000", "#%00208000", "*$",         "!##",        "!#&",
    "!#$",        "!#%",        "&##",        "&#&",        "&#$",        "&#%"};

void KeepChosenPrefix(ui::ComboBox& box, QChar key) {
    if (key == QChar('\b') || !editor::address::IsBarePrefix(box.currentText().toStdString()))
        return;
    QLineEdit* edit = box.lineEdit();
    const int end = edit->hasSelectedText() ? edit->selectionEnd() : edit->cursorPosition();
    edit->setCursorPosition(end);
}

const QString kStartAddressPlace = "開始ｱﾄﾞﾚｽ";

bool StartAddressAccepted(const QString& address, bool (*accepts)(std::string_view)) {
    if (!CheckLineText(address, kStartAddressPlace)) return false;
    if (accepts(LineBytes(address).toStdString())) return true;
    ui::ShowWarning("アドレス値が不正です。", "アドレスエラー");
    return false;
}

void PrepareTransferBoxes(ui::ComboBox& first, ui::Edit& count, const QPalette& dialogPalette) {
    first.setEditable(true);
    first.setInsertPolicy(QComboBox::NoInsert);
    count.setReadOnly(true);
    count.setFocusPolicy(Qt::NoFocus);
    QPalette grey = count.palette();
    grey.setColor(QPalette::Base, dialogPalette.color(QPalette::Window));
    count.setPalette(grey);
}

void UseStartAddressEdit(ui::ComboBox& first, std::function<void(QChar&)> onKeyPress) {
    auto* addressEdit = new ui::Edit(&first);
    first.setLineEdit(addressEdit);
    ui::SetPlace(&first, kStartAddressPlace);
    first.setEditText("#%0010C000");
    addressEdit->OnKeyPress = std::move(onKeyPress);
}

TfrmUpload::TfrmUpload(QWidget* owner)
    : ui::Form(owner), Label1(new QLabel("開始ｱﾄﾞﾚｽ", this)),
      cmbFirst(new ui::ComboBox(kStartAddressItems, this)), Label2(new QLabel("ﾃﾞｰﾀ組数", this)),
      edtNum(new ui::Edit(this)), Label3(new QLabel("個数/1組", this)),
      cmbKumisuu(new ui::ComboBox({"1", "2", "3", "4"}, this)),
      Label4(new QLabel("ｱｯﾌﾟﾛｰﾄﾞﾃﾞｰﾀ数", this)), edtPath(new ui::Edit(this)),
      ProgressBar1(new QProgressBar(this)), Label5(new QLabel("0[%]", this)),
      Label6(new QLabel("100[%]", this)), btnClose(new QPushButton("閉じる", this)),
      btnStart(new QPushButton("ｱｯﾌﾟﾛｰﾄﾞ開始", this)),
      btnStop(new QPushButton("ｱｯﾌﾟﾛｰド停止", this)) {
    setWindowTitle("内部変数のｱｯﾌﾟﾛｰﾄﾞ");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    BuildLayout();

    UseStartAddressEdit(*cmbFirst, [this](QChar& key) { cmbFirstKeyPress(key); });
    cmbKumisuu->setEditable(true);
    cmbKumisuu->setInsertPolicy(QComboBox::NoInsert);
    cmbKumisuu->SetItemIndex(3);
    cmbKumisuu->OnChange = [this] { cmbKumisuuChange(); };
    edtNum->setText("1000");
    ui::SetPlace(edtNum, Label2->text());
    ui::SetPlace(cmbKumisuu, Label3->text());
    for (QWidget* box : std::initializer_list<QWidget*>{cmbFirst, edtNum, cmbKumisuu})
        box->setAttribute(Qt::WA_InputMethodEnabled, false);

    ui::Connect(btnClose, &QPushButton::clicked, this, [this] { btnCloseClick(); });
    ui::Connect(btnStart, &QPushButton::clicked, this, [this] { btnStartClick(); });
    ui::Connect(btnStop, &QPushButton::clicked, this, [this] { btnStopClick(); });
    FormCreate();
}

void TfrmUpload::BuildLayout() {
    PrepareTransferBoxes(*cmbFirst, *edtPath, palette());
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    auto* layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(cmbFirst, 0, 1, 1, 2);
    layout->addWidget(Label2, 1, 0);
    layout->addWidget(edtNum, 1, 1, 1, 2);
    layout->addWidget(Label3, 2, 0);
    layout->addWidget(cmbKumisuu, 2, 1, 1, 2);
    layout->addWidget(Label4, 3, 0);
    layout->addWidget(edtPath, 3, 1, 1, 2);
    layout->addWidget(ProgressBar1, 4, 0, 1, 3);
    layout->addWidget(Label5, 5, 0, Qt::AlignLeft);
    layout->addWidget(Label6, 5, 2, Qt::AlignRight);
    layout->addWidget(btnClose, 6, 0);
    layout->addWidget(btnStart, 6, 1);
    layout->addWidget(btnStop, 6, 2);
    setTabOrder(cmbFirst, edtNum);
    setTabOrder(edtNum, cmbKumisuu);
    setTabOrder(cmbKumisuu, btnClose);
    setTabOrder(btnClose, btnStart);
    setTabOrder(btnStart, btnStop);
    setFixedSize(252, 248);
}

void TfrmUpload::FormCreate() {
    ui::ScaleToDpi(*this);
    ui::ScaleControlsToDpi(*this);
    ui::NarrowCaptionsToRoom(*this);
    // A lost line ends a running upload like a close: the rows received so far are kept.
    mdlGeneral->OnLineLost(this, [] {
        if (frmEdit) frmEdit->EndDataUpload();
    });
}

void TfrmUpload::cmbFirstKeyPress(QChar& key) {
    KeepChosenPrefix(*cmbFirst, key);
}

void TfrmUpload::cmbKumisuuChange() {
    if (SeriesIndex() != 0 || cmbKumisuu->currentText() == "1") return;
    ui::ShowWarning("QWAシリーズを選択している場合、個数/1組は 1 にて固定です。", "設定エラー");
    cmbKumisuu->SetItemIndex(0);
}

void TfrmUpload::btnStartClick() {
    ProgressBar1->setValue(0);
    btnStart->setEnabled(false);
    frmEdit->ShowUploadCollector(true);
    if (!StartAddressAccepted(cmbFirst->currentText(), editor::address::UploadDialogAccepts)) {
        btnStart->setEnabled(true);
        frmEdit->ShowUploadCollector(false);
        return;
    }
    frmEdit->ReceiveUpLoadData(this);
}

void TfrmUpload::btnStopClick() {
    frmEdit->UploadStopRequested = true;
    // The upload ends at once, on a silent driver too: the value asked for last is not waited
    // for, and the line is free for the next exchange.
    frmEdit->EndDataUpload();
}

void TfrmUpload::btnCloseClick() {
    close();
}

void TfrmUpload::FormClose() {
    // Closing mid-upload ends it as a stop would, at once: no reply is waited for.
    if (frmEdit) frmEdit->EndDataUpload();
    edtPath->clear();
    ProgressBar1->setValue(0);
    btnStart->setEnabled(true);
    mdlGeneral->ReleaseLine(ridDataUpload);
}
