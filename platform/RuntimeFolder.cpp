#include "RuntimeFolder.h"

#include <QDir>
#include <cstdlib>
#include <unistd.h>

namespace platform {

namespace {
constexpr char kRuntimeVariable[] = "XDG_RUNTIME_DIR";
}

// mkdtemp makes the folder the user's alone (mode 0700), as a runtime folder must be.
PrivateRuntimeFolder::PrivateRuntimeFolder() {
    if (!qEnvironmentVariableIsEmpty(kRuntimeVariable)) return;
    QByteArray name = QFile::encodeName(QDir::tempPath() + "/kasont-runtime-XXXXXX");
    if (!::mkdtemp(name.data())) return;
    path_ = QFile::decodeName(name);
    qputenv(kRuntimeVariable, name);
}

PrivateRuntimeFolder::~PrivateRuntimeFolder() {
    if (path_.isEmpty()) return;
    qunsetenv(kRuntimeVariable);
    ::rmdir(QFile::encodeName(path_).constData());
}

} // namespace platform
