#include "RadioGroup.h"

#include "Guard.h"

#include <QVBoxLayout>

namespace ui {

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
