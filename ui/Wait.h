// The one way the program waits: it runs the event loop, blocking for the next event, until a
// condition holds. Replies, timer ticks and user input are handled inside the wait.
#pragma once

#include <functional>

namespace ui {

// Processes what is pending; when nothing is, blocks until the next event arrives and handles it.
void ProcessMessages();

// Handles what is pending without waiting for more (a look at the user's input between steps).
void ProcessPendingMessages();

// Repeats ProcessMessages until done() is true (tested before each pass), or until the program
// has been asked to end.
void ProcessMessagesUntil(const std::function<bool()>& done);
// The same, giving up after timeoutMs; returns done()'s answer at the end.
bool ProcessMessagesUntil(const std::function<bool()>& done, int timeoutMs);

// Ends the program's event loop whatever windows are showing (closing the main window does
// this): every nested event loop ends, every wait returns at once, and no further message box
// is shown.
void RequestQuit();
bool QuitRequested();
// For a new event loop in the same process (tests).
void ClearQuitRequest();

} // namespace ui
