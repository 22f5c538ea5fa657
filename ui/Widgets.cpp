#include "Widgets.h"

#include "Guard.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPalette>

namespace ui {

QColor WindowTextColor() { return QApplication::palette().color(QPalette::WindowText); }

void SetTextColor(QWidget* widget, const QColor& color) {
    // A palette change repaints the whole widget: only a real change of colour touches it.
    const QPalette& current = widget->palette();
    if (current.color(QPalette::WindowText) == color && current.color(QPalette::Text) == color)
        return;
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    widget->setPalette(palette);
}

QColor TextColor(const QWidget* widget) {
    const auto role = qobject_cast<const QLineEdit*>(widget) ? QPalette::Text : QPalette::WindowText;
    return widget->palette().color(role);
}

int ToVirtualKey(const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_F2: return VK_F2;
    default: break;
    }
    const int key = event->key();
    if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z))
        return key; // digits and letters share their codes with the virtual keys
    return key & 0xFFFF;
}

Edit::Edit(QWidget* parent) : QLineEdit(parent) {}

void Edit::SetUpperCase(bool upper) { upperCase_ = upper; }

void Edit::SetSelStart(int position) {
    deselect();
    setCursorPosition(position);
}

void Edit::keyPressEvent(QKeyEvent* event) {
    int key = ToVirtualKey(event);
    if (OnKeyDown)
        RunGuarded([&] { OnKeyDown(key, event->modifiers()); });
    if (key == 0)
        return;

    QString text = event->text();
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        text = "\r";
    if (text.size() == 1 && OnKeyPress) {
        QChar ch = text.at(0);
        RunGuarded([&] { OnKeyPress(ch); });
        if (ch.isNull())
            return;
    }
    if (text == "\r")
        return; // Enter has no effect of its own in a one-line box
    if (upperCase_ && text.size() == 1 && text.at(0).isLower()) {
        QKeyEvent upper(event->type(), event->key(), event->modifiers(), text.toUpper(),
                        event->isAutoRepeat(), static_cast<ushort>(event->count()));
        QLineEdit::keyPressEvent(&upper);
        return;
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace ui
