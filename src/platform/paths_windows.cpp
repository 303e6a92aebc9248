#include "platform/paths.h"

#include "platform/utf16_windows.h"

#include <windows.h>

#include <cerrno>
#include <vector>

namespace platform {

const char kPathSeparator = '\\';

std::string CurrentDirectory() {
    // The size asked for includes the terminating null; the size returned
    // after a successful copy does not.
    const DWORD n = GetCurrentDirectoryW(0, nullptr);
    if (n > 0) {
        std::vector<wchar_t> buffer(n);
        const DWORD got = GetCurrentDirectoryW(n, buffer.data());
        if (got > 0 && got < n)
            return Narrow(std::wstring_view(buffer.data(), got));
    }
    // The caller names the reason from errno, as after getcwd.
    errno = ENOENT;
    return {};
}

} // namespace platform
