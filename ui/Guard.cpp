#include "Guard.h"

#include "Dialogs.h"

#include <QGuiApplication>

namespace ui {

void ShowException(const std::exception& e) {
    ShowMessage(QString::fromUtf8(e.what()), QGuiApplication::applicationDisplayName(),
                MsgIcon::Error);
}

void RunGuarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        ShowException(e);
    } catch (...) {
        ShowException(std::runtime_error(""));
    }
}

} // namespace ui
