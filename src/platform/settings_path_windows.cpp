#include "platform/settings_path.h"

#include "platform/utf16_windows.h"

#include <windows.h>

#include <shlobj.h>

namespace platform {

std::string SettingsFilePath() {
    // The roaming application data folder is where Windows keeps what a
    // player chose, and it follows them from machine to machine.
    PWSTR folder = nullptr;
    std::string path;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &folder)))
        path = Narrow(folder);
    CoTaskMemFree(folder);
    return path.empty() ? path : path + "\\Pegdrop\\settings";
}

bool MakeFolderFor(const std::string& file) {
    const std::string::size_type end = file.find_last_of("\\/");
    if (end == std::string::npos)
        return false;
    const std::wstring folder = Widen(file.substr(0, end));
    if (folder.empty())
        return false;
    // Makes the parents too; an existing folder is no failure.
    const int made = SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    if (made != ERROR_SUCCESS && made != ERROR_ALREADY_EXISTS && made != ERROR_FILE_EXISTS)
        return false;
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace platform
