#include "platform/font_files.h"

#include "platform/font_characters.h"
#include "platform/utf16_windows.h"

#include <windows.h>
// After windows.h:
#include <knownfolders.h>
#include <shlobj.h>

#include <SDL_stdinc.h>

#include <vector>

namespace platform {
namespace {

// The faces the game shows, by their files: Arial from Windows, and the two it
// ships in fonts\ beside the executable, for the scoreboard's LED digits and
// for a Windows without Arial (Wine has none).
struct KnownFace {
    const char* family;
    const wchar_t* regular;
    const wchar_t* bold;
};
constexpr KnownFace kFaces[] = {
    {"Arial", L"arial.ttf", L"arialbd.ttf"},
    {"Liberation Sans", L"LiberationSans-Regular.ttf", L"LiberationSans-Bold.ttf"},
    {"DSEG7 Classic", L"DSEG7Classic-Regular.ttf", L"DSEG7Classic-Bold.ttf"},
};

// Windows draws what a face lacks in faces of its own, one for each group of
// scripts, as Windows 10 and 11 have them; the shipped Liberation Sans comes
// last (Latin, Greek and Cyrillic, for a Windows without them). The first
// that is there and has the character serves, whatever face was asked for.
constexpr KnownFace kFallbackFaces[] = {
    {"Segoe UI", L"segoeui.ttf", L"segoeuib.ttf"},
    {"Segoe UI Symbol", L"seguisym.ttf", L"seguisym.ttf"},
    {"Microsoft YaHei", L"msyh.ttc", L"msyhbd.ttc"},
    {"Yu Gothic", L"YuGothR.ttc", L"YuGothB.ttc"},
    {"Malgun Gothic", L"malgun.ttf", L"malgunbd.ttf"},
    {"Nirmala UI", L"Nirmala.ttf", L"NirmalaB.ttf"},
    {"Leelawadee UI", L"LeelawUI.ttf", L"LeelaUIb.ttf"},
    {"Ebrima", L"ebrima.ttf", L"ebrimabd.ttf"},
    {"Microsoft Himalaya", L"himalaya.ttf", L"himalaya.ttf"},
    {"Myanmar Text", L"mmrtext.ttf", L"mmrtextb.ttf"},
    {"Segoe UI Emoji", L"seguiemj.ttf", L"seguiemj.ttf"},
    {"Liberation Sans", L"LiberationSans-Regular.ttf", L"LiberationSans-Bold.ttf"},
};

std::wstring WindowsFontsFolder() {
    std::wstring folder;
    PWSTR known = nullptr;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Fonts, 0, nullptr, &known)))
        folder = known;
    CoTaskMemFree(known);
    if (!folder.empty())
        return folder + L"\\";
    wchar_t windows[MAX_PATH];
    const UINT n = GetSystemWindowsDirectoryW(windows, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(windows, n) + L"\\Fonts\\" : std::wstring();
}

std::wstring ShippedFontsFolder() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return {};
        if (n < path.size()) {
            const std::wstring exe(path.data(), n);
            return exe.substr(0, exe.find_last_of(L"\\/") + 1) + L"fonts\\";
        }
        path.resize(path.size() * 2);
    }
}

const std::vector<std::wstring>& FontFolders() {
    static const std::vector<std::wstring> folders = {WindowsFontsFolder(), ShippedFontsFolder()};
    return folders;
}

bool IsFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The face's file, bold if asked and there, in the first folder that has it.
bool Find(const KnownFace& face, bool bold, FontFile& out) {
    for (const wchar_t* name : {bold ? face.bold : face.regular, face.regular}) {
        for (const std::wstring& folder : FontFolders()) {
            if (folder.empty() || !IsFile(folder + name))
                continue;
            out.file = Narrow(folder + name);
            out.family = face.family;
            return true;
        }
    }
    return false;
}

} // namespace

bool MatchFontFile(const std::string& family, bool bold, FontFile& out) {
    for (const KnownFace& face : kFaces)
        if (SDL_strcasecmp(face.family, family.c_str()) == 0 && Find(face, bold, out))
            return true;
    // Any other family shows in the first of these there is, as the system's
    // default face would.
    out = {};
    for (const KnownFace* face : {&kFaces[0], &kFaces[1]})
        if (Find(*face, bold, out))
            return false;
    return false;
}

bool FontFileWithCharacter(char32_t codePoint, const std::string&, FontFile& out) {
    for (const KnownFace& face : kFallbackFaces) {
        FontFile found;
        if (Find(face, false, found) && FontFileHasCharacter(found.file, codePoint)) {
            out = std::move(found);
            return true;
        }
    }
    return false;
}

} // namespace platform
