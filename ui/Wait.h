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
// this): every nested event loop ends and every wait returns at once. Until the program's end
// begins (ProgramEnd), no message box is shown: the work cut short has nobody to report to.
void RequestQuit();
// The same with nobody there to answer (a termination signal): the boxes of the program's end
// are written to standard error instead of shown.
void RequestUnattendedQuit();
bool QuitRequested();
// For a new event loop in the same process (tests).
void ClearQuitRequest();

// While one exists, the program's own end runs: its message loop is over, the port is closed and
// the settings written, and the user is told of what fails there.
class ProgramEnd {
public:
    ProgramEnd();
    ~ProgramEnd();
    ProgramEnd(const ProgramEnd&) = delete;
    ProgramEnd& operator=(const ProgramEnd&) = delete;
};

// Where a message box raised now goes.
enum class BoxDelivery { Shown, Withheld, StandardError };
BoxDelivery MessageBoxDelivery();

} // namespace ui
