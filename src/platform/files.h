// Saving a file whole and reading a bounded regular file: the only file access
// the game makes. One implementation per operating system.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace platform {

// The system calls a save is made of, one member each, returning as the call
// does (-1 and errno on failure). The base class makes the real calls; tests
// put in one that fails a chosen step or stops the process there.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual int Open(const char* path, int flags, mode_t mode);
    virtual ssize_t Write(int fd, const void* data, std::size_t size);
    virtual int Fsync(int fd);
    virtual int Close(int fd);
    virtual int Rename(const char* from, const char* to);
    virtual int Unlink(const char* path);
};

// The file system saves go through; the real one unless a test set another.
FileSystem& CurrentFileSystem();
// nullptr puts the real one back. The caller keeps `fs` alive while it is set.
void SetFileSystem(FileSystem* fs);

// Replaces the file whole or not at all: a temporary file beside it, named
// for this process and call so that no two writers share one, is written,
// synced and renamed over it, then the folder is synced. False, with the old
// file as it was and no temporary file left, when any step up to the rename
// fails; once renamed the file counts as written, even if the folder cannot
// be synced (some file systems refuse that).
bool WriteFileAtomically(const std::string& path, std::string_view content);

std::optional<std::string> ReadWholeFile(const std::string& path);

// What a bounded read does with a file longer than its limit.
enum class Overlong {
    Cut,    // the first `limit` bytes, for formats read from the front
    Missing // nothing, for formats that are useless cut short
};

// A regular file's first bytes, up to `limit`; nothing for a missing or
// unreadable path or one that is not a regular file. Never blocks on a FIFO
// or device and never opens one further than to see what it is.
std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t limit,
                                           Overlong overlong = Overlong::Cut);

} // namespace platform
