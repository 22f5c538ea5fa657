#include "UnitPrmLock.h"

#include "UnitPrm.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

TfrmPrmLock* frmPrmLock = nullptr;

TfrmPrmLock::TfrmPrmLock(QWidget* owner)
    : ui::Form(owner), grdPrm(new ui::StringGrid(3, 201, this)), clbPrm(new QListWidget(this)),
      RichEdit1(new QTextEdit(this)), PrmGuide_Checkbox(new ui::CheckBox("表示", this)),
      Timer1(new ui::Timer(1, this)), Timer2(new ui::Timer(250, this)) {
    RichEdit1->setReadOnly(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PrmGuide_Checkbox);
    auto* lists = new QHBoxLayout;
    lists->addWidget(grdPrm, 3);
    lists->addWidget(clbPrm, 1);
    layout->addLayout(lists);
    layout->addWidget(RichEdit1);
    PrmGuide_Checkbox->OnClick = [this] { PrmGuide_CheckboxClick(); };
    connect(Timer1, &QTimer::timeout, this, [this] { ++Timer1->Tag; });
    connect(Timer2, &QTimer::timeout, this, [this] { ElapsedMs += Timer2->interval(); });
}

void TfrmPrmLock::ReceivePrm(QObject*) {
    // No read is running until the window's read button starts one.
}

void TfrmPrmLock::PrmGuide_CheckboxClick() {
    const bool shown = PrmGuide_Checkbox->Checked();
    if (frmPrm)
        frmPrm->PrmGuide_Checkbox->SetChecked(shown);
    RichEdit1->setVisible(shown);
    if (Showing())
        grdPrm->setFocus();
}
