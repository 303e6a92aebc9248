// The POSIX calls a save is made of, for tests that fail or interrupt them.
// A save is: a temporary file created beside the target, written, fsynced,
// closed and renamed over it, then the folder fsynced; once renamed the file
// counts as written, even if the folder cannot be synced (some file systems
// refuse that).
#pragma once

#include "platform/files.h"

#include <cstddef>
#include <sys/types.h>

namespace platform {

// The system calls a save is made of, one member each, returning as the call
// does (-1 and errno on failure). The base class makes the real calls; tests
// put in one that fails a chosen step or stops the process there.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual int Open(const char* path, int flags, mode_t mode);
    // A read's own calls, apart from a save's so that a test counting a
    // save's steps counts no read among them.
    virtual int OpenToRead(const char* path, int flags);
    virtual ssize_t Read(int fd, void* data, std::size_t size);
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

// The save's last step, after the folder's sync: nothing more on Linux
// (files_lasting_posix.cpp); in the browser the data folder is copied into
// IndexedDB, and the save is done only when that has finished
// (files_lasting_web.cpp).
SaveResult MakeLasting(const std::string& path);

} // namespace platform
