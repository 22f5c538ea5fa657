// SIGINT, SIGTERM and SIGHUP (the terminal that started the program closed, an ssh session
// dropped) delivered through the event loop, so that the program can close its main window (and
// write its settings) instead of dying where it stands.
#pragma once

#include <functional>

namespace platform {

// Runs `handler` on the GUI thread when the process receives SIGINT, SIGTERM or SIGHUP. Call
// once, after the application object exists.
void OnTerminationSignal(std::function<void()> handler);

} // namespace platform
