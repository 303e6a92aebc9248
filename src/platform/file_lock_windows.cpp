#include "platform/file_lock.h"

#include "platform/handle_windows.h"
#include "platform/utf16_windows.h"

#include <windows.h>

#include <algorithm>

namespace platform {

struct FileLock::Handle {
    HandlePtr file;
};

namespace {

// How often a busy lock is tried again.
constexpr std::uint64_t kRetryUs = 10'000;

// Opened by every copy with full sharing, so that each can lock it, and
// deleted when the last handle to it closes, however its process ended.
// Until then its name stays taken: a copy that opens it anew waits for the
// holder, never finds a second lock file beside the first.
HANDLE OpenLockFile(const std::wstring& path) {
    return CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

// The lock a copy holds, the whole file exclusively.
bool Lock(HANDLE file) {
    OVERLAPPED whole{};
    return LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                      MAXDWORD, &whole);
}

// Waits a retry's time, or false when the deadline has passed.
bool WaitAgain(Clock& clock, std::uint64_t deadline) {
    const std::uint64_t now = clock.NowUs();
    if (now >= deadline)
        return false;
    clock.SleepUntilUs(std::min(now + kRetryUs, deadline));
    return true;
}

} // namespace

FileLock::FileLock(const std::string& path, Clock& clock, std::uint64_t waitUs) {
    const std::wstring lockPath = Widen(path + ".lock");
    if (lockPath.empty())
        return;
    const std::uint64_t deadline = clock.NowUs() + waitUs;
    HandlePtr file;
    // A lock file the last holder has let go of but another copy still has
    // open cannot be opened again ("delete pending") until that copy closes it.
    for (;;) {
        file.reset(OpenLockFile(lockPath));
        if (Valid(file))
            break;
        if (GetLastError() != ERROR_ACCESS_DENIED || !WaitAgain(clock, deadline))
            return;
    }
    for (;;) {
        if (Lock(file.get())) {
            held_ = std::make_unique<Handle>(Handle{std::move(file)});
            return;
        }
        if (GetLastError() != ERROR_LOCK_VIOLATION || !WaitAgain(clock, deadline))
            return;
    }
}

// Closing the handle lets the lock go, and with the last handle the file.
FileLock::~FileLock() = default;

} // namespace platform
