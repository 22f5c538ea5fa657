#include "LoggingWindow.h"

#include "LoggingRules.h"
#include "link/Waits.h"
#include "platform/Comm.h"
#include "shell/UnitMain.h"
#include "ui/DpiScaling.h"
#include "ui/Widgets.h"

#include <QGroupBox>

namespace {

const QColor kOlive(128, 128, 0);
const QColor kTeal(0, 128, 128);

} // namespace

TLoggingWindow::TLoggingWindow(QWidget* owner)
    : ui::Form(owner), Screen(new ui::PaintBox(this)), TimerProgress(new ui::Timer(100, this)),
      liveUpdate_(new QTimer(this)) {
    // Live drawing reaches the screen at most every 40 ms, and only where it drew.
    liveUpdate_->setSingleShot(true);
    liveUpdate_->setInterval(40);
    connect(liveUpdate_, &QTimer::timeout, this, [this] {
        Screen->UpdateArea(liveDirty_);
        liveDirty_ = QRect();
    });
    ui::Connect(TimerProgress, &QTimer::timeout, this, [this] { TimerProgressTimer(); });
    JoinDriveScreens(this, DriveScreenKind::Logging);
    if (mdlGeneral)
        mdlGeneral->OnLineLost(this, [this] {
            if (btnRun->text() != "RUN") ReturnToIdle();
        });
}

// The boxes report focus and edit changes while their window goes; none of them may reach a
// handler of a window that is being destroyed.
TLoggingWindow::~TLoggingWindow() {
    closing_ = true;
    for (QObject* child : findChildren<QObject*>())
        child->blockSignals(true);
}

void TLoggingWindow::SetClientSize(int w, int h) {
    setFixedSize(w, h);
    Screen->setGeometry(0, 0, w, h);
    Screen->OnRedraw = [this] {
        Canvas().Clear(palette().color(QPalette::Window));
        FormPaint();
    };
}

void TLoggingWindow::FinishCreation() {
    StopRequested = DataValid = SuppressRedraw = false;
    ui::ScaleToDpi(*this);
    ui::ScaleControlsToDpi(*this);
    ScreenScale = ui::DpiFactor(logicalDpiX());
    for (logging::LineShape* shape : findChildren<logging::LineShape*>())
        shape->SetScale(ScreenScale);
    for (QGroupBox* group : findChildren<QGroupBox*>())
        ui::FitGroupTitle(group);
    for (QLabel* label : findChildren<QLabel*>())
        ui::NarrowToFit(label, label->text(), label->contentsRect().width());
    PlotTop = shpCanvasLeft->Top();
    PlotLeft = shpCanvasLeft->Left();
    PlotHeight = shpCanvasLeft->Height();
    PlotWidth = shpCanvasRight->Left() - shpCanvasLeft->Left();
}

void TLoggingWindow::ShowReadout(QLabel* label, const QString& text) {
    label->setText(text);
    ui::NarrowToFit(label, text, label->contentsRect().width());
}

void TLoggingWindow::SetRunViewEnabled(bool enabled) {
    trkY->setEnabled(enabled);
    trkT->setEnabled(enabled);
    trkTOffset->setEnabled(enabled);
}

void TLoggingWindow::SendAndWait(const QByteArray& line) {
    mdlGeneral->SendCommand(line, ridNone);
}

void TLoggingWindow::SendAndWait(const QString& line) {
    mdlGeneral->SendCommand(line, ridNone);
}

QString TLoggingWindow::LineField(QComboBox* box) {
    const QString field = box->currentText().toUpper();
    if (field != box->currentText()) {
        const QSignalBlocker blocker(box);
        box->setEditText(field);
    }
    return field;
}

void TLoggingWindow::btnRunClick(QObject* sender) {
    if (btnRun->text() != "RUN") {
        StopRecording();
        return;
    }
    if (!RunChecks()) {
        if (sender == this) ReturnToIdle(); // a refused Rolling restart
        return;
    }
    SendAndWait(QByteArray("LC\r"));
    StartRecording();
}

void TLoggingWindow::StartRecording() {
    lossesAtRun_ = mdlGeneral->LineLosses();
    StopRequested = false;
    btnRun->setText("STOP");
    frmMain->edtSend->setReadOnly(true);
    RequestRepaint();
    SuppressRedraw = true;
    SetRunViewEnabled(false);
    try {
        SendRunSetup();
    } catch (...) { // a failed set-up leaves nothing running
        ReturnToIdle();
        throw;
    }
    ProgressElapsedMs = 0;
    RunTimeSpan = RunSpan();
    shpProgress->SetLeft(PlotLeft);
    TimerProgress->SetEnabled(true);
}

// "LC\r" tells the driver; a closed port does not keep the window running.
void TLoggingWindow::StopRecording() {
    try {
        SendAndWait(QByteArray("LC\r"));
    } catch (const platform::ECommError&) {
    }
    ReturnToIdle();
}

void TLoggingWindow::ReturnToIdle() {
    StopRequested = true;
    TimerProgress->SetEnabled(false);
    if (mdlGeneral) {
        mdlGeneral->Withdraw(ReadBackId());
        mdlGeneral->ReleaseLine(ReadBackId());
    }
    if (frmMain) frmMain->edtSend->setReadOnly(false);
    btnRun->setText("RUN");
    SuppressRedraw = false;
    SetRunViewEnabled(true);
}

void TLoggingWindow::SendFailed() {
    ReturnToIdle();
    mdlGeneral->ReportNoDriver(lossesAtRun_);
}

void TLoggingWindow::TimerProgressTimer() {
    if (StopRequested) {
        frmMain->edtSend->setReadOnly(false);
        TimerProgress->SetEnabled(false);
        return;
    }
    if (ProgressElapsedMs >= RunTimeSpan) {
        shpProgress->SetLeft(PlotLeft);
        TimerProgress->SetEnabled(false);
        shpProgress->SetPenColor(kOlive);
        ReceiveLogData(this);
        return;
    }
    shpProgress->SetPenColor(kTeal);
    shpProgress->SetLeft(ProgressX());
    ProgressElapsedMs += TimerProgress->interval();
}

void TLoggingWindow::StartReadBackOrIdle() {
    try {
        if (!StartReadBack()) ReturnToIdle();
    } catch (const platform::ECommError&) {
        SendFailed();
    }
}

void TLoggingWindow::ReceiveLogData(QObject* sender) {
    if (sender == this) {
        StartReadBackOrIdle();
        return;
    }
    if (TakeReply() || StopRequested) {
        EndReadBack();
        return;
    }
    try {
        SendReadRequest(NextReadRequest());
    } catch (const platform::ECommError&) {
        SendFailed();
    }
}

void TLoggingWindow::SendReadRequest(const QByteArray& line) {
    mdlGeneral->SendQuestion(line, ReadBackId(),
                             isVisible() ? TmdlGeneral::kNoReplyLimit : TmdlGeneral::kReplyLimitMs);
}

void TLoggingWindow::ReadRequestNotAnswered(bool asked) {
    if (btnRun->text() == "RUN") return;
    if (asked)
        ReturnToIdle(); // the hidden window's request: nobody is there to be told
    else
        SendFailed();
}

void TLoggingWindow::FormHide() {
    if (mdlGeneral && mdlGeneral->QuestionPending(ReadBackId())) ReturnToIdle();
}

void TLoggingWindow::EndReadBack() {
    DataValid = true;
    frmMain->edtSend->setReadOnly(false);
    if (cmbLogMode->currentText() == "Rolling") {
        RequestRepaint();
        btnRun->setText(btnRun->text() == "RUN" ? "STOP" : "RUN");
        try {
            btnRunClick(this);
        } catch (const platform::ECommError&) {
            SendFailed();
        }
        return;
    }
    btnRun->setText("RUN");
    SuppressRedraw = false;
    SetRunViewEnabled(true);
}

void TLoggingWindow::RequestRepaint() {
    if (repaintPending_) return;
    repaintPending_ = true;
    QTimer::singleShot(0, this, [this] {
        repaintPending_ = false;
        Screen->Invalidate();
    });
}

void TLoggingWindow::RepaintView() {
    if (!DataValid) return;
    RequestRepaint();
    SuppressRedraw = false;
}

void TLoggingWindow::ShowLiveSegment(QPoint from, QPoint to) {
    liveDirty_ |= QRect(from, to).normalized().adjusted(-1, -1, 1, 1);
    if (!liveUpdate_->isActive()) liveUpdate_->start();
}
