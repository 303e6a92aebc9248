// Saving a file whole and reading a bounded regular file: the only file access
// the game makes. One implementation per operating system; the calls a save is
// made of, which tests replace, are in files_posix.h and files_windows.h.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace platform {

// What a save came to: written, or not, and why in the system's words
// ("Permission denied", "Access is denied."), for the player to be told.
class [[nodiscard]] SaveResult {
public:
    SaveResult() = default; // written
    explicit SaveResult(std::string reason) : reason_(std::move(reason)) {}
    explicit operator bool() const { return reason_.empty(); }
    const std::string& Reason() const { return reason_; }

private:
    std::string reason_;
};

// Replaces the file whole or not at all: a temporary file beside it, named
// for this process and call so that no two writers share one, is written,
// flushed to the disk and moved over it. Fails, with the old file as it was
// and no temporary file left, when any step up to the move fails, giving the
// reason that step failed for. What the steps are on each system is told
// beside its calls (files_posix.h, files_windows.h).
SaveResult WriteFileAtomically(const std::string& path, std::string_view content);

std::optional<std::string> ReadWholeFile(const std::string& path);

// What a bounded read does with a file longer than its limit.
enum class Overlong {
    Cut,    // the first `limit` bytes, for formats read from the front
    Missing // nothing, for formats that are useless cut short
};

// What a bounded read found.
struct FileRead {
    // The file's first bytes, up to the limit; nothing when it was not read.
    std::optional<std::string> bytes;
    // Why something that is there could not be read, in the system's words:
    // no permission, a folder or device in its place, a read error half-way,
    // a file held by another program. Empty for a file read and for none.
    std::string unreadable;
};

// A regular file's first bytes, up to `limit`, or why they are not to be had.
// Never blocks on a FIFO or device and never opens one further than to see
// what it is.
FileRead ReadRegularFileOrWhy(const std::string& path, std::size_t limit,
                              Overlong overlong = Overlong::Cut);

// The bytes alone: nothing for a missing or unreadable path.
std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t limit,
                                           Overlong overlong = Overlong::Cut);

} // namespace platform
