// Keeps what libraries print on stderr off the player's terminal for a while.
#pragma once

namespace platform {

// While it lives, stderr goes to the null device. For probes of devices and
// displays whose libraries explain every failed guess; the program says what
// matters in one line of its own afterwards.
class QuietStderr {
public:
    QuietStderr();
    ~QuietStderr();
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

private:
    int saved_;
};

} // namespace platform
