#include "game/data_files.h"

#include "platform/file_lock.h"
#include "rules/speed_setting.h"

namespace pegdrop {

std::int16_t ReadSpeedFile(const std::string& path) {
    const auto text = platform::ReadRegularFile(path, kSpeedReadLimit);
    return text ? ParseSpeed(*text) : kDefaultSpeed;
}

platform::SaveResult WriteSpeedFile(const std::string& path, std::int16_t speed) {
    return platform::WriteFileAtomically(path, FormatSpeed(speed));
}

Top10Table ReadTop10File(const std::string& path) {
    const auto bytes = platform::ReadRegularFile(path, kTop10ReadLimit);
    return bytes ? ParseTop10(*bytes) : Top10Table{};
}

platform::SaveResult WriteTop10File(const std::string& path, const Top10Table& table) {
    return platform::WriteFileAtomically(path, FormatTop10(table));
}

platform::SaveResult SaveSpeedFile(const std::string& path, std::int16_t speed,
                                   platform::Clock& clock) {
    const platform::FileLock lock(path, clock, kSaveLockWaitUs);
    return WriteSpeedFile(path, speed);
}

Top10Saved SaveTop10Entry(const std::string& path, const std::optional<Top10Row>& entry,
                          platform::Clock& clock) {
    const platform::FileLock lock(path, clock, kSaveLockWaitUs);
    Top10Saved saved;
    const platform::FileRead read = platform::ReadRegularFileOrWhy(path, kTop10ReadLimit);
    if (read.bytes)
        saved.table = ParseTop10(*read.bytes);
    if (entry) {
        saved.row = Top10RowFor(saved.table, entry->score);
        InsertTop10Row(saved.table, saved.row, entry->name, entry->score);
    }
    // A file that is there but would not be read may hold a whole table: it
    // is never replaced by what little was read of it.
    saved.result = read.unreadable.empty() ? WriteTop10File(path, saved.table)
                                           : platform::SaveResult(read.unreadable);
    return saved;
}

} // namespace pegdrop
