#include "UnitVersion.h"

TfrmVersion* frmVersion = nullptr;

TfrmVersion::TfrmVersion(QWidget* owner) : TInfoBox(owner, QSize(65, 17)) {
    Label1->setText("KasoNT Version 2.3F");
    Label2->setText("サーボドライバ設定ツール");
}
