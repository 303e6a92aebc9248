#include "platform/paths.h"

#include <climits>
#include <unistd.h>
#include <vector>

namespace platform {

const char kPathSeparator = '/';

std::string CurrentDirectory() {
    std::vector<char> buffer(PATH_MAX + 1);
    if (::getcwd(buffer.data(), buffer.size()) == nullptr)
        return {};
    return buffer.data();
}

} // namespace platform
