// A group of radio buttons one below the other, with an item index; OnClick runs when the user
// picks an item. The arrow keys move the choice within the group.
#pragma once

#include <QGroupBox>
#include <QRadioButton>
#include <QStringList>
#include <functional>
#include <vector>

namespace ui {

class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString& caption, const QStringList& items, QWidget* parent);

    int ItemIndex() const;        // -1 while no item is chosen
    void SetItemIndex(int index); // runs no handler
    QRadioButton* Item(int index) const { return buttons_.at(static_cast<size_t>(index)); }

    std::function<void()> OnClick;

private:
    std::vector<QRadioButton*> buttons_;
};

// The arrow keys on any of `buttons` choose the next shown and enabled one after the chosen one
// (Down, Right) or the one before it (Up, Left), round the list, as the user's click would.
void ChooseWithArrowKeys(const std::vector<QRadioButton*>& buttons);

} // namespace ui
