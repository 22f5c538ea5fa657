// The window base of every screen. Its show and hide handlers run when the program shows or
// hides the window, not when the user minimises or restores it; Show of a showing window brings
// it to the front; ShowModal returns the modal result (1 OK, 2 cancel) and can be answered by a
// test responder. As in a dialog, Return and Enter press the focused button, and otherwise, when
// no control takes them, the default button (QPushButton::setDefault); Escape the cancel button.
#pragma once

#include <QPointer>
#include <QPushButton>
#include <QWidget>
#include <functional>
#include <utility>
#include <vector>

class QEventLoop;
class QTimer;

namespace ui {

enum ModalResult { mrNone = 0, mrOk = 1, mrCancel = 2 };

class Form : public QWidget {
    Q_OBJECT
public:
    explicit Form(QWidget* owner = nullptr);

    void Show();
    void Hide() { hide(); }
    bool Showing() const { return isVisible(); }
    int ShowModal();

    // Ends a modal run with the given result (what setting ModalResult did in the class library).
    void SetModalResult(int result);
    int ModalResultValue() const { return modalResult_; }

    // The button that Escape presses. A modal window without one is closed by Escape, as by its
    // close box.
    void SetCancelButton(QPushButton* button) { cancelButton_ = button; }

    // A clock that only this window shows runs tick on its timeout while the window is shown,
    // and once at the moment it is shown; while the window is hidden it is stopped and never
    // wakes the program.
    void ClockWhileShown(QTimer* clock, std::function<void()> tick);

protected:
    // Places the window in the middle of its screen's free area, or of another window.
    void CentreOnScreen();
    void CentreOn(const QWidget& other);

    virtual void FormShow() {}
    virtual void FormHide() {}
    virtual void FormActivate() {}
    virtual void FormDeactivate() {}
    // Returns false to keep the window open.
    virtual bool FormCloseQuery() { return true; }
    // Runs on every close that goes on (after FormCloseQuery agreed).
    virtual void FormClose() {}

    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QEventLoop* modalLoop_ = nullptr;
    int modalResult_ = mrNone;
    QPointer<QPushButton> cancelButton_;
    QPushButton* DefaultButton() const;
    QPushButton* ReturnButton() const;
    using Clock = std::pair<QTimer*, std::function<void()>>; // the timer and its tick
    void StartClock(const Clock& clock);
    std::vector<Clock> clocks_;
};

// A test installs a responder that plays the user of a modal window: it gets the window (its
// show handler has run; it is not put on screen), may work its controls, and returns the modal
// result.
using ModalResponder = std::function<int(Form& form)>;
void SetModalResponder(ModalResponder responder);

} // namespace ui
