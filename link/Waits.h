// The waits that every screen uses while it exchanges with the driver, and the hand-over of the
// line between screens. Each wait keeps the event loop running, blocking for the next event.
#pragma once

#include "ui/Form.h"
#include "ui/Timer.h"

#include <initializer_list>

#include "UnitGeneral.h"

// Waits for the answer to a question while `timer2` (250 ms) adds its interval to `elapsedMs`:
// true with the answer in LastReply; false when the question ended without it (its limit, or its
// axis did not answer the probe before it). Either way timer2 is disabled on return. An answer
// that came has not timed out, however long a box the user read meanwhile.
bool WaitForReply(const Ticket& question, int& elapsedMs, ui::Timer& timer2);

// After a write: waits for any line, which then is the driver's answer to it, for as long as a
// question's answer may take (the fifth tick of `timer2`).
bool WaitForReply(int& elapsedMs, ui::Timer& timer2);

// Asks a question under ridNone (TmdlGeneral::SendQuestion) and waits for its answer
// (WaitForReply). Raises the port's error.
bool AskAndWait(const QByteArray& line, int& elapsedMs, ui::Timer& timer2);

// Returns once `axis` (0: the designated one) is in step (TmdlGeneral::BringInStep); false when
// it did not answer the probe. Raises the port's error.
bool WaitForLineInStep(char axis = 0);

// Returns after n ticks of `timer` (its Tag counts them).
void WaitTicks(ui::Timer& timer, int n);

// After a write: returns after a reply or after n ticks of `timer`, whichever comes first.
void WaitTicksOrReply(ui::Timer& timer, int n);
// Returns once the question has ended, by its answer or by its own limit: true when answered.
bool WaitForAnswer(const Ticket& question);
// Returns once the question has gone out or ended.
void WaitUntilAsked(const Ticket& question);
// Returns after the question's answer or after n ticks of `timer`, whichever comes first.
void WaitTicksOrAnswer(const Ticket& question, ui::Timer& timer, int n);

enum class ModelQuery { Answered, SendFailed, NoAnswer };

// Asks "VER\r" twice and keeps the second reply in LastReply. A failed send is reported
// (TmdlGeneral::ReportNoDriver) and gives SendFailed.
ModelQuery QueryDriverModel(int& elapsedMs, ui::Timer& timer2);

// The drive screens, the windows that exchange with the driver, and their kinds.
enum class DriveScreenKind {
    StatusMonitor, // hiding one stops its polling, which sends on the line
    List,          // the parameter list and lock windows, the data table, the alarm history
    Logging,
    Analysis,
};

// Each drive screen joins when it is created; it leaves when it is deleted.
void JoinDriveScreens(ui::Form* screen, DriveScreenKind kind);

// Before a screen takes the line: hides each drive screen that is showing. The status monitors
// go first (as StopStatusMonitor stops them), then the others in the order they joined, whose
// hiding only takes them off the screen; each hide handler runs to its end before the next
// screen is looked at.
void HideDriveScreens();
// The same, sparing the screens named or every screen of one kind.
void HideDriveScreensExcept(std::initializer_list<const ui::Form*> spared);
void HideDriveScreensExcept(DriveScreenKind spared);
// Hides the showing drive screens of one kind only, in the order they joined.
void HideDriveScreensOf(DriveScreenKind kind);

// Hides whichever status monitor is showing (frmStat first); returns when the line is free.
void StopStatusMonitor();
