#include "Controls.h"

#include "Guard.h"

#include <QSignalBlocker>

namespace ui {

CheckBox::CheckBox(const QString& caption, QWidget* parent) : QCheckBox(caption, parent) {
    connect(this, &QCheckBox::clicked, this, [this] {
        if (OnClick)
            RunGuarded(OnClick);
    });
}

void CheckBox::SetChecked(bool checked) {
    if (checked == isChecked())
        return;
    {
        const QSignalBlocker blocker(this);
        setChecked(checked);
    }
    if (OnClick)
        RunGuarded(OnClick);
}

ComboBox::ComboBox(const QStringList& items, QWidget* parent) : QComboBox(parent) {
    addItems(items);
    setCurrentIndex(-1);
    connect(this, &QComboBox::activated, this, [this] {
        if (OnChange)
            RunGuarded(OnChange);
    });
    connect(this, &QComboBox::editTextChanged, this, [this] {
        if (OnChange && hasFocus())
            RunGuarded(OnChange);
    });
}

void ComboBox::SetItemIndex(int index) {
    const QSignalBlocker blocker(this);
    setCurrentIndex(index >= 0 && index < count() ? index : -1);
}

} // namespace ui
