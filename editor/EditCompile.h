// The files of the editor's compile command: the temporary source written for the compiler and
// the listing read back, both named after the document's tab caption in the current folder.
#pragma once

#include <QString>
#include <optional>

namespace editor {

struct CompileFiles {
    QString source;  // the caption with its extension replaced by ".tmp" (or ".tmp" appended)
    QString listing; // the same with ".lst"
    QString compiled; // the same with ".mbx": the compiled program a download sends
};

// Nothing for a compiled program (a caption whose extension contains ".mbx", in lower case).
std::optional<CompileFiles> CompileFileNames(const QString& caption);

// The keyword library folder: "Lib" beside the executable.
QString LibraryFolder();

} // namespace editor
