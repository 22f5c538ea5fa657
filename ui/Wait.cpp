#include "Wait.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace ui {

void ProcessMessages() {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void ProcessPendingMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void ProcessMessagesUntil(const std::function<bool()>& done) {
    while (!done())
        ProcessMessages();
}

} // namespace ui
