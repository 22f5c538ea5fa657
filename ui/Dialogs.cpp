#include "Dialogs.h"

#include "DpiScaling.h"
#include "Wait.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QScreen>
#include <algorithm>
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

// A message box whose one line of text stays one line on a screen of the program's own scaling:
// Qt wraps a text wider than 500 pixels, a width it gives in the pixels of a 96 dpi screen. A
// text that would wrap at 96 dpi still wraps.
class MessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    bool event(QEvent* event) override {
        const bool handled = QMessageBox::event(event);
        // Qt sets the box's size as it shows and at each new layout.
        if (event->type() == QEvent::Show || event->type() == QEvent::LayoutRequest)
            UnwrapAtFactor();
        return handled;
    }

private:
    void UnwrapAtFactor() {
        const int factor = DpiFactor(*this);
        auto* label = findChild<QLabel*>("qt_msgbox_label");
        if (factor == 1 || !label || !label->wordWrap() || !layout()) return;
        layout()->activate();
        constexpr int kWrapWidthAt96Dpi = 500;
        const int lacking =
            label->fontMetrics().size(0, label->text()).width() - label->contentsRect().width();
        if (lacking <= 0) return;
        int limit = factor * kWrapWidthAt96Dpi;
        if (screen()) limit = std::min(limit, screen()->availableGeometry().width() / 2);
        const int width = this->width() + lacking;
        if (width > limit) return;
        setFixedSize(width, layout()->totalHeightForWidth(width));
    }
};

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
    MessageBox box(ToQtIcon(icon), caption, text, ToQtButtons(buttons),
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
