#include "UnitVersion.h"

TfrmVersion* frmVersion = nullptr;

TfrmVersion::TfrmVersion(QWidget* owner) : TInfoBox(owner) {
    Label1->setText("KasoNT Version 2.3F");
    Label2->setText("サーボドライバ設定ツール");
    Image1->setFixedSize(65, 17);
}
