#include "Wait.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace ui {

void ProcessMessages() {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void ProcessPendingMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

namespace {
bool quitRequested = false;
} // namespace

void ProcessMessagesUntil(const std::function<bool()>& done) {
    while (!quitRequested && !done())
        ProcessMessages();
}

void RequestQuit() {
    quitRequested = true;
    QCoreApplication::exit(0);
}

bool QuitRequested() { return quitRequested; }

void ClearQuitRequest() { quitRequested = false; }

} // namespace ui
