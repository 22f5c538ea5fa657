#include "FileDialogs.h"

#include "DpiScaling.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QInputDialog>
#include <QTimer>
#include <QTreeView>

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

namespace {

// Widens each detail column of Qt's own dialog (size, type, date modified) to its widest shown
// text whenever the folder's listing changes, and the dialog with them as far as its screen
// allows: Qt gives them widths of its own that cut dates and types. A column the user widened
// keeps its width; the name column keeps what Qt gives it.
void FitDetailColumns(QFileDialog& dialog) {
    auto* view = dialog.findChild<QTreeView*>("treeView");
    if (!view || !view->model()) return;
    auto* fitting = new QTimer(view);
    fitting->setSingleShot(true);
    QObject::connect(fitting, &QTimer::timeout, view, [view, &dialog] {
        for (int column = 1; column < view->header()->count(); ++column) {
            const int width = view->columnWidth(column);
            view->resizeColumnToContents(column);
            if (view->columnWidth(column) < width) view->setColumnWidth(column, width);
        }
        WidenDialogToItsTexts(dialog);
    });
    const auto fit = [fitting] { fitting->start(0); };
    QAbstractItemModel* model = view->model();
    QObject::connect(model, &QAbstractItemModel::rowsInserted, fitting, fit);
    QObject::connect(model, &QAbstractItemModel::dataChanged, fitting, fit);
    QObject::connect(model, &QAbstractItemModel::layoutChanged, fitting, fit);
    QObject::connect(model, &QAbstractItemModel::modelReset, fitting, fit);
    fit();
}

} // namespace

bool FileDialog::Execute(QWidget* parent) {
    std::optional<QString> chosen;
    if (DialogResponder())
        chosen = DialogResponder()(*this);
    else
        chosen = kind_ == Kind::Open ? RunOpenDialog(parent) : RunSaveDialog(parent);
    if (!chosen) return false;
    FileName = *chosen;
    if (kind_ == Kind::Save && !DefaultExt.isEmpty() && QFileInfo(FileName).suffix().isEmpty())
        FileName += '.' + DefaultExt;
    return true;
}

std::optional<QString> FileDialog::RunOpenDialog(QWidget* parent) const {
    QFileDialog dialog(parent, Title, FileName, ToQtFilter(Filter));
    dialog.setFileMode(QFileDialog::ExistingFile);
    FitDetailColumns(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

// The save dialog adds the default extension itself, so that its question about replacing a
// file is asked of the name that will be written (Qt's own dialog: a native one may ask about
// the name as typed).
std::optional<QString> FileDialog::RunSaveDialog(QWidget* parent) const {
    QFileDialog dialog(parent, Title, FileName, ToQtFilter(Filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(DefaultExt);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    FitDetailColumns(dialog);
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
