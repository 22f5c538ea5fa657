#include "InstanceLock.h"

#include <QDir>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform {
namespace {

QString RuntimeFolder() {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    return runtime.isEmpty() ? QDir::tempPath() : QString::fromLocal8Bit(runtime);
}

} // namespace

InstanceLock::InstanceLock(const QString& name) : path_(RuntimeFolder() + '/' + name + ".lock") {}

InstanceLock::~InstanceLock() {
    Release();
}

bool InstanceLock::Acquire() {
    if (fd_ >= 0) return true;
    const int fd = ::open(path_.toLocal8Bit().constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

void InstanceLock::Release() {
    if (fd_ < 0) return;
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
}

} // namespace platform
