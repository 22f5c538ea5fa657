#include "UnitDataTable.h"

#include <QVBoxLayout>

TfrmDataTable* frmDataTable = nullptr;

TfrmDataTable::TfrmDataTable(QWidget* owner)
    : ui::Form(owner), grdDataTable(new ui::StringGrid(2, 385, this)),
      Label3(new QLabel("2", this)), Timer1(new ui::Timer(1, this)),
      Timer2(new ui::Timer(250, this)) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label3);
    layout->addWidget(grdDataTable);
    connect(Timer1, &QTimer::timeout, this, [this] { ++Timer1->Tag; });
    connect(Timer2, &QTimer::timeout, this, [this] { ElapsedMs += Timer2->interval(); });
}

void TfrmDataTable::ReceiveDataTable(QObject*) {
    // No read is running until the window's read button starts one.
}
