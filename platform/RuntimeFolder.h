// The user's runtime folder for the process's life. Without $XDG_RUNTIME_DIR (root in a fresh
// system, `su -`) Qt takes a folder of its own in the temporary folder, warns of it at every start
// and leaves it there; this gives the process a private one instead, removed at its end.
#pragma once

#include <QString>

namespace platform {

class PrivateRuntimeFolder {
public:
    // Makes the folder and names it in $XDG_RUNTIME_DIR, when that names none; else does nothing.
    PrivateRuntimeFolder();
    // Removes the folder when it is empty (a program started from this one may still use it) and
    // leaves $XDG_RUNTIME_DIR unset again.
    ~PrivateRuntimeFolder();
    PrivateRuntimeFolder(const PrivateRuntimeFolder&) = delete;
    PrivateRuntimeFolder& operator=(const PrivateRuntimeFolder&) = delete;

    // The folder made, or empty when the process had one already (or none could be made).
    QString Path() const { return path_; }

private:
    QString path_;
};

} // namespace platform
