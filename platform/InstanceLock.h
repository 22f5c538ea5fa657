// Keeps the program to one running instance: a lock file in the user's runtime folder
// ($XDG_RUNTIME_DIR, else the temporary folder), held with flock for the life of the process.
#pragma once

#include <QString>

namespace platform {

class InstanceLock {
public:
    explicit InstanceLock(const QString& name);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // False when another instance holds the name or the lock file cannot be made.
    bool Acquire();
    void Release();

    QString FilePath() const { return path_; }

private:
    QString path_;
    int fd_ = -1;
};

} // namespace platform
