// The parameter lock window: 200 parameters with the driver's locks in a check list beside the
// grid; locked values are grey and cannot be edited.
#pragma once

#include "PrmWindow.h"
#include "ui/DpiScaling.h"

class TfrmPrmLock : public TPrmWindow {
    Q_OBJECT
public:
    explicit TfrmPrmLock(QWidget* owner);

    ui::CheckListBox* clbPrm; // item i: parameter #i, checked when the driver has locked it
    QLabel* Image1;

    int ParameterCount() const override { return 200; }
    int FileParameterCount() override { return 200; }
    void ShowGuide(int row) override;
    // Greys the locked values and takes their cells out of editing, then marks the references.
    void RefreshMarks() override;

    void grdPrmKeyPress(QChar key);
    void grdPrmTopLeftChanged();
    void clbPrmClick();
    void clbPrmClickCheck();

protected:
    TRequestId WriteRequestId() const override { return ridNone; }
    bool NeverWritten(int number) const override;
    QString ReadHeader() const override { return kHeaderKaso2; }
    bool ReadSetsRowCount() const override { return false; }
    void SetTransferRunning(bool running) override { clbPrm->setEnabled(!running); }
    TPrmWindow* Twin() const override;
    int FileValueLimit() const override { return 37; }
    QString PrintSampleName() const override { return " #046 自動力率検知ｹﾞｲﾝ係数 "; }
    void grdPrmSelectCell(int col, int row, bool& canSelect) override;
    void FormShow() override { CentreOnScreen(); }
    void FormActivate() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The lock list's width: the room left of the grid, where the check boxes show.
    static constexpr int kLockListWidth = 17;
    // kLockListWidth times the DPI factor, as the grid beside it.
    int MarkColumnWidth() const { return ui::DpiFactor(logicalDpiX()) * kLockListWidth; }
    void SetUpLockList();
    void AlignLockList();
    void PlaceLockList();
};

extern TfrmPrmLock* frmPrmLock;

// Clears the lock window's guide pane and writes the guide of a grid row.
void ShowPrmLockGuide(int row);
