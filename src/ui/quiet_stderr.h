// Keeps what libraries print on stderr off the player's terminal for a while.
#pragma once

#include <fcntl.h>
#include <unistd.h>

namespace ui {

// While it lives, stderr goes to /dev/null. For probes of devices and displays
// whose libraries explain every failed guess; the program says what matters
// in one line of its own afterwards.
class QuietStderr {
public:
    QuietStderr() : saved_(::dup(STDERR_FILENO)) {
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ >= 0 && null >= 0)
            ::dup2(null, STDERR_FILENO);
        if (null >= 0)
            ::close(null);
    }
    ~QuietStderr() {
        if (saved_ >= 0) {
            ::dup2(saved_, STDERR_FILENO);
            ::close(saved_);
        }
    }
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

private:
    int saved_;
};

} // namespace ui
