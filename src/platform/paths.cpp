#include "platform/paths.h"

namespace platform {

// "/" and "C:\" are roots already; "/home/ann" and "C:\Games" need theirs.
std::string DataPathFor(std::string workingDirectory) {
    if (workingDirectory.empty() || workingDirectory.back() != kPathSeparator)
        workingDirectory += kPathSeparator;
    return workingDirectory;
}

} // namespace platform
