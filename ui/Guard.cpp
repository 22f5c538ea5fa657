#include "Guard.h"

#include "Dialogs.h"

namespace ui {
namespace {

QString& Title() {
    static QString title;
    return title;
}

} // namespace

void SetApplicationTitle(const QString& title) {
    Title() = title;
}

QString ApplicationTitle() {
    return Title();
}

void ShowException(const std::exception& e) {
    ShowMessage(QString::fromUtf8(e.what()), ApplicationTitle(), MsgIcon::Error);
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
