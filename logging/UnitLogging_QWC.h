// The four-channel logging window of the third and fourth series, with its cursor bars.
#pragma once

#include "FourChannelLogging.h"

#include <cstdint>
#include <optional>

class TfrmLogging_QWC : public TFourChannelLogging {
    Q_OBJECT
public:
    explicit TfrmLogging_QWC(QWidget* owner);

    // The cursor.
    QPushButton* btnCursor;
    logging::RadioGroup* Cursor_Prm; // 0 off, 1 horizontal bars, 2 vertical bars
    QPushButton* btnCursorSelect;
    logging::UpDown* UpDownCursor;
    logging::UpDown* LeftRightCursor;
    logging::LineShape* Leftbar;
    logging::LineShape* Rightbar;
    logging::LineShape* Topbar;
    logging::LineShape* Bottombar;
    QLabel* Label1; // "<> :  "
    QLabel* Label4; // the difference
    QLabel* Label2; // "@  :  "
    QLabel* Label8; // the level

    void btnCursorClick();
    void Cursor_PrmClick();
    void btnCursorSelectClick();
    void UpDownCursorClick(logging::UpDown::Button button);
    void LeftRightCursorClick(logging::UpDown::Button button);

    // A vertical distance in pixels in the selected channel's unit; raises ui::Error when the
    // channel's per-division label holds no number.
    QString CursorValueText(int pixels) const;
    // The distance between the vertical bars in milliseconds.
    QString CursorTimeText() const;

protected:
    logging::FourChannelSeries Series() const override {
        return logging::FourChannelSeries::ThirdFourth;
    }
    TRequestId ReadBackId() const override { return ridLogging_QWC; }
    void SelectActivationPeriod() override;
    bool FractionalPeriod() const override;
    QByteArray PeriodChangeCommand() const override;
    QByteArray RunPeriodCommand() const override;
    bool RefusedName(const QString& name) const override;
    bool SendFirstReadRequest() override;
    bool RunChecks() override;
    QByteArray NextReadRequest() const override;
    int SampleX(int k, int from) const override;
    int ProgressX() const override;
    QString DivisionText() const override;
    void SetRunViewEnabled(bool enabled) override; // also the cursor button
    void RefreshCursorReadouts() override;

private:
    void BuildCursor();
    void SetReadoutColor();
    // The readouts of the horizontal bars, with the level of the bar at row `levelTop`.
    void HorizontalReadouts(int levelTop);
    void TimeReadout();
    // The readout labels of the bars shown, then filled.
    void ShowHorizontalReadouts();
    void ShowTimeReadout();
    bool LongEntry(int item) const;
    // The log buffer's address read at launch: hexadecimal digits only; otherwise reported.
    std::optional<std::uint32_t> BufferAddress() const;
};

extern TfrmLogging_QWC* frmLogging_QWC;
