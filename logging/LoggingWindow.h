// What every logging window shares: RUN and STOP, the set-up sent to the driver and the progress
// line while the driver records, the read-back of the recorded buffer one value per request with
// its reply time-out, the end of a read-back in both modes, the return to idle (also when the
// line is lost), the live drawing put on screen by the part of the plot it changed, and the
// variable boxes whose text goes on the line as one upper-case field.
#pragma once

#include "LogControls.h"
#include "link/Exchange.h"
#include "link/UnitGeneral.h"
#include "ui/Canvas.h"
#include "ui/Controls.h"
#include "ui/Form.h"
#include "ui/Timer.h"

#include <QLabel>
#include <QPushButton>
#include <QRect>
#include <QTimer>
#include <utility>
#include <vector>

class TLoggingWindow : public ui::Form {
    Q_OBJECT
public:
    // The read-back's replies come under `readBackId`.
    TLoggingWindow(QWidget* owner, TRequestId readBackId);
    ~TLoggingWindow() override;

    // The window's client area: the plot and the live traces are drawn on its canvas.
    ui::PaintBox* Screen;
    ui::Canvas& Canvas() { return Screen->GetCanvas(); }

    // Made by the window's own layout.
    ui::ComboBox* cmbLogMode = nullptr;
    ui::ComboBox* cmbLogTime = nullptr;
    QPushButton* btnRun = nullptr;
    logging::LineShape* shpProgress = nullptr;
    logging::LineShape* shpCanvasLeft = nullptr; // the plot's left and right frame lines
    logging::LineShape* shpCanvasRight = nullptr;
    logging::TrackBar* trkT = nullptr; // the view's time width, time offset and vertical scale
    logging::TrackBar* trkTOffset = nullptr;
    logging::TrackBar* trkY = nullptr;
    ui::Timer* TimerProgress; // 100 ms: the progress line

    int ScreenScale = 1; // screen pixels per pixel of the window's design (the DPI factor)
    int PlotLeft = 66;
    int PlotTop = 30;
    int PlotHeight = 320;
    int PlotWidth = 500;
    double ProgressElapsedMs = 0; // ms counted since the start line was sent
    double RunTimeSpan = 0;       // the span taken at RUN; the read-back starts when it is reached
    bool StopRequested = false;
    bool DataValid = false;      // a read-back has ended: the stored traces may be drawn
    bool SuppressRedraw = false; // a run is under way: a repaint draws the grid only

    // RUN starts a recording after the window's checks; STOP (the caption while a recording or
    // read-back runs) always ends it, also when the port is closed. Also run by the end of a
    // Rolling read-back with the window as sender.
    void btnRunClick(QObject* sender);
    void TimerProgressTimer();
    // With the window as sender it starts the read-back, else it takes one reply.
    void ReceiveLogData(QObject* sender);
    // A read-back that waits for its reply ends when the window goes from the screen: hidden,
    // it would hold the line for every other screen.
    void FormHide() override;

protected:
    // The checks of RUN with their messages; false refuses the run.
    virtual bool RunChecks() = 0;
    // The set-up lines and the start line of a recording.
    virtual void SendRunSetup() = 0;
    virtual double RunSpan() const = 0; // the span now shown across the plot
    virtual int ProgressX() const = 0;
    // Resets the read-back's position and sends the first request (SendReadRequest); false
    // when it could not start (reported by the window).
    virtual bool StartReadBack() = 0;
    // Stores and draws the reply in LastReply; true when the read-back has reached its end.
    virtual bool TakeReply() = 0;
    virtual QByteArray NextReadRequest() const = 0;
    virtual TRequestId ReadBackId() const = 0;
    // The view controls a run disables: the three track bars, and what a window adds.
    virtual void SetRunViewEnabled(bool enabled);
    virtual void FormPaint() = 0;

    // The window and its client area (the canvas) made w by h, the canvas repainted by
    // FormPaint.
    void SetClientSize(int w, int h);
    // The end of a window's creation, once all its controls stand: no run or data yet, the
    // window and its controls scaled to the screen, group titles and labels narrowed where their
    // text runs past their room, and the plot's place taken from its left and right frame
    // lines. The plot, its line shapes and the markers beside it keep working in the pixels of
    // the design.
    void FinishCreation();
    // A channel's scale (value or unit of a division) in its label beside the plot, narrowed
    // where the column between the plot and its frame is too narrow for it.
    static void ShowReadout(QLabel* label, const QString& text);
    // Puts a marker label beside the plot at the design's row `top`.
    void PlaceMarker(QLabel* marker, int top) { marker->move(marker->x(), ScreenScale * top); }

    void SendAndWait(const QByteArray& line);
    void SendAndWait(const QString& line);
    // A read request under the window's id. The read-back has no reply time-out while the window
    // shows: a late reply is its reply, and STOP ends the wait.
    void SendReadRequest(const QByteArray& line);
    // Idle: no timer, no read request waiting, the line released, caption RUN, terminal
    // editable, view controls enabled.
    void ReturnToIdle();
    // Asks for a full repaint that the event loop carries out (the class library's Invalidate).
    void RequestRepaint();
    // "Repaint" of the view handlers: only once data is there, and it lifts the run's grid-only
    // paint.
    void RepaintView();
    // A live segment was drawn: its pixels reach the screen with the next live update.
    void ShowLiveSegment(QPoint from, QPoint to);
    // Whether the user's set-up handlers may run: not while the window is being hidden, closed
    // or destroyed (its boxes then report focus and edit changes of their own).
    bool AcceptsSetupChanges() const { return !closing_ && !isHidden(); }
    // The text of a variable box as it goes on the line, in upper case; the box is made to show
    // exactly that. Text the line cannot carry stays as it is, to be refused by name.
    static QString LineField(QComboBox* box);

private:
    void StartRecording();
    void StopRecording();
    void EndReadBack();
    void StartReadBackOrIdle();
    // At the read-back's first answer every write of the run before it has had its answer: a
    // refused one ends the run, told, since the buffer would not hold what the window names.
    bool SetUpRefused();
    bool repaintPending_ = false;
    bool closing_ = false;
    QTimer* liveUpdate_;
    QRect liveDirty_;
    // From RUN to the end of the read-back: the run's writes and requests go to the axis
    // designated at RUN. A hidden window's request that runs out of time ends it quietly. The
    // window's own hide rule (FormHide) ends a read-back that waits for its answer; a recording
    // goes on while the window is hidden, so hiding alone does not end the exchange.
    Exchange exchange_;
    std::vector<std::pair<QByteArray, Ticket>> runWrites_; // the lines the run wrote
    bool firstAnswer_ = false;                             // the read-back's first is to come
};
