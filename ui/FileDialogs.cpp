#include "FileDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>

namespace ui {
namespace {

FileDialogResponder& DialogResponder() {
    static FileDialogResponder responder;
    return responder;
}

InputResponder& TextResponder() {
    static InputResponder responder;
    return responder;
}

QString BothCases(const QString& patterns) {
    QStringList all;
    for (const QString& pattern : patterns.split(';', Qt::SkipEmptyParts)) {
        for (const QString& variant : {pattern.toLower(), pattern.toUpper()})
            if (!all.contains(variant)) all.append(variant);
    }
    return all.join(' ');
}

} // namespace

QString ToQtFilter(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        filters.append(QString("%1 (%2)").arg(parts[i], BothCases(parts[i + 1])));
    return filters.join(";;");
}

bool FileDialog::Execute(QWidget* parent) {
    std::optional<QString> chosen;
    if (DialogResponder()) {
        chosen = DialogResponder()(*this);
    } else {
        if (kind_ == Kind::Open) {
            const QString name =
                QFileDialog::getOpenFileName(parent, Title, FileName, ToQtFilter(Filter));
            if (!name.isEmpty()) chosen = name;
        } else {
            chosen = RunSaveDialog(parent);
        }
    }
    if (!chosen) return false;
    FileName = *chosen;
    if (kind_ == Kind::Save && !DefaultExt.isEmpty() && QFileInfo(FileName).suffix().isEmpty())
        FileName += '.' + DefaultExt;
    return true;
}

// The save dialog adds the default extension itself, so that its question about replacing a
// file is asked of the name that will be written (Qt's own dialog: a native one may ask about
// the name as typed).
std::optional<QString> FileDialog::RunSaveDialog(QWidget* parent) const {
    QFileDialog dialog(parent, Title, FileName, ToQtFilter(Filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(DefaultExt);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

void SetFileDialogResponder(FileDialogResponder responder) {
    DialogResponder() = std::move(responder);
}

std::optional<QString> InputQuery(const QString& caption, const QString& prompt,
                                  const QString& defaultText) {
    if (TextResponder()) return TextResponder()(caption, prompt);
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), caption, prompt,
                                               QLineEdit::Normal, defaultText, &ok);
    if (!ok) return std::nullopt;
    return text;
}

void SetInputResponder(InputResponder responder) {
    TextResponder() = std::move(responder);
}

} // namespace ui
