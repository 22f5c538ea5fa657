#include "InstanceLock.h"

#include <QDir>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform {
namespace {

// The runtime folder is the user's own; the temporary folder is everyone's, so there the file's
// name tells whose it is.
QString LockFilePath(const QString& name) {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty()) return QString::fromLocal8Bit(runtime) + '/' + name + ".lock";
    return QDir::tempPath() + QString("/%1-%2.lock").arg(name).arg(::getuid());
}

} // namespace

InstanceLock::InstanceLock(const QString& name) : path_(LockFilePath(name)) {}

InstanceLock::~InstanceLock() {
    Release();
}

InstanceLock::Outcome InstanceLock::Take() {
    if (fd_ >= 0) return Outcome::Taken;
    // Not through a symbolic link: in a shared folder someone else could have put one there.
    const int fd =
        ::open(path_.toLocal8Bit().constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        openError_ = QString::fromLocal8Bit(std::strerror(errno));
        return Outcome::CannotOpen;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK) return Outcome::HeldByAnother;
        openError_ = QString::fromLocal8Bit(std::strerror(error));
        return Outcome::CannotOpen;
    }
    fd_ = fd;
    return Outcome::Taken;
}

void InstanceLock::Release() {
    if (fd_ < 0) return;
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
}

} // namespace platform
