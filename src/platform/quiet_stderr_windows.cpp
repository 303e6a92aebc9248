#include "platform/quiet_stderr.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>

namespace platform {

// A program without a console may have no stderr at all: then there is
// nothing to quiet, and nothing to put back.
QuietStderr::QuietStderr() : saved_(::_dup(2)) {
    std::fflush(stderr);
    const int null = ::_open("NUL", _O_WRONLY);
    if (saved_ >= 0 && null >= 0)
        ::_dup2(null, 2);
    if (null >= 0)
        ::_close(null);
}

QuietStderr::~QuietStderr() {
    if (saved_ >= 0) {
        std::fflush(stderr);
        ::_dup2(saved_, 2);
        ::_close(saved_);
    }
}

} // namespace platform
