#include "UnitVersion.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TfrmVersion* frmVersion = nullptr;

TfrmVersion::TfrmVersion(QWidget* owner) : ui::Form(owner) {
    setWindowTitle("ﾊﾞｰｼﾞｮﾝ情報");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("KasoNT 2.3F", this));
    auto* ok = new QPushButton("OK", this);
    layout->addWidget(ok);
    connect(ok, &QPushButton::clicked, this, [this] { SetModalResult(ui::mrOk); });
}
