// An owner for a Win32 kernel handle, closed with CloseHandle. Calls that fail
// return either null or INVALID_HANDLE_VALUE; neither is ever closed.
#pragma once

#include <windows.h>

#include <memory>

namespace platform {

struct HandleCloser {
    using pointer = HANDLE;
    void operator()(HANDLE h) const {
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }
};
using HandlePtr = std::unique_ptr<void, HandleCloser>;

inline bool Valid(const HandlePtr& h) {
    return h && h.get() != INVALID_HANDLE_VALUE;
}

} // namespace platform
