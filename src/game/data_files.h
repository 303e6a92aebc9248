// The data folder's two files, top10.dat and speed.dat: their formats saved
// and read through the platform's whole-file operations, and the game's saves
// of them, each under the file's lock, since other copies of the game may
// share the folder.
#pragma once

#include "platform/clock.h"
#include "platform/files.h"
#include "rules/top10.h"

#include <cstdint>
#include <optional>
#include <string>

namespace pegdrop {

// 300 for a missing, unreadable or damaged file; never blocks on a FIFO or device.
std::int16_t ReadSpeedFile(const std::string& path);
platform::SaveResult WriteSpeedFile(const std::string& path, std::int16_t speed);

// An empty table for a missing or unreadable file or one that is not a
// regular file; never blocks on a FIFO or device.
Top10Table ReadTop10File(const std::string& path);
platform::SaveResult WriteTop10File(const std::string& path, const Top10Table& table);

// How long a save waits for another copy of the game to finish its own save
// of the same file; after that it saves regardless.
inline constexpr std::uint64_t kSaveLockWaitUs = 1'000'000;

// speed.dat at Exit: the last copy to save it wins, whole.
platform::SaveResult SaveSpeedFile(const std::string& path, std::int16_t speed,
                                   platform::Clock& clock);

// What a save of top10.dat came to.
struct Top10Saved {
    Top10Table table; // the table written, or that would have been
    int row = 0;      // the entry's row in it, 1..10; 0 for none
    platform::SaveResult result;
};

// Ranks an entry into top10.dat as the file is when saving, not as it was
// when the game ended, and writes it back, the whole under the file's lock:
// an entry another copy saved while this one asked for a name is kept. With
// no entry the table is written back as it is.
// A file that is there but cannot be read is left as it is and the save
// fails, with the reason it could not be read; the table is then the entry
// alone.
Top10Saved SaveTop10Entry(const std::string& path, const std::optional<Top10Row>& entry,
                          platform::Clock& clock);

} // namespace pegdrop
