#include "platform/console.h"

namespace platform {

// A POSIX program inherits its terminal, or whatever its caller gave it.
void UseStartingConsole() {}

} // namespace platform
