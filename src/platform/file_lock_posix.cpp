#include "platform/file_lock.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

struct FileLock::Handle {
    int fd = -1;
    std::string path;
};

namespace {

// How often a busy lock is tried again.
constexpr std::uint64_t kRetryUs = 10'000;

bool SameFile(int fd, const std::string& path) {
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::stat(path.c_str(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

// flock, retried until it is had, fails outright or the deadline passes.
bool LockBy(int fd, Clock& clock, std::uint64_t deadline) {
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return true;
        if (errno != EWOULDBLOCK && errno != EINTR)
            return false;
        const std::uint64_t now = clock.NowUs();
        if (now >= deadline)
            return false;
        clock.SleepUntilUs(std::min(now + kRetryUs, deadline));
    }
}

} // namespace

FileLock::FileLock(const std::string& path, Clock& clock, std::uint64_t waitUs) {
    const std::string lockPath = path + ".lock";
    const std::uint64_t deadline = clock.NowUs() + waitUs;
    for (;;) {
        int fd = -1;
        do
            fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC,
                        0644);
        while (fd < 0 && errno == EINTR);
        if (fd < 0)
            return;
        if (!LockBy(fd, clock, deadline)) {
            ::close(fd);
            return;
        }
        // The copy that held it before removes the lock file as it lets go:
        // a lock on that removed file, or on one named so no longer, locks
        // nothing, and the one now at the path is tried instead.
        if (SameFile(fd, lockPath)) {
            held_ = std::make_unique<Handle>(Handle{fd, lockPath});
            return;
        }
        ::close(fd);
        if (clock.NowUs() >= deadline)
            return;
    }
}

FileLock::~FileLock() {
    if (!held_)
        return;
    // Removed while still held, so that no copy can lock it after us and
    // take it for the lock that the path names.
    ::unlink(held_->path.c_str());
    ::close(held_->fd);
}

} // namespace platform
