// The compile command: the document's text goes to a temporary source named after its tab in the
// document's folder, the compiler of the driver's generation writes the compiled program and the
// listing beside it, the temporary source is deleted and the listing shown in the reply pane.
// The older program and listing go before the compiler runs, so a failed compile leaves no
// program a download could take for this source and the pane never shows an older listing.
#include "EditCompile.h"

#include "UnitEdit.h"
#include "shell/UnitSetup.h"
#include "ui/Dialogs.h"
#include "ui/Guard.h"

#include "compiler/CompileProgram.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <filesystem>

namespace editor {
namespace {

std::filesystem::path FileSystemPath(const QString& name) {
    return std::filesystem::path(QFile::encodeName(name).toStdString());
}

// Deletes the temporary source however the compile ends.
class TemporaryFile {
public:
    explicit TemporaryFile(QString path) : path_(std::move(path)) {}
    ~TemporaryFile() { QFile::remove(path_); }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

private:
    QString path_;
};

// Removes the file an earlier compile of the document left; a file that stays would pass for
// this compile's output, so failing to remove it ends the command.
void RemoveEarlierOutput(const QString& path) {
    if (!QFileInfo(path).isFile() || QFile::remove(path)) return;
    throw ui::Error(
        QString("以前のコンパイル結果を削除できませんでした。\n%1").arg(path).toStdString());
}

} // namespace

std::optional<CompileFiles> CompileFileNames(const QString& caption, const QString& fileName) {
    const qsizetype dot = caption.lastIndexOf('.');
    if (dot >= 0 && caption.mid(dot).contains(".mbx")) return std::nullopt;
    const QDir folder = fileName.isEmpty() ? QDir::current() : QFileInfo(fileName).absoluteDir();
    const QString stem = folder.absoluteFilePath(dot < 0 ? caption : caption.left(dot));
    return CompileFiles{stem + ".tmp", stem + ".lst", stem + ".mbx"};
}

QString LibraryFolder() {
    return QCoreApplication::applicationDirPath() + "/Lib/";
}

} // namespace editor

void TfrmEdit::btnMailCClick() {
    if (DocFileName[CurrentDoc].isEmpty() && TabCaption(CurrentDoc) == kNewFileCaption) {
        ui::ShowWarning("ファイル名を変更してからコンパイルを行ってください。", "警告");
        return;
    }
    memSub->clear();
    const QString library = editor::LibraryFolder();
    const std::optional<editor::CompileFiles> files =
        editor::CompileFileNames(TabCaption(CurrentDoc), DocFileName[CurrentDoc]);
    if (!files) {
        ui::ShowMessage("このファイルはMBXファイルの為\nコンパイルできません。", "コンパイルエラー",
                        ui::MsgIcon::Information);
        return;
    }
    kaso::compiler::CompileResult result;
    editor::RemoveEarlierOutput(files->compiled);
    editor::RemoveEarlierOutput(files->listing);
    {
        ui::EditorPane::WriteLinesToFile(files->source, memMain2->Lines());
        const editor::TemporaryFile temporary(files->source);
        namespace compiler = kaso::compiler;
        const std::filesystem::path source = editor::FileSystemPath(files->source);
        result = SeriesIndex() == 0
                     ? compiler::CompileProgramGen1(source, editor::FileSystemPath(library))
                     : compiler::CompileProgramGen2(source, editor::FileSystemPath(library));
    }
    if (!result.listing.written)
        throw ui::Error(QString("リストファイルを書き込めませんでした。\n%1\n%2")
                            .arg(files->listing, QString::fromStdString(result.listing.error))
                            .toStdString());
    const std::optional<QStringList> listing = ui::EditorPane::ReadLinesFromFile(files->listing);
    if (!listing)
        throw ui::Error(
            QString("ファイルが見つかりませんでした。\n%1").arg(files->listing).toStdString());
    memSub->setPlainText(listing->join('\n'));
}
