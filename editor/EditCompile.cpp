// The compile command: the document's text goes to a temporary source named after its tab in the
// current folder, the compiler of the driver's generation writes the compiled program and the
// listing beside it, the temporary source is deleted and the listing shown in the reply pane.
#include "EditCompile.h"

#include "UnitEdit.h"
#include "shell/UnitSetup.h"
#include "ui/Dialogs.h"
#include "ui/Guard.h"

#include "compiler/CompileProgram.h"

#include <QCoreApplication>
#include <QFile>
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

} // namespace

std::optional<CompileFiles> CompileFileNames(const QString& caption) {
    const qsizetype dot = caption.lastIndexOf('.');
    if (dot < 0) return CompileFiles{caption + ".tmp", caption + ".lst", caption + ".mbx"};
    if (caption.mid(dot).contains(".mbx")) return std::nullopt;
    const QString stem = caption.left(dot);
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
        editor::CompileFileNames(TabCaption(CurrentDoc));
    if (!files) {
        ui::ShowMessage("このファイルはMBXファイルの為\nコンパイルできません。", "コンパイルエラー",
                        ui::MsgIcon::Information);
        return;
    }
    {
        ui::EditorPane::WriteLinesToFile(files->source, memMain2->Lines());
        const editor::TemporaryFile temporary(files->source);
        namespace compiler = kaso::compiler;
        if (SeriesIndex() == 0)
            compiler::CompileProgramGen1(editor::FileSystemPath(files->source),
                                         editor::FileSystemPath(library));
        else
            compiler::CompileProgramGen2(editor::FileSystemPath(files->source),
                                         editor::FileSystemPath(library));
    }
    const std::optional<QStringList> listing = ui::EditorPane::ReadLinesFromFile(files->listing);
    if (!listing)
        throw ui::Error(
            QString("ファイルが見つかりませんでした。\n%1").arg(files->listing).toStdString());
    memSub->setPlainText(listing->join('\n'));
}
