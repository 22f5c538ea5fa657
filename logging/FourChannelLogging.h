// What the two four-channel logging windows share: the set-up controls that send a setting to
// the driver as soon as the user changes it, the run (set-up, start, progress, the read-back of
// the recorded buffer one value per request, drawn as it arrives), the plot of the stored
// traces with its view controls, the channel scales and the printout. The second series' and
// the third and fourth series' windows supply their differences through the virtual members.
#pragma once

#include "ChannelScale.h"
#include "LoggingWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <array>

class TFourChannelLogging : public TLoggingWindow {
    Q_OBJECT
public:
    static constexpr int kSamples = 1000;
    static constexpr int kChannels = 4;

    // The window of each series ends its creation (FinishCreation) once its own controls stand.
    TFourChannelLogging(QWidget* owner, TRequestId readBackId, const QStringList& variables,
                        const QStringList& periods);

    // Set-up controls.
    ui::ComboBox* cmbLogVal1;
    ui::ComboBox* cmbLogVal2;
    ui::ComboBox* cmbLogVal3;
    ui::ComboBox* cmbLogVal4;
    std::array<ui::ComboBox*, 4> ChannelLists() const {
        return {cmbLogVal1, cmbLogVal2, cmbLogVal3, cmbLogVal4};
    }
    ui::CheckBox* CheckBox1;
    ui::CheckBox* CheckBox2;
    ui::CheckBox* CheckBox3;
    ui::CheckBox* CheckBox4;
    std::array<ui::CheckBox*, 4> DisplayBoxes() const {
        return {CheckBox1, CheckBox2, CheckBox3, CheckBox4};
    }
    QPushButton* btnPrint;
    QPushButton* btnLoggingClose;
    ui::Timer* Timer1; // 1000 ms: the time stamp
    QLabel* lblDateNow;
    QLabel* lblTimeNow;
    QLineEdit* edtTitle;

    // Plot labels and the per-channel labels.
    QLabel* lblTend;
    QLabel* Label28;
    std::array<QLabel*, 4> lblch{};         // markers at each channel's zero line
    std::array<QLabel*, 4> lblYhigh{};      // lblCh1Yhigh..lblCh4Yhigh
    std::array<QLabel*, 4> lblYlow{};       // lblCh1Ylow..lblCh4Ylow
    std::array<QLabel*, 4> NameLabels{};    // Label14, Label16, Label18, Label20
    std::array<QLabel*, 4> UnitLabels{};    // Label15, Label17, Label19, Label21
    std::array<QLabel*, 4> ValueLabels{};   // Label24..Label27: the value of one division
    std::array<QLineEdit*, 4> DummyEdits{}; // edtLogVal1_Dummy..: the boxes on the printout

    // View controls.
    ui::ComboBox* Vertical_Scale;
    logging::UpDown* UpDownLogData;
    QLineEdit* Offset_Value;
    QPushButton* btnOffsetClear;
    QRadioButton* Ch1_Vertical;
    QRadioButton* Ch2_Vertical;
    QRadioButton* Ch3_Vertical;
    QRadioButton* Ch4_Vertical;
    std::array<QRadioButton*, 4> ChannelSelectors() const {
        return {Ch1_Vertical, Ch2_Vertical, Ch3_Vertical, Ch4_Vertical};
    }

    // Window fields.
    double TimeSpan = 10000; // ms across the plot width
    std::array<std::int32_t, 4> FullScale{};
    double SamplePeriod = 10;
    int FirstSample = 0;
    std::array<std::array<std::int32_t, kSamples>, kChannels> LogData{};
    std::array<int, 4> OffsetPixels{};
    std::array<int, 4> OffsetSteps{};
    std::array<int, 4> ScaleMultiplier{};
    std::array<int, 4> LastPointX{};
    std::array<int, 4> LastPointY{};
    // The vertical scale step of each channel (the main window saves it with the settings).
    std::array<int, 4> ScaleExponent{};

    // The read-back's position.
    int LogSampleIndex = 0;
    int LogReplyCount = 1;
    std::uint32_t LogBaseAddress = 0;

    // Channel scales (0-based channel in SetChScale).
    void SetCh1Scale() { SetChScale(0); }
    void SetCh2Scale() { SetChScale(1); }
    void SetCh3Scale() { SetChScale(2); }
    void SetCh4Scale() { SetChScale(3); }
    void SetChScale(int channel);

    // Handlers of the set-up.
    void cmbLogTimeChange();
    void cmbLogValChange(int channel);
    void Timer1Timer();
    void btnLoggingCloseClick() { close(); }

    // The plot and the view.
    void FormPaint() override;
    void DrawLogData();
    void trkTChange();
    void trkTOffsetChange();
    void trkYChange();
    void Vertical_ScaleChange();
    void UpDownLogDataClick(logging::UpDown::Button button);
    void btnOffsetClearClick();
    void ChVerticalClick(int channel);
    void CheckBoxClick(int channel);
    void cmbLogValKeyPress(int channel, QChar& key);
    void btnPrintClick();

    // The channel whose radio button is on (0..3).
    int SelectedChannel() const;
    static QColor ChannelColor(int channel);

    void FormActivate() override; // caption, channel labels, period entry and spans

    // Set by a launch: the next activation selects the period entry of the driver's period;
    // later activations keep the user's choice.
    bool SelectDriverPeriod = false;

protected:
    // Differences of the series.
    virtual logging::FourChannelSeries Series() const = 0;
    // The period entry the activation selects (third series).
    virtual void SelectActivationPeriod() {}
    // Whether the selected period is read as a decimal fraction.
    virtual bool FractionalPeriod() const { return false; }
    virtual QByteArray PeriodChangeCommand() const = 0;
    virtual QByteArray RunPeriodCommand() const = 0;
    // A variable name the driver's model does not take (third series' QWC30).
    virtual bool RefusedName(const QString&) const { return false; }
    // The first read request (sets LogBaseAddress); false when it cannot be made (reported).
    virtual bool SendFirstReadRequest() = 0;
    // x of sample k counted from `from` (live drawing and redraw).
    virtual int SampleX(int k, int from) const = 0;
    virtual QString DivisionText() const = 0;
    // Third series: recompute the cursor readouts while they are on screen.
    virtual void RefreshCursorReadouts() {}

    bool eventFilter(QObject* watched, QEvent* event) override;

    // The run.
    bool RunChecks() override;
    void SendRunSetup() override;
    double RunSpan() const override { return TimeSpan; }
    bool StartReadBack() override;
    bool TakeReply() override;

    // The spans from the selected period and the time width (also the span labels).
    void ComputeSpans();
    int CustomItem() const { return cmbLogVal1->count() - 1; }
    logging::ScaleConstants Constants() const;
    void DrawSample(int channel, int x, std::int32_t value, bool first);
    void MoveMarker(int channel);
    int PeriodItem() const { return cmbLogTime->ItemIndex(); }

private:
    void BuildSetupControls(const QStringList& variables, const QStringList& periods);
    void BuildPlotControls();
    void BuildViewControls();
    void ConnectHandlers();
};
