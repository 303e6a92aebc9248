// Where a program's answers to --help and --version go.
#pragma once

namespace platform {

// Sends stdout and stderr to the console the program was started from, when
// they lead nowhere: a Windows program without a console window of its own
// starts with neither, even when run from a command prompt. Where they lead
// somewhere already (a terminal, a file, a pipe) they stay.
void UseStartingConsole();

} // namespace platform
