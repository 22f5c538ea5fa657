// The first series' logging window: one channel, a driver variable or a typed address, recorded
// in the driver and read back one 16-bit word per request (two words per 32-bit sample).
#pragma once

#include "LogControls.h"
#include "ui/Canvas.h"
#include "ui/Controls.h"
#include "ui/Form.h"
#include "ui/Timer.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <array>
#include <cstdint>

class TfrmLogging : public ui::Form {
    Q_OBJECT
public:
    static constexpr int kWords = 2000;

    explicit TfrmLogging(QWidget* owner);

    // The window's client area, on whose canvas the plot and the trace are drawn.
    ui::PaintBox* Screen;
    ui::Canvas& Canvas() { return Screen->GetCanvas(); }

    ui::ComboBox* cmbLogMode;
    ui::ComboBox* cmbLogTime;
    ui::ComboBox* cmbLogVal1;
    QLineEdit* edtLogVal1_Dummy;
    QPushButton* btnRun;
    QPushButton* btnPrint;
    QPushButton* btnLoggingClose;
    ui::Timer* TimerProgress; // 100 ms
    ui::Timer* Timer1;        // 1000 ms: the time stamp
    logging::LineShape* shpProgress;
    logging::LineShape* shpCanvasLeft;
    logging::LineShape* shpCanvasRight;
    logging::TrackBar* trkT;
    logging::TrackBar* trkTOffset;
    logging::TrackBar* trkY;
    ui::ComboBox* Vertical_Scale;
    logging::UpDown* UpDownLogData;
    QLineEdit* Offset_Value;
    QPushButton* btnOffsetClear;
    QLabel* lblch1;
    QLabel* Label14;
    QLabel* Label24; // the value of one division
    QLabel* Label15; // its unit
    QLabel* lblTend;
    QLabel* Label28;
    QLineEdit* edtTitle;
    QLabel* lblDateNow;
    QLabel* lblTimeNow;

    int WordsPerSample = 1;
    int TimeSpan = 10000;
    std::int32_t FullScale = 0;
    int PlotLeft = 66;
    int PlotTop = 110;
    int PlotHeight = 320;
    int PlotWidth = 500;
    int SamplePeriod = 10;
    int FirstSample = 0;
    int ProgressElapsedMs = 0;
    int RunTimeSpan = 0;
    std::array<std::int32_t, kWords> LogData{};
    bool StopRequested = false;
    bool DataValid = false;
    bool SuppressRedraw = false;
    int OffsetPixels = 0;
    int OffsetSteps = 0;
    int ScaleMultiplier = 0;
    int LastPointX = 0;
    int LastPointY = 0;
    int ScaleExponent = 4;
    int LogSampleIndex = 0; // the word being read

    // The recording.
    void btnRunClick(QObject* sender);
    void cmbLogTimeChange();
    void TimerProgressTimer();
    // With the window as sender it starts the read-back, else it takes one reply.
    void ReceiveLogData(QObject* sender);
    // TimeSpan and SamplePeriod from the period and the time width, with their labels.
    void ApplySpanRule();

    // The display.
    void SetScale();
    void FormPaint();
    void DrawLogData();
    void trkYChange();
    void Vertical_ScaleChange();
    void trkTChange();
    void trkTOffsetChange();
    void UpDownLogDataClick(logging::UpDown::Button button);
    void btnOffsetClearClick();
    void cmbLogVal1Change();
    void cmbLogVal1KeyPress(QChar& key);
    void Timer1Timer();
    void btnPrintClick();
    void btnLoggingCloseClick() { close(); }

    void FormActivate() override; // caption, channel labels, period entry and spans

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void ConnectHandlers();
    void StartRecording();
    void StopRecording();
    void SetViewEnabled(bool enabled);
    void EndReadBack();
    void RequestRepaint();
    void RepaintView();
    // The y of a point of word i (and, for a 32-bit sample, word i - 1), clamped to the plot.
    int PointY(int i) const;
    bool repaintPending_ = false;
    QTimer* liveUpdate_ = nullptr;
};

extern TfrmLogging* frmLogging;
