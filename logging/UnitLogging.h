// The first series' logging window: one channel, a driver variable or a typed address, recorded
// in the driver and read back one 16-bit word per request (two words per 32-bit sample).
#pragma once

#include "LoggingWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <array>
#include <cstdint>

class TfrmLogging : public TLoggingWindow {
    Q_OBJECT
public:
    static constexpr int kWords = 2000;

    explicit TfrmLogging(QWidget* owner);

    ui::ComboBox* cmbLogVal1;
    QLineEdit* edtLogVal1_Dummy;
    QPushButton* btnPrint;
    QPushButton* btnLoggingClose;
    ui::Timer* Timer1; // 1000 ms: the time stamp
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
    int SamplePeriod = 10;
    int FirstSample = 0;
    std::array<std::int32_t, kWords> LogData{};
    int OffsetPixels = 0;
    int OffsetSteps = 0;
    int ScaleMultiplier = 0;
    int LastPointX = 0;
    int LastPointY = 0;
    int ScaleExponent = 4;
    int LogSampleIndex = 0; // the word being read

    // The recording.
    void cmbLogTimeChange();
    // TimeSpan and SamplePeriod from the period and the time width, with their labels.
    void ApplySpanRule();

    // The display.
    void SetScale();
    void FormPaint() override;
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
    bool RunChecks() override;
    void SendRunSetup() override;
    double RunSpan() const override { return TimeSpan; }
    int ProgressX() const override;
    bool StartReadBack() override;
    bool TakeReply() override;
    QByteArray NextReadRequest() const override;
    TRequestId ReadBackId() const override { return ridLogging; }

private:
    void BuildControls();
    void ConnectHandlers();
    // The y of a point of word i (and, for a 32-bit sample, word i - 1), clamped to the plot.
    int PointY(int i) const;
    // ",?" reads on from the last place the driver read or wrote: after a write of the window's
    // own during the read-back, the next word is asked by its address.
    bool placeMoved_ = false;
    bool readdressNext_ = false;
};

extern TfrmLogging* frmLogging;
