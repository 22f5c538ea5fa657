#include "Form.h"

#include "Guard.h"

#include <QAbstractEventDispatcher>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>

#include <vector>

namespace ui {
namespace {

// A screen shows a new picture about every 16 ms; repainting a window more often draws pictures
// nobody sees.
constexpr qint64 kFrameNs = 16'000'000;
// A held repaint is drawn at the first wait of the event loop after its frame; if nothing wakes
// the program by then, this much after the frame.
constexpr int kLatestAfterFrameMs = 8;

// The windows whose repaint is held, drawn before the event loop next goes to sleep after their
// frame: that needs no wake-up of its own while replies keep coming.
std::vector<QPointer<Form>>& HeldWindows() {
    static std::vector<QPointer<Form>> held;
    return held;
}

void ReleaseDueRepaints() {
    auto& held = HeldWindows();
    for (size_t i = 0; i < held.size();) {
        const QPointer<Form> window = held[i];
        if (window && !window->RepaintDue()) {
            ++i;
            continue;
        }
        held.erase(held.begin() + static_cast<std::ptrdiff_t>(i));
        if (window)
            window->ReleaseRepaint();
    }
}

void WatchEventLoopWaits() {
    static bool watching = false;
    auto* dispatcher = QAbstractEventDispatcher::instance();
    if (watching || !dispatcher)
        return;
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [] { ReleaseDueRepaints(); });
    watching = true;
}

ModalResponder& Responder() {
    static ModalResponder responder;
    return responder;
}

} // namespace

Form::Form(QWidget* owner) : QWidget(owner, Qt::Window) {
    latestRepaint_.setSingleShot(true);
    connect(&latestRepaint_, &QTimer::timeout, this, [this] { ReleaseRepaint(); });
}

bool Form::event(QEvent* event) {
    if (event->type() != QEvent::UpdateRequest)
        return QWidget::event(event);
    if (HoldRepaint())
        return true;
    lastRepaint_.start();
    return QWidget::event(event);
}

// Changes that come faster than the screen shows them (a reply every few milliseconds) are drawn
// together, at most once a frame: a repaint asked for within a frame of the last one is held.
bool Form::HoldRepaint() {
    if (repaintHeld_)
        return true;
    if (RepaintDue())
        return false;
    repaintHeld_ = true;
    HeldWindows().emplace_back(this);
    WatchEventLoopWaits();
    latestRepaint_.start(int((kFrameNs - lastRepaint_.nsecsElapsed()) / 1'000'000) +
                         kLatestAfterFrameMs);
    return true;
}

bool Form::RepaintDue() const {
    return !lastRepaint_.isValid() || lastRepaint_.nsecsElapsed() >= kFrameNs;
}

void Form::ReleaseRepaint() {
    if (!repaintHeld_)
        return;
    repaintHeld_ = false;
    latestRepaint_.stop();
    QEvent repaint(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(this, &repaint);
}

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
        inResponder_ = true;
        RunGuarded([this] { FormShow(); });
        RunGuarded([this] { FormActivate(); });
        modalResult_ = Responder()(*this);
        RunGuarded([this] { FormHide(); });
        inResponder_ = false;
        return modalResult_;
    }
    setWindowModality(Qt::ApplicationModal);
    show();
    QEventLoop loop;
    modalLoop_ = &loop;
    if (modalResult_ == mrNone)
        loop.exec();
    modalLoop_ = nullptr;
    hide();
    setWindowModality(Qt::NonModal);
    return modalResult_;
}

void Form::SetModalResult(int result) {
    modalResult_ = result;
    if (modalLoop_ && result != mrNone)
        modalLoop_->quit();
}

void Form::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        RunGuarded([this] { FormShow(); });
}

void Form::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        RunGuarded([this] { FormHide(); });
}

void Form::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
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
    if (modalLoop_)
        SetModalResult(modalResult_ == mrNone ? mrCancel : modalResult_);
}

void SetModalResponder(ModalResponder responder) { Responder() = std::move(responder); }

} // namespace ui
