#include "Wait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace ui {

void ProcessMessages() {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void ProcessPendingMessages() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

namespace {
bool quitRequested = false;
bool unattended = false;
bool programEnding = false;
} // namespace

void ProcessMessagesUntil(const std::function<bool()>& done) {
    while (!quitRequested && !done())
        ProcessMessages();
}

bool ProcessMessagesUntil(const std::function<bool()>& done, int timeoutMs) {
    bool expired = false;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [&] { expired = true; });
    deadline.start(timeoutMs);
    ProcessMessagesUntil([&] { return done() || expired; });
    return done();
}

void RequestQuit() {
    quitRequested = true;
    QCoreApplication::exit(0);
}

void RequestUnattendedQuit() {
    unattended = true;
    RequestQuit();
}

bool QuitRequested() {
    return quitRequested;
}

void ClearQuitRequest() {
    quitRequested = false;
    unattended = false;
}

ProgramEnd::ProgramEnd() {
    programEnding = true;
}

ProgramEnd::~ProgramEnd() {
    programEnding = false;
}

BoxDelivery MessageBoxDelivery() {
    if (quitRequested && !programEnding) return BoxDelivery::Withheld;
    return unattended ? BoxDelivery::StandardError : BoxDelivery::Shown;
}

} // namespace ui
