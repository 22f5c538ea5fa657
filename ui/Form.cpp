#include "Form.h"

#include "Guard.h"

#include <QCloseEvent>
#include <QEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace ui {
namespace {

ModalResponder& Responder() {
    static ModalResponder responder;
    return responder;
}

} // namespace

Form::Form(QWidget* owner) : QWidget(owner, Qt::Window) {}

void Form::Show() {
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    show();
}

int Form::ShowModal() {
    modalResult_ = mrNone;
    if (Responder()) {
        RunGuarded([this] { FormShow(); });
        RunGuarded([this] { FormActivate(); });
        modalResult_ = Responder()(*this);
        RunGuarded([this] { FormHide(); });
        return modalResult_;
    }
    setWindowModality(Qt::ApplicationModal);
    show();
    activateWindow(); // the keyboard goes to the window that waits for the user
    QEventLoop loop;
    modalLoop_ = &loop;
    if (modalResult_ == mrNone) loop.exec();
    modalLoop_ = nullptr;
    hide();
    setWindowModality(Qt::NonModal);
    return modalResult_;
}

void Form::SetModalResult(int result) {
    modalResult_ = result;
    if (modalLoop_ && result != mrNone) modalLoop_->quit();
}

void Form::CentreOnScreen() {
    const QScreen* where = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!where) return;
    QRect frame = frameGeometry();
    frame.moveCenter(where->availableGeometry().center());
    move(frame.topLeft());
}

void Form::CentreOn(const QWidget& other) {
    QRect frame = frameGeometry();
    frame.moveCenter(other.frameGeometry().center());
    move(frame.topLeft());
}

void Form::ClockWhileShown(QTimer* clock, std::function<void()> tick) {
    connect(clock, &QTimer::timeout, this, [tick] { RunGuarded(tick); });
    clocks_.emplace_back(clock, std::move(tick));
    if (isVisible()) StartClock(clocks_.back());
}

void Form::StartClock(const Clock& clock) {
    RunGuarded(clock.second);
    clock.first->start();
}

void Form::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) return;
    for (const Clock& clock : clocks_)
        StartClock(clock);
    RunGuarded([this] { FormShow(); });
}

void Form::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (event->spontaneous()) return;
    for (const auto& [clock, tick] : clocks_)
        clock->stop();
    RunGuarded([this] { FormHide(); });
}

void Form::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange) return;
    if (isActiveWindow())
        RunGuarded([this] { FormActivate(); });
    else
        RunGuarded([this] { FormDeactivate(); });
}

void Form::closeEvent(QCloseEvent* event) {
    bool canClose = true;
    RunGuarded([&] { canClose = FormCloseQuery(); });
    if (!canClose) {
        event->ignore();
        return;
    }
    event->accept();
    RunGuarded([this] { FormClose(); });
    if (modalLoop_) SetModalResult(modalResult_ == mrNone ? mrCancel : modalResult_);
}

QPushButton* Form::DefaultButton() const {
    for (QPushButton* button : findChildren<QPushButton*>())
        if (button->isDefault() && button->isVisible()) return button;
    return nullptr;
}

// A focused button takes Return itself, as in a dialog; elsewhere it goes to the default button.
QPushButton* Form::ReturnButton() const {
    if (auto* focused = qobject_cast<QPushButton*>(focusWidget()); focused && focused->isVisible())
        return focused;
    return DefaultButton();
}

// Keys reach the window when the focused control has no use for them.
void Form::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers == Qt::NoModifier) {
        const int key = event->key();
        QPushButton* button = nullptr;
        if (key == Qt::Key_Return || key == Qt::Key_Enter) button = ReturnButton();
        if (key == Qt::Key_Escape && cancelButton_ && cancelButton_->isVisible())
            button = cancelButton_;
        if (button) {
            if (button->isEnabled()) button->click();
            return;
        }
        if (key == Qt::Key_Escape && modalLoop_) {
            close();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void SetModalResponder(ModalResponder responder) {
    Responder() = std::move(responder);
}

} // namespace ui
