// Saving a file whole and reading a bounded regular file: the only file access
// the game makes. One implementation per operating system; the calls a save is
// made of, which tests replace, are in files_posix.h and files_windows.h.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Replaces the file whole or not at all: a temporary file beside it, named
// for this process and call so that no two writers share one, is written,
// flushed to the disk and moved over it. False, with the old file as it was
// and no temporary file left, when any step up to the move fails. What the
// steps are on each system is told beside its calls (files_posix.h,
// files_windows.h).
bool WriteFileAtomically(const std::string& path, std::string_view content);

std::optional<std::string> ReadWholeFile(const std::string& path);

// What a bounded read does with a file longer than its limit.
enum class Overlong {
    Cut,    // the first `limit` bytes, for formats read from the front
    Missing // nothing, for formats that are useless cut short
};

// A regular file's first bytes, up to `limit`; nothing for a missing or
// unreadable path or one that is not a regular file. Never blocks on a FIFO
// or device and never opens one further than to see what it is.
std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t limit,
                                           Overlong overlong = Overlong::Cut);

} // namespace platform
