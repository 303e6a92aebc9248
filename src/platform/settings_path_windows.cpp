#include "platform/settings_path.h"

#include "platform/utf16_windows.h"

#include <windows.h>

#include <shlobj.h>

namespace platform {

const char* const kSettingsFileWords = "%APPDATA%\\Pegdrop\\settings";
namespace {

// A whole path: from a drive's root ("C:\...") or a share ("\\server\...").
bool Absolute(const std::wstring& path) {
    return (path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/')) ||
           path.starts_with(L"\\\\");
}

} // namespace

std::string SettingsFilePath() {
    // The roaming application data folder is where Windows keeps what a
    // player chose, and it follows them from machine to machine. Windows
    // names it in APPDATA for every program, as XDG_CONFIG_HOME may on Linux;
    // where that is not a whole path the known folder is asked for.
    std::wstring folder;
    if (const DWORD n = GetEnvironmentVariableW(L"APPDATA", nullptr, 0); n > 1) {
        folder.resize(n);
        folder.resize(GetEnvironmentVariableW(L"APPDATA", folder.data(), n));
    }
    if (!Absolute(folder)) {
        PWSTR known = nullptr;
        folder = SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &known))
                     ? std::wstring(known)
                     : std::wstring();
        CoTaskMemFree(known);
    }
    const std::string path = Narrow(folder);
    return path.empty() ? path : path + "\\Pegdrop\\settings";
}

bool MakeFolderFor(const std::string& file) {
    const std::string::size_type end = file.find_last_of("\\/");
    if (end == std::string::npos)
        return false;
    std::wstring folder = Widen(file.substr(0, end));
    if (folder.empty())
        return false;
    // The shell's folder maker takes backslashes only.
    for (wchar_t& c : folder)
        if (c == L'/')
            c = L'\\';
    // Makes the parents too; an existing folder is no failure.
    const int made = SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    if (made != ERROR_SUCCESS && made != ERROR_ALREADY_EXISTS && made != ERROR_FILE_EXISTS)
        return false;
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace platform
