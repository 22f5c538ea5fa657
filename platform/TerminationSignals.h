// SIGINT and SIGTERM delivered through the event loop, so that the program can close its main
// window (and write its settings) instead of dying where it stands.
#pragma once

#include <functional>

namespace platform {

// Runs `handler` on the GUI thread when the process receives SIGINT or SIGTERM. Call once, after
// the application object exists.
void OnTerminationSignal(std::function<void()> handler);

} // namespace platform
