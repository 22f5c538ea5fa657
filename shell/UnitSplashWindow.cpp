#include "UnitSplashWindow.h"

#include "ui/DpiScaling.h"
#include "ui/Guard.h"
#include "ui/Widgets.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

TfrmSplashWindow* frmSplashWindow = nullptr;

TfrmSplashWindow::TfrmSplashWindow(QWidget* owner)
    : ui::Form(owner), Panel1(new QLabel("各軸との通信状況を確認しています。", this)),
      grpAxisCondition(new AxisBoxes(this)), btnCancel(new QPushButton("取消", this)),
      ProgressBar1(new QProgressBar(this)), Timer1(new ui::Timer(250, this)) {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    Panel1->setAlignment(Qt::AlignCenter);
    Panel1->setFrameShape(QFrame::Panel);
    grpAxisCondition->AddButton(btnCancel);
    QGroupBox* direction = ScanProgressGroup(this, ProgressBar1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Panel1);
    layout->addWidget(grpAxisCondition);
    layout->addWidget(direction);
    setFixedSize(320, 399);
    ui::KeepDesignedLayout(*this);
    ui::ScaleToDpi(*this);
    ui::ScaleControlsToDpi(*this);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    ui::Connect(btnCancel, &QPushButton::clicked, this, [this] { btnCancelClick(); });
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    Timer1->SetEnabled(true);
}

void TfrmSplashWindow::Timer1Timer() {
    ui::SetTextColor(Panel1, Timer1->Tag % 2 == 0 ? Qt::black : Qt::red);
    ++Timer1->Tag;
}
