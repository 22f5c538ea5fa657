// The files of a document's compile: the temporary source written for the compiler, the listing
// and the compiled program it writes. One rule names them for the compile and the download alike.
#pragma once

#include <QString>
#include <optional>

namespace editor {

// Full paths in the folder the document compiles in: the folder of its file, or the current
// folder for a document with a bare name (the first new document, an uploaded text), which is
// where saving it writes it. Each name is the tab caption with its extension (from the last '.')
// replaced, the compiler's own rule for its output files.
struct CompileFiles {
    QString source;   // ".tmp"
    QString listing;  // ".lst"
    QString compiled; // ".mbx": the compiled program a download sends
};

// Nothing for a compiled program (a caption whose extension contains ".mbx", in lower case).
std::optional<CompileFiles> CompileFileNames(const QString& caption, const QString& fileName);

// The keyword library folder: "Lib" beside the executable.
QString LibraryFolder();

} // namespace editor
