// Keeps the program to one running instance per user: a lock file in the user's runtime folder
// ($XDG_RUNTIME_DIR; without it, a file named with the user's id in the temporary folder), held
// with flock for the life of the process.
#pragma once

#include <QString>

namespace platform {

class InstanceLock {
public:
    enum class Outcome {
        Taken,         // this process holds the lock now
        HeldByAnother, // another instance of this user holds it
        CannotOpen,    // the lock file cannot be opened or made (see OpenError)
    };

    explicit InstanceLock(const QString& name);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    Outcome Take();
    // True when Take() took the lock (or this holds it already).
    bool Acquire() { return Take() == Outcome::Taken; }
    void Release();

    QString FilePath() const { return path_; }
    // The system's reason of the last CannotOpen.
    QString OpenError() const { return openError_; }

private:
    QString path_;
    QString openError_;
    int fd_ = -1;
};

} // namespace platform
