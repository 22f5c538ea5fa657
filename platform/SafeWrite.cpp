#include "SafeWrite.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

std::string Reason(const std::string& what, const std::filesystem::path& path, int error) {
    return what + " " + path.string() + ": " + std::strerror(error);
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// The new name is on disk only once the folder itself is synced.
void SyncFolder(const std::filesystem::path& folder) {
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// An existing target keeps its permissions; a new file gets the usual 0666 less the umask.
mode_t ModeFor(const std::filesystem::path& path) {
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0) return existing.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

bool WriteFileSafely(const std::filesystem::path& path, std::string_view bytes,
                     std::string& error) {
    std::string pattern = path.string() + ".XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        error = Reason("cannot create a temporary file beside", path, errno);
        return false;
    }
    const std::filesystem::path temporary = pattern;
    auto fail = [&](const std::string& what, const std::filesystem::path& named) {
        const int reason = errno;
        ::close(fd);
        ::unlink(temporary.c_str());
        error = Reason(what, named, reason);
        return false;
    };
    if (!WriteAll(fd, bytes)) return fail("cannot write", temporary);
    if (::fchmod(fd, ModeFor(path)) != 0) return fail("cannot set the permissions of", temporary);
    if (::fsync(fd) != 0) return fail("cannot flush", temporary);
    if (::close(fd) != 0) {
        const int reason = errno;
        ::unlink(temporary.c_str());
        error = Reason("cannot close", temporary, reason);
        return false;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int reason = errno;
        ::unlink(temporary.c_str());
        error = Reason("cannot replace", path, reason);
        return false;
    }
    SyncFolder(path.parent_path());
    return true;
}

} // namespace platform
