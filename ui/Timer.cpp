#include "Timer.h"

namespace ui {

Timer::Timer(int intervalMs, QObject* parent) : QTimer(parent) {
    setInterval(intervalMs);
    setTimerType(Qt::PreciseTimer);
}

void Timer::SetEnabled(bool enabled) {
    if (enabled == isActive()) return;
    if (enabled)
        start();
    else
        stop();
}

} // namespace ui
