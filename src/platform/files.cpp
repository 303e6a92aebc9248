#include "platform/files.h"

namespace platform {

std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t limit,
                                           Overlong overlong) {
    return ReadRegularFileOrWhy(path, limit, overlong).bytes;
}

} // namespace platform
