// The open and save dialogs the screens share, and the input box. Filters are written
// "description|pattern|description|pattern" and match without regard to case; the dialogs keep
// the last file name. A test responder answers in place of the user.
#pragma once

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace ui {

class FileDialog {
public:
    enum class Kind { Open, Save };
    explicit FileDialog(Kind kind) : kind_(kind) {}

    QString Filter;
    QString DefaultExt; // added to a chosen name that has no extension
    QString Title;
    QString FileName; // the last file chosen

    // Runs the dialog; false when the user cancelled it.
    bool Execute(QWidget* parent = nullptr);

private:
    std::optional<QString> RunOpenDialog(QWidget* parent) const;
    std::optional<QString> RunSaveDialog(QWidget* parent) const;
    Kind kind_;
};

// The dialog's Qt filter for a class-library filter ("ﾊﾟﾗﾒｰﾀ(*.prm)|*.PRM"), each pattern in
// both cases so that ".prm" and ".PRM" files are found alike.
QString ToQtFilter(const QString& filter);

// A responder gets the dialog and returns the chosen path, or nothing for a cancel.
using FileDialogResponder = std::function<std::optional<QString>(const FileDialog& dialog)>;
void SetFileDialogResponder(FileDialogResponder responder);

// The input box: the text entered, or nothing when the user cancelled.
std::optional<QString> InputQuery(const QString& caption, const QString& prompt,
                                  const QString& defaultText);
using InputResponder =
    std::function<std::optional<QString>(const QString& caption, const QString& prompt)>;
void SetInputResponder(InputResponder responder);

} // namespace ui
