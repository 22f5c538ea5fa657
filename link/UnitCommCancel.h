// The communication progress window that long transfers show, with its cancel button. It does no
// communication itself: the transfer drives it through the client calls below and looks at
// CancelRequested before each step.
#pragma once

#include "ui/Form.h"

#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <functional>

class TfrmCommCancel : public ui::Form {
    Q_OBJECT
public:
    enum class Direction { Upload, Download }; // read from the driver, written to it

    explicit TfrmCommCancel(QWidget* owner);

    QLabel* Label1;
    QProgressBar* ProgressBar1;
    QLabel* Label2;
    QLabel* Label3;
    QPushButton* btnCancel;

    bool CancelRequested = false;
    // Runs when the user cancels, so that a transfer waiting for a reply can end at once.
    std::function<void()> OnCancel;

    // The client protocol. Start: bar at 0, "ドライバと通信中", "キャンセル", flag cleared, shown
    // modeless (without the bar and its labels when showPercent is false). `returnFocusTo` is the
    // client's control that the button gives the focus back to, when it is visible then.
    void StartTransfer(bool showPercent = true, QWidget* returnFocusTo = nullptr);
    // After a step: the bar at done x 100 / total; steps that follow within a tenth of a second
    // of a shown one are shown together when it is over (FinishTransfer shows the last at once).
    void StepTo(int done, int total);
    // Normal end: "アップロード完了" or "ダウンロード完了" and an "OK" button that hides the
    // window.
    void FinishTransfer(Direction direction);
    // Failure end: the client hides the window before it shows its own message.
    void AbortTransfer() { Hide(); }

    void btnCancelClick();

protected:
    void FormShow() override;
    void FormDeactivate() override;
    // The window has no close box; a window manager that closes it anyway presses its button.
    bool FormCloseQuery() override;

private:
    void ShowPendingStep();
    void StandAbove(QWidget* client);
    void HandKeysTo(QWidget* control);
    static constexpr int kStepShownMs = 100;
    QTimer* stepShown_ = new QTimer(this); // runs while a shown step holds the next ones back
    int pendingPercent_ = -1;              // the latest step not shown yet (-1: none)
    QPointer<QWidget> returnFocusTo_;
};

extern TfrmCommCancel* frmCommCancel;
