// The editor's modeless find and replace dialogs: they hold the texts and options and report the
// user's button presses; the editor window does the searching.
#pragma once

#include "ui/EditorPane.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class TFindDialog : public QDialog {
    Q_OBJECT
public:
    explicit TFindDialog(QWidget* parent);

    QLineEdit* edtFind;
    QRadioButton* rbUp;
    QRadioButton* rbDown;
    QCheckBox* chkMatchCase;
    QCheckBox* chkWholeWord;
    QPushButton* btnFindNext;
    QPushButton* btnCancel;

    ui::EditorPane::SearchOptions Options() const;

    std::function<void()> OnFind;
};

class TReplaceDialog : public QDialog {
    Q_OBJECT
public:
    explicit TReplaceDialog(QWidget* parent);

    QLineEdit* edtFind;
    QLineEdit* edtReplace;
    QCheckBox* chkMatchCase;
    QCheckBox* chkWholeWord;
    QPushButton* btnFindNext;
    QPushButton* btnReplace;
    QPushButton* btnReplaceAll;
    QPushButton* btnCancel;

    // Searches downward.
    ui::EditorPane::SearchOptions Options() const;
    // Set while the replace-all button's press is being handled.
    bool ReplaceAll = false;

    std::function<void()> OnFind;
    std::function<void()> OnReplace;
};
