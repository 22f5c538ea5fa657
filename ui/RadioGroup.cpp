#include "RadioGroup.h"

#include "Guard.h"

#include <QKeyEvent>
#include <QPointer>
#include <QVBoxLayout>

namespace ui {

namespace {

// Watches the buttons' keys; lives as long as the first button.
class ArrowKeys : public QObject {
public:
    ArrowKeys(const std::vector<QRadioButton*>& buttons, QObject* owner) : QObject(owner) {
        for (QRadioButton* button : buttons) {
            buttons_.emplace_back(button);
            button->installEventFilter(this);
        }
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
        int step = 0;
        if (key->key() == Qt::Key_Down || key->key() == Qt::Key_Right) step = 1;
        if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Left) step = -1;
        if (step == 0) return false;
        if (QRadioButton* next = Next(From(watched), step)) {
            next->setFocus(Qt::TabFocusReason);
            next->click();
        }
        return true;
    }

private:
    // The chosen button, else the one the key came to.
    int From(QObject* watched) const {
        int from = 0;
        for (size_t i = 0; i < buttons_.size(); ++i) {
            if (buttons_[i] && buttons_[i]->isChecked()) return static_cast<int>(i);
            if (buttons_[i].data() == watched) from = static_cast<int>(i);
        }
        return from;
    }

    QRadioButton* Next(int from, int step) const {
        const int count = static_cast<int>(buttons_.size());
        for (int k = 1; k < count; ++k) {
            QRadioButton* button = buttons_[static_cast<size_t>((from + step * k + count) % count)];
            if (button && button->isVisible() && button->isEnabled()) return button;
        }
        return nullptr;
    }

    std::vector<QPointer<QRadioButton>> buttons_;
};

} // namespace

void ChooseWithArrowKeys(const std::vector<QRadioButton*>& buttons) {
    if (!buttons.empty()) new ArrowKeys(buttons, buttons.front());
}

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, QWidget* parent)
    : QGroupBox(caption, parent) {
    auto* layout = new QVBoxLayout(this);
    for (const QString& text : items) {
        auto* button = new QRadioButton(text, this);
        layout->addWidget(button);
        buttons_.push_back(button);
        connect(button, &QRadioButton::clicked, this, [this] {
            if (OnClick) RunGuarded(OnClick);
        });
    }
    ChooseWithArrowKeys(buttons_);
}

int RadioGroup::ItemIndex() const {
    for (size_t i = 0; i < buttons_.size(); ++i)
        if (buttons_[i]->isChecked()) return static_cast<int>(i);
    return -1;
}

void RadioGroup::SetItemIndex(int index) {
    if (index >= 0 && index < static_cast<int>(buttons_.size()))
        buttons_[static_cast<size_t>(index)]->setChecked(true);
}

} // namespace ui
