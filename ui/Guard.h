// Exceptions never cross Qt: every handler runs through RunGuarded, which shows an exception
// that escapes it in the application's default error box, as the class library did.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <stdexcept>
#include <type_traits>
#include <utility>

namespace ui {

// The error the layer raises (files, printing); its text is shown to the user as it stands.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The application's title, the caption of its default error box.
void SetApplicationTitle(const QString& title);
QString ApplicationTitle();

// Shows the application's default error box for an exception that escaped a handler.
void ShowException(const std::exception& e);

void RunGuarded(const std::function<void()>& handler);

// Calls a handler with the signal's arguments when it takes them, else without.
template <typename Handler, typename... Args>
void CallHandler(const Handler& handler, Args&&... args) {
    if constexpr (std::is_invocable_v<const Handler&, Args...>)
        handler(std::forward<Args>(args)...);
    else
        handler();
}

// Connects a handler to a signal through the guard; the handler receives the signal's arguments
// when it takes them.
template <typename Sender, typename Signal, typename Handler>
QMetaObject::Connection Connect(Sender* sender, Signal signal, QObject* context, Handler handler) {
    // The constraint lets Qt's count of the arguments a functor takes see which counts work.
    return QObject::connect(
        sender, signal, context,
        [handler](auto&&... args) -> void requires(
                                      std::is_invocable_v<const Handler&, decltype(args)...> ||
                                      std::is_invocable_v<const Handler&>) {
            RunGuarded([&] { CallHandler(handler, args...); });
        });
}

} // namespace ui
