#include "UnitCommCancel.h"

#include "ui/DpiScaling.h"
#include "ui/Guard.h"

#include <QApplication>
#include <QGridLayout>
#include <QWindow>

#include <utility>

TfrmCommCancel* frmCommCancel = nullptr;

TfrmCommCancel::TfrmCommCancel(QWidget* owner)
    : ui::Form(owner), Label1(new QLabel("ドライバと通信中", this)),
      ProgressBar1(new QProgressBar(this)), Label2(new QLabel("0[%]", this)),
      Label3(new QLabel("100[%]", this)), btnCancel(new QPushButton("キャンセル", this)) {
    setWindowTitle("送受信");
    // A dialog with a title and nothing else: no minimise, maximise or close box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setTextVisible(false);
    auto* layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0, 1, 2, Qt::AlignCenter);
    layout->addWidget(ProgressBar1, 1, 0, 1, 2);
    layout->addWidget(Label2, 2, 0, Qt::AlignLeft);
    layout->addWidget(Label3, 2, 1, Qt::AlignRight);
    layout->addWidget(btnCancel, 3, 0, 1, 2, Qt::AlignCenter);
    setFixedSize(190, 154);
    ui::ScaleToDpi(*this);
    ui::ScaleControlsToDpi(*this);
    CentreOnScreen();
    ui::Connect(btnCancel, &QPushButton::clicked, this, [this] { btnCancelClick(); });
    stepShown_->setSingleShot(true);
    stepShown_->setInterval(kStepShownMs);
    connect(stepShown_, &QTimer::timeout, this, [this] { ShowPendingStep(); });
}

void TfrmCommCancel::FormShow() {
    CentreOnScreen();
}

void TfrmCommCancel::StartTransfer(bool showPercent, QWidget* returnFocusTo) {
    stepShown_->stop();
    pendingPercent_ = -1;
    ProgressBar1->setValue(0);
    Label1->setText("ドライバと通信中");
    btnCancel->setText("キャンセル");
    CancelRequested = false;
    OnCancel = nullptr;
    returnFocusTo_ = returnFocusTo;
    for (QWidget* w : std::initializer_list<QWidget*>{ProgressBar1, Label2, Label3})
        w->setVisible(showPercent);
    StandAbove(returnFocusTo ? returnFocusTo->window() : QApplication::activeWindow());
}

// Shown again, a window keeps the place among the others that it had when it was hidden: without
// a window manager its client, raised since, would cover it. It is raised and takes the keys at
// every start, and a window manager keeps it above its client while it shows.
void TfrmCommCancel::StandAbove(QWidget* client) {
    if (client && client != this) {
        winId(); // the window exists before it is shown, so that it can be told its client
        windowHandle()->setTransientParent(client->windowHandle());
    }
    // A window manager may still have minimised it (a key, a menu of its own): every start
    // shows it again.
    if (isMinimized()) showNormal();
    Show();
    raise();
    activateWindow();
}

// A step is shown at once, and then at most every kStepShownMs with the latest value: the bar
// would otherwise repaint itself synchronously for every new percent of a fast transfer. Only a
// step that changed the bar holds the next ones back, so a transfer whose percent stands still
// sets no timer that would wake the program for nothing.
void TfrmCommCancel::StepTo(int done, int total) {
    if (total <= 0) return;
    pendingPercent_ = done * 100 / total;
    if (!stepShown_->isActive()) ShowPendingStep();
}

void TfrmCommCancel::ShowPendingStep() {
    if (pendingPercent_ < 0) return;
    const int percent = std::exchange(pendingPercent_, -1);
    if (percent == ProgressBar1->value()) return;
    ProgressBar1->setUpdatesEnabled(false);
    ProgressBar1->setValue(percent);
    ProgressBar1->setUpdatesEnabled(true); // an ordinary repaint, merged with the window's others
    stepShown_->start();
}

void TfrmCommCancel::FinishTransfer(Direction direction) {
    ShowPendingStep();
    stepShown_->stop();
    Label1->setText(direction == Direction::Upload ? "アップロード完了" : "ダウンロード完了");
    btnCancel->setText("OK");
}

void TfrmCommCancel::btnCancelClick() {
    CancelRequested = true;
    Hide();
    if (OnCancel) {
        auto onCancel = std::move(OnCancel);
        OnCancel = nullptr;
        onCancel();
    }
    if (returnFocusTo_ && returnFocusTo_->isVisible()) HandKeysTo(returnFocusTo_);
    // A transfer without percentages hid the bar: the next client finds the whole window.
    for (QWidget* w : std::initializer_list<QWidget*>{ProgressBar1, Label2, Label3})
        w->show();
}

// The keyboard goes back to the client's control. Focus alone does not make its window the
// active one: with this window hidden no window would be, and the keys would reach no control.
void TfrmCommCancel::HandKeysTo(QWidget* control) {
    QWidget* window = control->window();
    window->raise();
    window->activateWindow();
    control->setFocus(Qt::OtherFocusReason);
}

bool TfrmCommCancel::FormCloseQuery() {
    if (isVisible()) btnCancelClick();
    return false;
}

void TfrmCommCancel::FormDeactivate() {
    if (isVisible()) btnCancel->setFocus();
}
