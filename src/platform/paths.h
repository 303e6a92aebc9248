// Where the game's files are: the folder it was started in, spelt the way the
// operating system spells folders.
#pragma once

#include <string>

namespace platform {

// What ends a folder's name in a path.
extern const char kPathSeparator;

// The data folder for a working directory: always ends in the separator, and
// a root stays itself ("/" stays "/").
std::string DataPathFor(std::string workingDirectory);

// The process's working directory, or "" when it cannot be had.
std::string CurrentDirectory();

} // namespace platform
