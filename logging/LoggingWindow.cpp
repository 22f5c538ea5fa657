#include "LoggingWindow.h"

#include "LoggingRules.h"
#include "link/Waits.h"
#include "platform/Comm.h"
#include "shell/UnitMain.h"
#include "ui/CarriedText.h"
#include "ui/Codec.h"
#include "ui/DpiScaling.h"
#include "ui/Widgets.h"

#include <QGroupBox>

namespace {

const QColor kOlive(128, 128, 0);
const QColor kTeal(0, 128, 128);

} // namespace

TLoggingWindow::TLoggingWindow(QWidget* owner, TRequestId readBackId)
    : ui::Form(owner), Screen(new ui::PaintBox(this)), TimerProgress(new ui::Timer(100, this)),
      liveUpdate_(new QTimer(this)), exchange_(this, readBackId, /*endsWithWindow=*/false) {
    // Live drawing reaches the screen at most every 40 ms, and only where it drew.
    liveUpdate_->setSingleShot(true);
    liveUpdate_->setInterval(40);
    connect(liveUpdate_, &QTimer::timeout, this, [this] {
        Screen->UpdateArea(liveDirty_);
        liveDirty_ = QRect();
    });
    ui::Connect(TimerProgress, &QTimer::timeout, this, [this] { TimerProgressTimer(); });
    JoinDriveScreens(this, DriveScreenKind::Logging);
    // A failed send shows the port's own error, as every send of a run does.
    exchange_.sendFailed = Exchange::PortError();
    exchange_.notAnswered = Exchange::Quiet();
    exchange_.OnAnswer = [this](const QByteArray&) { ReceiveLogData(mdlGeneral); };
    exchange_.OnEnd = [this](Exchange::End end) {
        if (end != Exchange::End::Done) ReturnToIdle();
    };
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

// During a run a line goes to the run's axis, and a failure ends the run; otherwise a failure
// raises to the handler.
void TLoggingWindow::SendAndWait(const QByteArray& line) {
    if (!exchange_.Running()) return mdlGeneral->SendCommand(line, ridNone);
    if (Ticket write = exchange_.Send(line)) runWrites_.emplace_back(line, std::move(write));
}

void TLoggingWindow::SendAndWait(const QString& line) {
    SendAndWait(LineBytes(line));
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
    runWrites_.clear();
    exchange_.Start();
    SendAndWait(QByteArray("LC\r"));
    if (exchange_.Running()) StartRecording();
}

void TLoggingWindow::StartRecording() {
    StopRequested = false;
    btnRun->setText("STOP");
    frmMain->edtSend->setReadOnly(true);
    RequestRepaint();
    SuppressRedraw = true;
    SetRunViewEnabled(false);
    SendRunSetup();
    if (!exchange_.Running()) return; // a failed set-up has ended the run
    ProgressElapsedMs = 0;
    RunTimeSpan = RunSpan();
    shpProgress->SetLeft(PlotLeft);
    TimerProgress->SetEnabled(true);
}

// "LC\r" tells the run's axis; a closed port does not keep the window running.
void TLoggingWindow::StopRecording() {
    exchange_.Cancel();
    try {
        mdlGeneral->SendCommand(QByteArray("LC\r"), ridNone, exchange_.Axis());
    } catch (const platform::ECommError&) {
    }
    ReturnToIdle();
}

// However the run ended; a run still going is cancelled (its end returns here).
void TLoggingWindow::ReturnToIdle() {
    if (exchange_.Running()) return exchange_.Cancel();
    StopRequested = true;
    TimerProgress->SetEnabled(false);
    if (mdlGeneral) mdlGeneral->ReleaseLine(ReadBackId());
    if (frmMain) frmMain->edtSend->setReadOnly(false);
    btnRun->setText("RUN");
    SuppressRedraw = false;
    SetRunViewEnabled(true);
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
    firstAnswer_ = true;
    if (!StartReadBack()) ReturnToIdle();
}

bool TLoggingWindow::SetUpRefused() {
    for (const auto& [line, write] : runWrites_) {
        if (!write->Refused()) continue;
        exchange_.Fail(Exchange::Report{
            QString("ドライバがロギングの設定を受け付けませんでした: %1 (%2)\n"
                    "記録を読み出さずに終了しました。")
                .arg(CleanLineField(ui::cp932::Decode(line)),
                     ui::ReceivedText(write->answer.left(LineStep::kLongestReply))),
            "警告"});
        return true;
    }
    return false;
}

void TLoggingWindow::ReceiveLogData(QObject* sender) {
    if (sender == this) {
        StartReadBackOrIdle();
        return;
    }
    if (std::exchange(firstAnswer_, false) && SetUpRefused()) return;
    if (TakeReply() || StopRequested) {
        EndReadBack();
        return;
    }
    SendReadRequest(NextReadRequest());
}

// A hidden window's request has a reply time: nobody is there to wait for it.
void TLoggingWindow::SendReadRequest(const QByteArray& line) {
    exchange_.Ask(line, isVisible() ? TmdlGeneral::kNoReplyLimit : TmdlGeneral::kReplyLimitMs);
}

void TLoggingWindow::FormHide() {
    if (mdlGeneral && mdlGeneral->QuestionPending(ReadBackId())) ReturnToIdle();
}

void TLoggingWindow::EndReadBack() {
    exchange_.Finish();
    DataValid = true;
    frmMain->edtSend->setReadOnly(false);
    if (cmbLogMode->currentText() == "Rolling") {
        RequestRepaint();
        btnRun->setText(btnRun->text() == "RUN" ? "STOP" : "RUN");
        btnRunClick(this);
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
