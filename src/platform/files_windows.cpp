#include "platform/files_windows.h"

#include "platform/handle_windows.h"
#include "platform/utf16_windows.h"

#include <algorithm>
#include <atomic>
#include <type_traits>
#include <vector>

namespace platform {

// windows.h's own types, which the header spells out, are these.
static_assert(std::is_same_v<HANDLE, void*> && std::is_same_v<BOOL, int> &&
              std::is_same_v<DWORD, unsigned long>);

HANDLE FileSystem::CreateNew(const wchar_t* path) {
    return CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
}
BOOL FileSystem::Write(HANDLE file, const void* data, DWORD size, DWORD* written) {
    return WriteFile(file, data, size, written, nullptr);
}
BOOL FileSystem::Read(HANDLE file, void* data, DWORD size, DWORD* read) {
    return ReadFile(file, data, size, read, nullptr);
}
BOOL FileSystem::Flush(HANDLE file) {
    return FlushFileBuffers(file);
}
BOOL FileSystem::Close(HANDLE file) {
    return CloseHandle(file);
}
BOOL FileSystem::Move(const wchar_t* from, const wchar_t* to) {
    return MoveFileExW(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}
BOOL FileSystem::Delete(const wchar_t* path) {
    return DeleteFileW(path);
}

namespace {

FileSystem realFileSystem;
std::atomic<FileSystem*> currentFileSystem{&realFileSystem};

// "NUL", "CON", "COM1", "C:\games\NUL" and "\\.\pipe\x" all name devices,
// which Windows spells in full as "\\.\NAME". Looked at before opening:
// opening a console or a port already does something.
bool NamesADevice(const std::wstring& path) {
    const DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0)
        return true;
    std::vector<wchar_t> full(n);
    const DWORD got = GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
    if (got == 0 || got >= n)
        return true;
    return std::wstring_view(full.data(), got).starts_with(L"\\\\.\\");
}

// 0, or the error that stopped the writes.
DWORD WriteAll(FileSystem& fs, HANDLE file, std::string_view content) {
    constexpr std::size_t kPiece = 1u << 30;
    while (!content.empty()) {
        DWORD written = 0;
        const auto size = static_cast<DWORD>(std::min(content.size(), kPiece));
        if (!fs.Write(file, content.data(), size, &written))
            return GetLastError();
        if (written == 0)
            return ERROR_WRITE_FAULT; // a write that takes nothing and says nothing
        content.remove_prefix(std::min<std::size_t>(written, content.size()));
    }
    return 0;
}

// Creates a temporary file beside `target` that no other writer, in this
// process or another, can be using; CREATE_NEW passes over a name left by a
// dead process that had the same id.
HANDLE CreateTemp(FileSystem& fs, const std::wstring& target, std::wstring& temp) {
    static std::atomic<unsigned> serial{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = target + L".tmp." + std::to_wstring(GetCurrentProcessId()) + L"." +
               std::to_wstring(serial++);
        const HANDLE file = fs.CreateNew(temp.c_str());
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
            return file;
    }
    return INVALID_HANDLE_VALUE;
}

// Whether a refused move may go through later: a file some program holds
// open is let go, but a folder or a read-only file refuses for good.
bool MayBeHeldOpen(DWORD error, const std::wstring& target) {
    if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION &&
        error != ERROR_LOCK_VIOLATION)
        return false;
    const DWORD attributes = GetFileAttributesW(target.c_str());
    return attributes == INVALID_FILE_ATTRIBUTES ||
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) == 0;
}

// 0, or the error of the last move tried.
DWORD MoveOver(FileSystem& fs, const std::wstring& temp, const std::wstring& target) {
    DWORD pauseMs = 10;
    for (int attempt = 1;; ++attempt) {
        if (fs.Move(temp.c_str(), target.c_str()))
            return 0;
        const DWORD error = GetLastError();
        if (attempt == kMoveAttempts || !MayBeHeldOpen(error, target))
            return error;
        Sleep(pauseMs);
        pauseMs *= 2;
    }
}

// The system's words for an error, in the player's language, without the
// line end FormatMessageW puts after them: "Access is denied."
std::string Reason(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring words = n > 0 && text != nullptr ? std::wstring(text, n) : std::wstring();
    LocalFree(text);
    while (!words.empty() &&
           (words.back() == L'\r' || words.back() == L'\n' || words.back() == L' '))
        words.pop_back();
    const std::string reason = Narrow(words);
    return reason.empty() ? "error " + std::to_string(error) : reason;
}

SaveResult Failure(DWORD error) {
    return SaveResult(Reason(error));
}

} // namespace

FileSystem& CurrentFileSystem() {
    return *currentFileSystem.load();
}

void SetFileSystem(FileSystem* fs) {
    currentFileSystem.store(fs != nullptr ? fs : &realFileSystem);
}

SaveResult WriteFileAtomically(const std::string& path, std::string_view content) {
    FileSystem& fs = CurrentFileSystem();
    const std::wstring target = Widen(path);
    if (target.empty() || NamesADevice(target))
        return Failure(ERROR_INVALID_NAME);
    // A read-only file is one the player means to keep: Windows refuses to
    // move another over it (Wine does not), so no temporary file is written.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        return Failure(ERROR_ACCESS_DENIED);
    std::wstring temp;
    const HANDLE file = CreateTemp(fs, target, temp);
    if (file == INVALID_HANDLE_VALUE)
        return Failure(GetLastError());
    // Older Windows take "NUL.tmp.1.0" for the null device too; nothing was
    // created then, so nothing is deleted.
    if (GetFileType(file) != FILE_TYPE_DISK) {
        fs.Close(file);
        return Failure(ERROR_INVALID_NAME);
    }
    // The first step to fail says why; tidying up after it may fail for
    // reasons of its own.
    DWORD error = WriteAll(fs, file, content);
    if (error == 0 && !fs.Flush(file))
        error = GetLastError();
    // The handle is gone after CloseHandle whatever it returns.
    if (!fs.Close(file) && error == 0)
        error = GetLastError();
    if (error == 0)
        error = MoveOver(fs, temp, target);
    if (error != 0) {
        fs.Delete(temp.c_str());
        return Failure(error);
    }
    return {};
}

FileRead ReadRegularFileOrWhy(const std::string& path, std::size_t limit, Overlong overlong) {
    const auto unreadable = [](DWORD error) { return FileRead{std::nullopt, Reason(error)}; };
    const std::wstring wide = Widen(path);
    if (wide.empty() || NamesADevice(wide))
        return unreadable(ERROR_INVALID_NAME);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileRead{}
                                                                              : unreadable(error);
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return unreadable(ERROR_ACCESS_DENIED); // as opening a folder for reading says
    // Shared with saves and other readers; a file someone holds without
    // sharing it stays theirs.
    const HandlePtr file(CreateFileW(wide.c_str(), GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!Valid(file)) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? FileRead{} : unreadable(error);
    }
    if (GetFileType(file.get()) != FILE_TYPE_DISK)
        return unreadable(ERROR_INVALID_NAME);
    // One byte past the limit tells an overlong file from one that fits.
    const std::size_t want = overlong == Overlong::Missing ? limit + 1 : limit;
    LARGE_INTEGER size{};
    const std::size_t known =
        GetFileSizeEx(file.get(), &size) && size.QuadPart > 0
            ? static_cast<std::size_t>(std::min<LONGLONG>(size.QuadPart, LONGLONG{1} << 40))
            : 0;
    std::string read(std::min(want, std::max<std::size_t>(known, 1)), '\0');
    std::size_t got = 0;
    FileSystem& fs = CurrentFileSystem();
    while (got < want) {
        if (got == read.size())
            read.resize(std::min(want, read.size() * 2));
        DWORD n = 0;
        const auto ask = static_cast<DWORD>(std::min<std::size_t>(read.size() - got, 1u << 30));
        if (!fs.Read(file.get(), read.data() + got, ask, &n))
            return unreadable(GetLastError());
        if (n == 0)
            break;
        got += n;
    }
    read.resize(got);
    if (overlong == Overlong::Missing && got > limit)
        return unreadable(ERROR_FILE_TOO_LARGE);
    return {std::move(read), {}};
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    return ReadRegularFile(path, std::string().max_size());
}

} // namespace platform
