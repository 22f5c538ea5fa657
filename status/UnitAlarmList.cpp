#include "UnitAlarmList.h"

#include <QVBoxLayout>

TfrmAlarmList* frmAlarmList = nullptr;

TfrmAlarmList::TfrmAlarmList(QWidget* owner)
    : ui::Form(owner), grdAlarmList(new ui::StringGrid(3, 2, this)),
      Timer1(new ui::Timer(1, this)) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grdAlarmList);
    connect(Timer1, &QTimer::timeout, this, [this] { ++Timer1->Tag; });
}

void TfrmAlarmList::ReceiveAlarmList(QObject*) {
    // No read is running until the window's read button starts one.
}
