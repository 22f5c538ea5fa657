// The frequency response analysis window: three measurement buffers, the ten analysis modes, the
// measurement run over the serial line, the Bode, vector locus and spectrum plots, and the
// measurement and spectrum files.
#pragma once

#include "FraResponse.h"
#include "FraWidgets.h"
#include "TextTable.h"

#include "link/Exchange.h"
#include "ui/Controls.h"
#include "ui/Form.h"
#include "ui/Timer.h"

#include <QPushButton>
#include <QTabWidget>
#include <array>
#include <memory>
#include <utility>
#include <vector>

// One measurement buffer.
struct TFraBuffer {
    int Count = 0;                       // valid points; 0 = empty
    std::unique_ptr<TFraPoint[]> Points; // kMaxPoints entries once a run or a load made them
    QString FileName;
    int FromHz = 0;
    int ToHz = 0;
    int StepHz = 0;
    std::array<QString, 4> ColumnNames;
};

// One analysis mode.
struct TFraSetting {
    int ModeId;
    QString ModeName;
    QString ModeCommand;
    QString ZeroCommand;
    int TorqueFlag; // 1: "G" goes before the zero command
};

// The samples of the spectrum page and their transform.
struct TSpectrumData {
    int SampleCount = 0;
    QString FileName;
    QString ColumnName;
    double SamplingFreq = 0.0;
    std::vector<int> Samples;
    std::vector<double> Re;
    std::vector<double> Im;
};

class TfrmFRA : public ui::Form {
    Q_OBJECT
public:
    explicit TfrmFRA(QWidget* owner);

    // Pages.
    QTabWidget* pcAnalyze;
    QWidget* tsFreq;
    QWidget* tsVector;
    QWidget* tsPref;
    QWidget* tsSpectrum;

    // Bode page.
    fra::PlotBox* AnGraph;
    std::array<ui::CheckBox*, 3> cbBuf;
    std::array<ui::CheckBox*, 3> cbOL;
    ui::CheckBox* cbAssistLine;
    ui::CheckBox* cbDevide;
    ui::CheckBox* cbPhase;
    ui::CheckBox* cbPhaseRO;
    std::array<QRadioButton*, 3> rbActiveBuf;
    QPushButton* btAnalyze;
    fra::FraEdit *edCurFreq, *edCurGain, *edCurPhase;
    fra::FraEdit *edM1Freq, *edM1Gain, *edM1Phase;
    fra::FraEdit *edM2Freq, *edM2Gain, *edM2Phase;
    QLabel* lbPhase;
    std::array<QLabel*, 3> lbBufP;
    std::array<fra::LegendShape*, 3> shBufG;
    std::array<fra::LegendShape*, 3> shBufP;
    fra::LegendShape* shMarker1;
    fra::LegendShape* shMarker2;

    // Vector page.
    fra::PlotBox* AnVector;
    std::array<ui::CheckBox*, 3> cb2Buf;
    std::array<ui::CheckBox*, 3> cb2OL;
    ui::CheckBox* cb2Assist;
    QRadioButton* rb_x1;
    QRadioButton* rb_x0R2;
    std::array<QRadioButton*, 3> rb2ActiveBuf;
    QPushButton* btAnalyze2;
    fra::FraEdit *edCurRe, *edCurIm, *edM1Re, *edM1Im, *edM2Re, *edM2Im;
    std::array<fra::LegendShape*, 3> sh2Buf;
    fra::LegendShape* shM1;
    fra::LegendShape* shM2;

    // Settings page.
    QGroupBox* gbAnalyzeSetting;
    fra::FraEdit *edFreqFrom, *edFreqTo, *edFreqStep, *edSGA, *edKIKTM;
    QLabel* lbKIKTM;
    ui::CheckBox* cbVirtual;
    ui::CheckBox* cbComplex;
    ui::CheckBox* cbDecMaxEnable;
    ui::ComboBox* cbFRASET;
    std::array<fra::FraEdit*, 3> edFreqFromBuf, edFreqToBuf, edFreqStepBuf, edFileNameBuf;
    std::array<fra::FraEdit*, 3> edLCF, edHCF;
    fra::ValueGrid *sgParams1, *sgParams2, *sgParams3;

    // Spectrum page.
    fra::PlotBox* AnSpectrum;
    fra::RadioGroup* rbAmplitude;
    ui::CheckBox* cb3Assist;
    ui::CheckBox* cbThickSpectrum;
    fra::FraEdit *edSpecFL, *edSpecFH, *edSpecFreq, *edSpecVal;
    ui::ComboBox* cbWinFunc;
    fra::FraEdit *edLFreq, *edLAmp, *edRFreq, *edRAmp, *edCur3Freq, *edCur3Amp;
    fra::LegendShape* shMarkerL;
    fra::LegendShape* shMarkerR;

    // Below the pages.
    QPushButton* btOpen;
    QPushButton* btSave;
    QPushButton* btPrint;
    fra::Panel* pnStatus;
    fra::Panel* pnAnalyze;
    std::array<QLabel*, 3> lblDateNow, lblTimeNow;

    ui::Timer* DateTimer; // 500 ms clock
    ui::Timer* Timer2;    // 250 ms reply wait

    // State.
    std::array<TFraBuffer, 3> Buffers;
    std::array<TFraSetting, 10> Settings;
    int ElapsedMs = 0;
    int RunFlag = 0;
    int SettleMs = 0, CurrentFreq = 0, EndFreq = 0, LastDrawnFreq = 0;
    int FromFreq = 0, ToFreq = 0, StepFreq = 0, Amplitude = 0, Kiktm = 0;
    QString SavedNfst;
    QString SvkhzText = "16";
    QString LogAreaAddress;
    QString CommandPrefix;
    int ModeIndex = 1;
    QColor BackColor = Qt::white, FrameColor = Qt::black, GridColor = QColor(170, 187, 204);
    int PlotLeft = 50, PlotTop = 30, PlotBottom = 40;
    QPoint BodeMarker1{-1, -1}, BodeMarker2{-1, -1};
    QPoint VectorCursor{-1, -1}, VectorMarker1{-1, -1}, VectorMarker2{-1, -1};
    TSpectrumData Spectrum;
    double FreqResolution = 1.0;
    double SpectrumTop = 100.0;
    double SpectrumBottom = 0.0;
    int SpecMarker1X = -1, SpecMarker1Y = -1, SpecMarker2X = -1, SpecMarker2Y = -1;

    // Window.
    int GetActiveBuffer() const;
    void DrawActivePage();
    void EnableControls(bool enable);
    void DateTimerTimer();
    void Timer2Timer() { ElapsedMs += Timer2->interval(); }

    // Exchanges with the driver: 0 sent (no reply wanted), 1 replied, -1 failed. In a run, a
    // query fails when the driver refused a command sent before it (kept as the run's bad reply).
    int SendAndWait(const QString& command, QByteArray* reply);
    // A query whose reply must be a whole number: 1 with the value, or -1 for a failed exchange
    // or a reply that is no number (then kept as the run's bad reply).
    int QueryNumber(const QString& command, int& value);
    int ShowDriverStatus();
    int ReadInternalVariables();

    // The measurement run. Measuring() is true from the start of a run until it has ended,
    // its end sequence included.
    bool Measuring() const { return measuring_; }
    void btAnalyzeClick();
    void btAnalyze2Click();
    void RunAnalysis(int n);
    int StartSignalGenerator();
    int SetupLogging(int n);
    int StepFrequency();
    int StartServo();
    int PrepareNotchTest();
    int SetVirtualMode();
    // Reads the point under measurement into buffer n, after the points read so far: 1 stored,
    // 0 not (a failed read, invalid data, a full buffer), -1 a word that is no number.
    int ReadPoint(int n);

    // Plots.
    void DrawBodePlot();
    void AnGraphMouseMove(int x, int y);
    void AnGraphMouseUp(Qt::MouseButton button, int x, int y);
    void DrawVectorLocus();
    void AnVectorMouseMove(int x, int y);
    void AnVectorMouseUp(Qt::MouseButton button);
    void DrawSpectrum();
    void AnSpectrumMouseMove(int x, int y);
    void AnSpectrumMouseUp(Qt::MouseButton button, int x, int y);

    // Files.
    void btOpenClick();
    void btSaveClick() { SaveFileAs(); }
    void SaveFileAs();
    void SaveFile();
    void LoadBufferFile(int n);
    void LoadSpectrumFile();
    void ComputeSpectrum();
    // FreqResolution from the spectrum's rate and count: fs/N, at least 1.
    void UpdateFreqResolution();

    // Entry checks and printing.
    void btPrintClick() { PrintPage(); }
    void PrintPage();
    void edSpecFreqKeyPress(QChar& key);
    void CheckFreqFrom();
    void CheckFreqTo();
    void CheckLowDisplay(int n);
    void CheckHighDisplay(int n);
    void CheckSpecLow(bool enter);
    void CheckSpecHigh(bool enter);

protected:
    void FormShow() override;
    void FormHide() override;
    void FormClose() override;
    bool FormCloseQuery() override { return RunFlag != 1; }

private:
    void BuildBodePage();
    void BuildVectorPage();
    void BuildSettingsPage();
    void PlaceValueGrids(const std::array<fra::ValueGrid*, 3>& grids);
    int SendAndWaitOutsideRun(const QByteArray& line, QByteArray* reply);
    bool RefusedCommand();
    int RunExchangeEnded();
    void BuildSpectrumPage();
    void BuildBottom();
    void ConnectOptionHandlers();
    void ConnectEntryChecks();
    bool IsPage(const QWidget* page) const { return pcAnalyze->currentWidget() == page; }

    // How a phase of the run ended: go on, the end sequence, or the error path (with or without
    // the communication message).
    enum class RunExit { Go, End, Error, ErrorQuiet };
    // The run's phases: the checks before anything is disabled (false: refused with a message),
    // the buffer made ready, the driver's replies that the run needs, the start of generator,
    // logging and servo, and the sweep.
    bool PassesRunChecks();
    void PrepareRun(int n);
    RunExit OpenRun();
    RunExit StartDriver(int n);
    RunExit SweepPoints(int n);
    // A command of the run: the error path when it fails, the end sequence after a stop.
    RunExit SendInRun(const char* command);
    // After a status display: go on, the end sequence after a failed exchange (which the run
    // reports when it ends), or the error path after a reply that is no number.
    RunExit AfterStatus(int result);
    // Keeps the message naming a reply that is not the number it must be; gives -1.
    int BadReply(const QString& command, const QByteArray& reply);

    // The run's exits.
    void EndSequence(int n);
    void ErrorPath(int n, bool communicationFailed);
    // After a lost line: the run ends quietly (the data module tells the user), keeping the
    // points measured so far.
    void ReturnToIdle(int n);
    void GiveControlsBack(int n);
    // What a run that ended through the end sequence could not do: a status display that failed
    // before any point, the frequencies whose point was not read.
    void ReportRunGaps(int n);
    void LineLost();
    void ShowBufferEdits(int n, const QStringList& texts);
    void ShowBufferInfo(int n);
    // A column name longer than a table's cell is loaded cut to it; the user is told.
    static void TellCutName(const QString& kept);
    // What a loaded table left unread, if anything: the text after a byte 0xFF.
    static void TellEndMark(const fra::TextTable& table);
    // True when the column names of the active page's file go into it as they stand; otherwise
    // the user is told which one cannot.
    bool ActiveNamesFitTheFile() const;
    // The display range of buffer n (lo, hi) as the plots take it, filling empty range boxes.
    std::pair<int, int> DisplayRange(int n);
    bool IsComplex(int n) const { return Buffers[n].ColumnNames[2] != "AMAX"; }
    // What the Bode plot drew of each buffer's points, for its next redraw.
    std::array<fra::BodeValues, 3> bodeValues_;

    bool measuring_ = false;
    int runBuffer_ = -1;  // the buffer of the run once it has taken the controls
    int lossesAtRun_ = 0; // the count of lost lines when the run began
    // A run's lines, which go to the axis designated when it started; its own error paths
    // tell the user. Hiding the window asks the run to stop (FormHide): its end sequence still
    // goes through the exchange.
    Exchange exchange_{this, ridNone, false};
    bool failureTold_ = false; // the run's failed send has been told
    // A question of a run went unanswered: the next line of a run waits until the axis is in step.
    bool settleFirst_ = false;
    // The run's commands whose outcome has not been looked at yet.
    std::vector<std::pair<QString, Ticket>> writesOut_;
    // Whether the line was lost during the run: the data module has told the user then.
    bool LineLostInRun() const;
    bool bufferFull_ = false;
    bool statusFailed_ = false;    // a status display failed and ended the run
    QList<int> missedFrequencies_; // the frequencies whose point could not be read
    // The message naming the driver's answer that ends the run (a reply that is no number, a
    // refused command), empty when there was none.
    QString badReply_;
};

extern TfrmFRA* frmFRA;

namespace fra {
// A box's text as a decimal whole number, or -1 when it is not one.
int BoxValue(const QLineEdit* box);
// The highest frequency a sweep may reach, half the control frequency given in kHz (500 Hz per
// kHz), held within the int range.
int SweepLimit(int controlKhz);
} // namespace fra
