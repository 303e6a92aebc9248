#include "platform/files_posix.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace platform {

int FileSystem::Open(const char* path, int flags, mode_t mode) {
    return ::open(path, flags, mode);
}
int FileSystem::OpenToRead(const char* path, int flags) {
    return ::open(path, flags);
}
ssize_t FileSystem::Read(int fd, void* data, std::size_t size) {
    return ::read(fd, data, size);
}
ssize_t FileSystem::Write(int fd, const void* data, std::size_t size) {
    return ::write(fd, data, size);
}
int FileSystem::Fsync(int fd) {
    return ::fsync(fd);
}
int FileSystem::Close(int fd) {
    return ::close(fd);
}
int FileSystem::Rename(const char* from, const char* to) {
    return ::rename(from, to);
}
int FileSystem::Unlink(const char* path) {
    return ::unlink(path);
}

namespace {

FileSystem realFileSystem;
std::atomic<FileSystem*> currentFileSystem{&realFileSystem};

// Short writes go on from where they stopped; a signal only means try again.
bool WriteAll(FileSystem& fs, int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t n = fs.Write(fd, content.data(), content.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0)
            errno = EIO; // a write that takes nothing and says nothing
        if (n <= 0)
            return false;
        content.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

int OpenRetrying(FileSystem& fs, const char* path, int flags, mode_t mode) {
    int fd = -1;
    do
        fd = fs.Open(path, flags, mode);
    while (fd < 0 && errno == EINTR);
    return fd;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Creates a temporary file beside `path` that no other writer, in this
// process or another, can be using. O_EXCL passes over a name left by a dead
// process that had the same id.
int CreateTemp(FileSystem& fs, const std::string& path, std::string& temp) {
    static std::atomic<unsigned> serial{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = path + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(serial++);
        const int fd = OpenRetrying(fs, temp.c_str(),
                                    O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

std::string Reason(int error) {
    return std::generic_category().message(error);
}

SaveResult Failure(int error) {
    return SaveResult(Reason(error));
}

} // namespace

FileSystem& CurrentFileSystem() {
    return *currentFileSystem.load();
}

void SetFileSystem(FileSystem* fs) {
    currentFileSystem.store(fs != nullptr ? fs : &realFileSystem);
}

SaveResult WriteFileAtomically(const std::string& path, std::string_view content) {
    FileSystem& fs = CurrentFileSystem();
    std::string temp;
    const int fd = CreateTemp(fs, path, temp);
    if (fd < 0)
        return Failure(errno);
    bool ok = WriteAll(fs, fd, content) && fs.Fsync(fd) == 0;
    // The first step to fail says why; tidying up after it may fail for
    // reasons of its own.
    int error = ok ? 0 : errno;
    // The descriptor is gone after close whatever it returns, so it is never
    // closed twice; an error there may be a write that never reached the disk.
    if (fs.Close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && fs.Rename(temp.c_str(), path.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        fs.Unlink(temp.c_str());
        return Failure(error);
    }
    const int dir = OpenRetrying(fs, FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (dir >= 0) {
        fs.Fsync(dir);
        fs.Close(dir);
    }
    return MakeLasting(path);
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

FileRead ReadRegularFileOrWhy(const std::string& path, std::size_t limit, Overlong overlong) {
    FileSystem& fs = CurrentFileSystem();
    const auto unreadable = [](int error) { return FileRead{std::nullopt, Reason(error)}; };
    // Looked at before opening: opening some devices already does something.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? FileRead{} : unreadable(errno);
    if (!S_ISREG(st.st_mode))
        return unreadable(S_ISDIR(st.st_mode) ? EISDIR : ENODEV);
    // O_NONBLOCK: should a FIFO take the file's place in between, open returns
    // at once and fstat turns it away.
    int fd = -1;
    do
        fd = fs.OpenToRead(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return errno == ENOENT ? FileRead{} : unreadable(errno);
    int error = 0;
    std::string read;
    if (::fstat(fd, &st) != 0) {
        error = errno;
    } else if (!S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? EISDIR : ENODEV;
    } else {
        // One byte past the limit tells an overlong file from one that fits.
        const std::size_t want = overlong == Overlong::Missing ? limit + 1 : limit;
        const auto size = static_cast<std::size_t>(std::max<off_t>(st.st_size, 0));
        read.resize(std::min(want, std::max<std::size_t>(size, 1)));
        std::size_t got = 0;
        while (got < want) {
            if (got == read.size())
                read.resize(std::min(want, read.size() * 2));
            const ssize_t n = fs.Read(fd, read.data() + got, read.size() - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                error = errno;
            if (n <= 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        read.resize(got);
        if (error == 0 && overlong == Overlong::Missing && got > limit)
            error = EFBIG;
    }
    ::close(fd);
    if (error != 0)
        return unreadable(error);
    return {std::move(read), {}};
}

} // namespace platform
