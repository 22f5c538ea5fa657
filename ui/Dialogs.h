// Message boxes as every screen shows them. A test installs a responder that records each box
// and chooses the button, so no test ever blocks on a real modal window.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace ui {

enum class MsgIcon { None, Exclamation, Information, Question, Error };
enum class MsgButtons { Ok, YesNo, YesNoCancel };
// The numbers of the class library's modal results.
enum class MsgResult { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

struct MessageRecord {
    QString text;
    QString caption;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
};

// While the program ends, a box may be withheld or written to standard error and answered with
// the choice that changes nothing (see ui::RequestQuit).
MsgResult ShowMessage(const QString& text, const QString& caption, MsgIcon icon,
                      MsgButtons buttons = MsgButtons::Ok);

// Warnings and errors: exclamation icon, OK button.
void ShowWarning(const QString& text, const QString& caption);

// Questions: question icon, Yes and No.
bool AskYesNo(const QString& text, const QString& caption);

using MessageResponder = std::function<MsgResult(const MessageRecord&)>;

// Installs a responder that answers every box in place of the user; an empty one restores
// the real dialogs.
void SetMessageResponder(MessageResponder responder);

} // namespace ui
