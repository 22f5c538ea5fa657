#include "UnitPrm.h"

#include "UnitPrmLock.h"

#include <QVBoxLayout>

TfrmPrm* frmPrm = nullptr;

TfrmPrm::TfrmPrm(QWidget* owner)
    : ui::Form(owner), grdPrm(new ui::StringGrid(3, 111, this)), Label3(new QLabel("2", this)),
      RichEdit1(new QTextEdit(this)), PrmGuide_Checkbox(new ui::CheckBox("表示", this)),
      Timer1(new ui::Timer(1, this)), Timer2(new ui::Timer(250, this)) {
    RichEdit1->setReadOnly(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PrmGuide_Checkbox);
    layout->addWidget(Label3);
    layout->addWidget(grdPrm);
    layout->addWidget(RichEdit1);
    PrmGuide_Checkbox->OnClick = [this] { PrmGuide_CheckboxClick(); };
    connect(Timer1, &QTimer::timeout, this, [this] { ++Timer1->Tag; });
    connect(Timer2, &QTimer::timeout, this, [this] { ElapsedMs += Timer2->interval(); });
}

void TfrmPrm::ReceivePrm(QObject*) {
    // No read is running until the window's read button starts one.
}

void TfrmPrm::PrmGuide_CheckboxClick() {
    const bool shown = PrmGuide_Checkbox->Checked();
    if (frmPrmLock)
        frmPrmLock->PrmGuide_Checkbox->SetChecked(shown);
    RichEdit1->setVisible(shown);
    if (Showing())
        grdPrm->setFocus();
}
