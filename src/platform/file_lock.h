// An advisory lock that copies of the game take on one of their data files
// for the whole of a read-modify-write, so that no copy saves over what
// another has just saved. One implementation per operating system.
#pragma once

#include "platform/clock.h"

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// Held on a file of its own beside the data file, `path` + ".lock": every
// save renames a new file over the data file, so a lock on the data file
// itself would be on a file no longer there. The lock file goes when the lock
// is let go.
class FileLock {
public:
    // Tries for the lock until `waitUs` have passed on `clock`. A lock that
    // cannot be had (another copy keeps it, or the folder cannot hold the
    // lock file) leaves the caller to go on without one.
    FileLock(const std::string& path, Clock& clock, std::uint64_t waitUs);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool Held() const { return held_ != nullptr; }

private:
    struct Handle;
    std::unique_ptr<Handle> held_;
};

} // namespace platform
