#include "Controls.h"

#include "CarriedText.h"
#include "Guard.h"

#include <QEvent>
#include <QLineEdit>
#include <QSignalBlocker>

namespace ui {

CheckBox::CheckBox(const QString& caption, QWidget* parent) : QCheckBox(caption, parent) {
    connect(this, &QCheckBox::clicked, this, [this] {
        if (OnClick) RunGuarded(OnClick);
    });
}

void CheckBox::SetChecked(bool checked) {
    if (checked == isChecked()) return;
    {
        const QSignalBlocker blocker(this);
        setChecked(checked);
    }
    if (OnClick) RunGuarded(OnClick);
}

ComboBox::ComboBox(const QStringList& items, QWidget* parent) : QComboBox(parent) {
    addItems(items);
    setCurrentIndex(-1);
    connect(this, &QComboBox::activated, this, [this] {
        if (OnChange) RunGuarded(OnChange);
    });
    connect(this, &QComboBox::editTextChanged, this, [this] {
        if (OnChange && hasFocus()) RunGuarded(OnChange);
    });
}

void ComboBox::SetItemIndex(int index) {
    const QSignalBlocker blocker(this);
    setCurrentIndex(index >= 0 && index < count() ? index : -1);
}

void ComboBox::setEditable(bool editable) {
    QComboBox::setEditable(editable);
    if (!editable) return;
    setCompleter(nullptr);
    RefuseUncarriedPastes(lineEdit());
}

void ComboBox::setLineEdit(QLineEdit* edit) {
    QComboBox::setLineEdit(edit);
    setCompleter(nullptr);
    RefuseUncarriedPastes(edit);
}

CheckListBox::CheckListBox(int items, QWidget* parent) : QListWidget(parent) {
    for (int i = 0; i < items; ++i) {
        auto* item = new QListWidgetItem(this);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    connect(this, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        setCurrentItem(item); // the toggled item becomes the selected one
        if (OnClickCheck) RunGuarded(OnClickCheck);
    });
    connect(this, &QListWidget::itemClicked, this, [this] {
        if (OnClick) RunGuarded(OnClick);
    });
}

bool CheckListBox::Checked(int index) const {
    const QListWidgetItem* entry = item(index);
    return entry && entry->checkState() == Qt::Checked;
}

void CheckListBox::SetChecked(int index, bool checked) {
    QListWidgetItem* entry = item(index);
    if (!entry) return;
    const QSignalBlocker blocker(this);
    entry->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void CheckListBox::SetItemIndex(int index) {
    const QSignalBlocker blocker(this);
    setCurrentRow(index >= 0 && index < count() ? index : -1);
}

// An item view redraws its items whenever its window is activated or deactivated, for the colours
// of an inactive window: with the same colours in both there is nothing to redraw.
bool CheckListBox::viewportEvent(QEvent* event) {
    const bool activation =
        event->type() == QEvent::WindowActivate || event->type() == QEvent::WindowDeactivate;
    if (activation && palette().isEqual(QPalette::Active, QPalette::Inactive))
        return QAbstractScrollArea::viewportEvent(event);
    return QListWidget::viewportEvent(event);
}

void CheckListBox::SetTopIndex(int index) {
    if (QListWidgetItem* entry = item(index)) scrollToItem(entry, QAbstractItemView::PositionAtTop);
}

} // namespace ui
