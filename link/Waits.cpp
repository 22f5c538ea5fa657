#include "Waits.h"

#include "UnitGeneral.h"
#include "ui/Wait.h"

#include <QPointer>
#include <algorithm>
#include <functional>
#include <vector>

namespace {

constexpr int kReplyLimitMs = TmdlGeneral::kReplyLimitMs;

// Runs the event loop until `done` holds, the program ends or the line is lost.
template <class Done> void WaitOnLine(Done done) {
    const int losses = mdlGeneral->LineLosses();
    while (!done() && !ui::QuitRequested() && mdlGeneral->LineLosses() == losses)
        ui::ProcessMessages();
}

} // namespace

bool WaitForReply(const Ticket& question, int& elapsedMs, ui::Timer& timer2) {
    elapsedMs = 0;
    timer2.SetEnabled(true);
    WaitOnLine([&] { return !question->Waiting(); });
    // A wait that ends otherwise (the program ends) gives its question up.
    if (question->Waiting()) mdlGeneral->Withdraw(question);
    const bool answered = question->Answered();
    if (answered)
        mdlGeneral->KeepAnswer(question);
    else
        elapsedMs = 0;
    timer2.SetEnabled(false);
    return answered;
}

bool WaitForReply(int& elapsedMs, ui::Timer& timer2) {
    elapsedMs = 0;
    timer2.SetEnabled(true);
    // The line is looked at before the limit: a wait that has it has not timed out.
    WaitOnLine([&] { return mdlGeneral->ReplyReceived() || elapsedMs >= kReplyLimitMs; });
    const bool answered = mdlGeneral->ReplyReceived();
    if (!answered) elapsedMs = 0;
    timer2.SetEnabled(false);
    return answered;
}

bool AskAndWait(const QByteArray& line, int& elapsedMs, ui::Timer& timer2) {
    return WaitForReply(mdlGeneral->SendQuestion(line, ridNone), elapsedMs, timer2);
}

bool WaitForAnswer(const Ticket& question) {
    WaitOnLine([&] { return !question->Waiting(); });
    if (question->Waiting()) mdlGeneral->Withdraw(question);
    return question->Answered();
}

void WaitUntilAsked(const Ticket& question) {
    WaitOnLine([&] { return question->asked || !question->Waiting(); });
}

bool WaitForLineInStep(char axis) {
    return WaitForAnswer(mdlGeneral->BringInStep(axis));
}

void WaitTicks(ui::Timer& timer, int n) {
    timer.Tag = 0;
    timer.SetEnabled(true);
    ui::ProcessMessagesUntil([&] { return timer.Tag >= n; });
    timer.SetEnabled(false);
}

void WaitTicksOrReply(ui::Timer& timer, int n) {
    if (n <= 0) {
        // No ticks to wait: what has come in is seen, and the caller goes on at once.
        ui::ProcessPendingMessages();
        return;
    }
    timer.Tag = 0;
    timer.SetEnabled(true);
    WaitOnLine([&] { return mdlGeneral->ReplyReceived() || timer.Tag >= n; });
    timer.SetEnabled(false);
}

void WaitTicksOrAnswer(const Ticket& question, ui::Timer& timer, int n) {
    timer.Tag = 0;
    timer.SetEnabled(true);
    WaitOnLine([&] { return !question->Waiting() || timer.Tag >= n; });
    timer.SetEnabled(false);
}

ModelQuery QueryDriverModel(int& elapsedMs, ui::Timer& timer2) {
    const int losses = mdlGeneral->LineLosses();
    for (int round = 0; round < 2; ++round) {
        try {
            if (!AskAndWait(QByteArray("VER\r"), elapsedMs, timer2)) return ModelQuery::NoAnswer;
        } catch (const platform::ECommError&) {
            mdlGeneral->ReportNoDriver(losses);
            return ModelQuery::SendFailed;
        }
    }
    return ModelQuery::Answered;
}

namespace {

struct DriveScreen {
    QPointer<ui::Form> form;
    DriveScreenKind kind;
};

std::vector<DriveScreen>& DriveScreens() {
    static std::vector<DriveScreen> screens;
    return screens;
}

// Hides each showing drive screen that `picked` names, the status monitors first: theirs are the
// only hide handlers that send, and they stop polling before anything else changes hands.
void HidePicked(const std::function<bool(const DriveScreen&)>& picked) {
    const std::vector<DriveScreen> screens = DriveScreens(); // a hide handler runs waits
    for (const bool monitors : {true, false})
        for (const DriveScreen& screen : screens)
            if ((screen.kind == DriveScreenKind::StatusMonitor) == monitors && screen.form &&
                screen.form->Showing() && picked(screen))
                screen.form->Hide();
}

} // namespace

void JoinDriveScreens(ui::Form* screen, DriveScreenKind kind) {
    std::erase_if(DriveScreens(), [](const DriveScreen& s) { return s.form.isNull(); });
    DriveScreens().push_back({screen, kind});
}

void HideDriveScreens() {
    HidePicked([](const DriveScreen&) { return true; });
}

void HideDriveScreensExcept(std::initializer_list<const ui::Form*> spared) {
    HidePicked([spared](const DriveScreen& screen) {
        return std::find(spared.begin(), spared.end(), screen.form.data()) == spared.end();
    });
}

void HideDriveScreensExcept(DriveScreenKind spared) {
    HidePicked([spared](const DriveScreen& screen) { return screen.kind != spared; });
}

void HideDriveScreensOf(DriveScreenKind kind) {
    HidePicked([kind](const DriveScreen& screen) { return screen.kind == kind; });
}

void StopStatusMonitor() {
    HideDriveScreensOf(DriveScreenKind::StatusMonitor);
}
