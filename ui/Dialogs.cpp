#include "Dialogs.h"

#include "Wait.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

namespace ui {
namespace {

MessageResponder& Responder() {
    static MessageResponder responder;
    return responder;
}

QMessageBox::Icon ToQtIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Error:
        return QMessageBox::Critical;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQtButtons(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MsgButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

MsgResult FromQtButton(int button) {
    switch (button) {
    case QMessageBox::Yes:
        return MsgResult::Yes;
    case QMessageBox::No:
        return MsgResult::No;
    case QMessageBox::Cancel:
        return MsgResult::Cancel;
    default:
        return MsgResult::Ok;
    }
}

// The answer that changes nothing, for a box that nobody sees.
MsgResult QuietAnswer(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::YesNo:
        return MsgResult::No;
    case MsgButtons::YesNoCancel:
        return MsgResult::Cancel;
    case MsgButtons::Ok:
        break;
    }
    return MsgResult::Ok;
}

} // namespace

MsgResult ShowMessage(const QString& text, const QString& caption, MsgIcon icon,
                      MsgButtons buttons) {
    switch (MessageBoxDelivery()) {
    case BoxDelivery::Withheld:
        return QuietAnswer(buttons);
    case BoxDelivery::StandardError:
        std::fputs(qUtf8Printable(caption + ": " + text + '\n'), stderr);
        return QuietAnswer(buttons);
    case BoxDelivery::Shown:
        break;
    }
    if (Responder()) return Responder()(MessageRecord{text, caption, icon, buttons});
    QMessageBox box(ToQtIcon(icon), caption, text, ToQtButtons(buttons),
                    QApplication::activeWindow());
    return FromQtButton(box.exec());
}

void ShowWarning(const QString& text, const QString& caption) {
    ShowMessage(text, caption, MsgIcon::Exclamation, MsgButtons::Ok);
}

bool AskYesNo(const QString& text, const QString& caption) {
    return ShowMessage(text, caption, MsgIcon::Question, MsgButtons::YesNo) == MsgResult::Yes;
}

void SetMessageResponder(MessageResponder responder) {
    Responder() = std::move(responder);
}

} // namespace ui
