// The base of the editor tests: the program's windows with the editor shown, a working folder as
// the current folder, and responders for the file, print and font dialogs.
#pragma once

#include "AppTest.h"

#include "editor/UnitEdit.h"

#include <QByteArray>
#include <QString>
#include <optional>

class EditorTest : public AppTest {
protected:
    void SetUp() override;
    void TearDown() override;

    QString Path(const QString& name) const;
    void WriteFile(const QString& name, const QByteArray& bytes) const;
    QByteArray ReadFile(const QString& name) const;
    bool FileExists(const QString& name) const;

    // Opens a file of the working folder through the open dialog.
    void Open(const QString& name);
    // Types into the editing pane as a user would; "\r" is Enter.
    void TypeText(const QString& text);
    void Press(int qtKey);
    QStringList GutterRows() const { return frmEdit->memMain->Lines(); }
    QString PaneText() const { return frmEdit->memMain2->Text(); }
    // The user picks a tab.
    void PickTab(int slot);
    // The answer of the next question boxes (Yes, No or Cancel).
    void Answer(ui::MsgResult result) { answer = result; }
    const ui::MessageRecord& LastMessage() const { return messages.back(); }

    QTemporaryDir workDir;
    QString previousFolder;
    QString chosenFile; // the file dialogs' choice; empty: cancel
    int fileDialogRuns = 0;
    std::optional<QString> printFile; // the print dialog prints to this PDF; none: cancel
    std::optional<QFont> chosenFont;
};
