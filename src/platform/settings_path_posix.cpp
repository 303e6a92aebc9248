#include "platform/settings_path.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

const char* const kSettingsFileWords =
    "$XDG_CONFIG_HOME/pegdrop/settings\n(~/.config/pegdrop/settings)";
namespace {

std::string Home() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/')
        return home;
    // A session started without HOME still has an account.
    if (const passwd* account = ::getpwuid(::getuid());
        account != nullptr && account->pw_dir != nullptr && account->pw_dir[0] == '/')
        return account->pw_dir;
    return {};
}

} // namespace

std::string SettingsFilePath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string folder;
    if (config != nullptr && config[0] == '/')
        folder = config;
    else if (const std::string home = Home(); !home.empty())
        folder = home + "/.config";
    else
        return {};
    return folder + "/pegdrop/settings";
}

bool MakeFolderFor(const std::string& file) {
    const std::string::size_type end = file.rfind('/');
    if (end == std::string::npos || end == 0)
        return end == 0;
    const std::string folder = file.substr(0, end);
    for (std::string::size_type at = folder.find('/', 1);; at = folder.find('/', at + 1)) {
        const std::string part = folder.substr(0, at);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (at == std::string::npos)
            break;
    }
    struct stat info {};
    return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace platform
