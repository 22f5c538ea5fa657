// Controls that behave as the class library's did when code, not the user, changes them:
// a check box runs its click handler when code changes its state (and only then); a combo box
// set by code runs no change handler, and an index out of range means no selection. An editable
// combo box never completes what the user types, and refuses a paste of text that the line
// cannot carry (ui/CarriedText).
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <functional>

namespace ui {

class CheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit CheckBox(const QString& caption, QWidget* parent = nullptr);

    bool Checked() const { return isChecked(); }
    // Runs OnClick when the state changes, as a user's click would.
    void SetChecked(bool checked);

    std::function<void()> OnClick;
};

class ComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit ComboBox(const QStringList& items, QWidget* parent = nullptr);

    int ItemIndex() const { return currentIndex(); }
    // Runs no handler; an index outside the list leaves no selection (-1).
    void SetItemIndex(int index);

    // Qt gives every line edit of a combo box a completer that fills in the rest of a matching
    // item and selects it, so the next key typed replaces it or a typing aid keeps it. These
    // take that completer away again; every box of the program is made editable through them.
    void setEditable(bool editable);
    void setLineEdit(QLineEdit* edit);

    // Runs when the user picks an item or edits the text.
    std::function<void()> OnChange;
};

// A check list box: setting an item's check from code runs no handler; OnClickCheck runs after
// the user has toggled an item (mouse or space bar), OnClick when the user clicks an item.
class CheckListBox : public QListWidget {
    Q_OBJECT
public:
    CheckListBox(int items, QWidget* parent = nullptr);

    bool Checked(int index) const;
    void SetChecked(int index, bool checked);
    int ItemIndex() const { return currentRow(); }
    void SetItemIndex(int index);
    void SetTopIndex(int index);

    std::function<void()> OnClick;
    std::function<void()> OnClickCheck;

protected:
    bool viewportEvent(QEvent* event) override;
};

} // namespace ui
