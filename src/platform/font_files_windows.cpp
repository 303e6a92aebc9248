#include "platform/font_files.h"

#include "platform/font_characters.h"
#include "platform/utf16_windows.h"

#include <windows.h>
// After windows.h:
#include <knownfolders.h>
#include <shlobj.h>

#include <SDL_stdinc.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
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

// Windows' own faces for its menus and dialogs, one of which every Windows
// has: text in them when neither Arial nor the shipped Liberation Sans is
// there.
constexpr KnownFace kSystemFaces[] = {
    {"Segoe UI", L"segoeui.ttf", L"segoeuib.ttf"},
    {"Tahoma", L"tahoma.ttf", L"tahomabd.ttf"},
    {"Microsoft Sans Serif", L"micross.ttf", L"micross.ttf"},
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

// Where Windows puts a face installed for one player alone.
std::wstring UserFontsFolder() {
    std::wstring folder;
    const DWORD n = GetEnvironmentVariableW(L"LOCALAPPDATA", nullptr, 0);
    if (n > 1) {
        folder.resize(n);
        folder.resize(GetEnvironmentVariableW(L"LOCALAPPDATA", folder.data(), n));
    } else {
        PWSTR known = nullptr;
        if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &known)))
            folder = known;
        CoTaskMemFree(known);
    }
    return folder.empty() ? folder : folder + L"\\Microsoft\\Windows\\Fonts\\";
}

// Installed faces first, the player's before the system's; the shipped ones
// only stand in.
std::vector<std::wstring> FontFolders() {
    return {UserFontsFolder(), WindowsFontsFolder(), ShippedFontsFolder()};
}

bool IsFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

struct KeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using KeyPtr = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

bool SameText(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() &&
           CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// A face as the system registered it when it was installed, the player's
// own before the machine's: names such as "Arial Bold (TrueType)" or
// "Cambria & Cambria Math (TrueType)", each naming its file, a bare name
// being one in the system's font folder. Wine registers the host's faces so.
bool FindRegistered(const std::string& family, bool bold, FontFile& out) {
    const std::wstring wanted = Widen(family);
    FontFile regular;
    for (const HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        HKEY opened = nullptr;
        if (wanted.empty() ||
            RegOpenKeyExW(root, L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", 0,
                          KEY_READ, &opened) != ERROR_SUCCESS)
            continue;
        const KeyPtr key(opened);
        for (DWORD i = 0;; ++i) {
            wchar_t name[512];
            DWORD nameLength = 512;
            wchar_t data[1024];
            DWORD dataBytes = sizeof data - sizeof(wchar_t);
            DWORD type = 0;
            const LSTATUS status = RegEnumValueW(key.get(), i, name, &nameLength, nullptr, &type,
                                                 reinterpret_cast<BYTE*>(data), &dataBytes);
            if (status == ERROR_NO_MORE_ITEMS)
                break;
            if (status != ERROR_SUCCESS || type != REG_SZ)
                continue;
            data[dataBytes / sizeof(wchar_t)] = L'\0';
            std::wstring file = data;
            if (file.find(L':') == std::wstring::npos && !file.starts_with(L"\\"))
                file = WindowsFontsFolder() + file;
            std::wstring_view faces(name, nameLength);
            faces = faces.substr(0, std::min(faces.size(), faces.rfind(L" (")));
            for (std::size_t at = 0; at <= faces.size();) {
                const std::size_t end = std::min(faces.size(), faces.find(L" & ", at));
                const std::wstring_view face = faces.substr(at, end - at);
                at = end + 3;
                if (face.size() < wanted.size() || !SameText(face.substr(0, wanted.size()), wanted))
                    continue;
                const std::wstring_view style = face.substr(wanted.size());
                const bool isBold = SameText(style, L" Bold");
                if ((!style.empty() && !isBold) || !IsFile(file))
                    continue;
                FontFile found{Narrow(file), Narrow(std::wstring(face.substr(0, wanted.size())))};
                if (isBold == bold) {
                    out = std::move(found);
                    return true;
                }
                if (!isBold && regular.file.empty())
                    regular = std::move(found);
            }
        }
    }
    if (regular.file.empty())
        return false;
    out = std::move(regular);
    return true;
}

// The face's file, bold if asked and there, in the first folder that has it,
// or as the system registered it.
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
    return FindRegistered(face.family, bold, out);
}

struct FindCloser {
    void operator()(HANDLE h) const { FindClose(h); }
};
using FindPtr = std::unique_ptr<void, FindCloser>;

// A face the game does not know by its files, installed by the player or
// the system: as registered, or else its file names start with the family's name without spaces
// ("EggCrate.ttf", "EggCrate Bold.otf"), and SDL_ttf reads that family in
// them. The bold face when asked and there, else the regular one.
bool FindInstalled(const std::string& family, bool bold, FontFile& out) {
    if (FindRegistered(family, bold, out))
        return true;
    std::wstring stem = Widen(family);
    std::erase(stem, L' ');
    const TtfInUse ttf;
    if (stem.empty() || !ttf.Started())
        return false;
    FontFile other;
    for (const std::wstring& folder : {UserFontsFolder(), WindowsFontsFolder()}) {
        WIN32_FIND_DATAW data;
        const HANDLE first = folder.empty() ? INVALID_HANDLE_VALUE
                                            : FindFirstFileW((folder + stem + L"*").c_str(), &data);
        const FindPtr found(first == INVALID_HANDLE_VALUE ? nullptr : first);
        if (!found)
            continue;
        do {
            const std::string file = Narrow(folder + data.cFileName);
            const TtfFontPtr font(TTF_OpenFont(file.c_str(), 12));
            const char* name = font ? TTF_FontFaceFamilyName(font.get()) : nullptr;
            if (name == nullptr || SDL_strcasecmp(name, family.c_str()) != 0)
                continue;
            const char* style = TTF_FontFaceStyleName(font.get());
            const bool isBold = style != nullptr && SDL_strstr(style, "Bold") != nullptr;
            if (isBold == bold) {
                out = {file, name};
                return true;
            }
            if (other.file.empty() && !isBold)
                other = {file, name};
        } while (FindNextFileW(found.get(), &data));
    }
    if (other.file.empty())
        return false;
    out = std::move(other);
    return true;
}

} // namespace

bool MatchFontFile(const std::string& family, bool bold, FontFile& out) {
    for (const KnownFace& face : kFaces)
        if (SDL_strcasecmp(face.family, family.c_str()) == 0 && Find(face, bold, out))
            return true;
    if (FindInstalled(family, bold, out))
        return true;
    // Any other family shows in the first of these there is, as the system's
    // default face would.
    out = {};
    for (const KnownFace* face : {&kFaces[0], &kFaces[1]})
        if (Find(*face, bold, out))
            return false;
    for (const KnownFace& face : kSystemFaces)
        if (Find(face, bold, out))
            return false;
    return false;
}

void StartFontLookups() {} // the shipped faces are looked up by name, in no list

std::string MissingShippedFonts() {
    const std::wstring folder = ShippedFontsFolder();
    const DWORD attributes =
        folder.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return {};
    return folder.empty() ? "fonts\\" : Narrow(folder);
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
