// A timer as the screens use it: enabled or disabled, with a tick counter (Tag) that the
// waits read. Its handlers are connected to timeout() by the window that owns it.
#pragma once

#include <QTimer>

namespace ui {

class Timer : public QTimer {
    Q_OBJECT
public:
    explicit Timer(int intervalMs, QObject* parent = nullptr);

    int Tag = 0;

    bool Enabled() const { return isActive(); }
    void SetEnabled(bool enabled);
};

} // namespace ui
