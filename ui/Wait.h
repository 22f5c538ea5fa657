// The one way the program waits: it runs the event loop, blocking for the next event, until a
// condition holds. Replies, timer ticks and user input are handled inside the wait.
#pragma once

#include <functional>

namespace ui {

// Processes what is pending; when nothing is, blocks until the next event arrives and handles it.
void ProcessMessages();

// Handles what is pending without waiting for more (a look at the user's input between steps).
void ProcessPendingMessages();

// Repeats ProcessMessages until done() is true (tested before each pass).
void ProcessMessagesUntil(const std::function<bool()>& done);

} // namespace ui
