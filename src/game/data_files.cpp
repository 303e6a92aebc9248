#include "game/data_files.h"

#include "platform/files.h"
#include "rules/speed_setting.h"

namespace pegdrop {

std::int16_t ReadSpeedFile(const std::string& path) {
    const auto text = platform::ReadRegularFile(path, kSpeedReadLimit);
    return text ? ParseSpeed(*text) : kDefaultSpeed;
}

bool WriteSpeedFile(const std::string& path, std::int16_t speed) {
    return platform::WriteFileAtomically(path, FormatSpeed(speed));
}

Top10Table ReadTop10File(const std::string& path) {
    const auto bytes = platform::ReadRegularFile(path, kTop10ReadLimit);
    return bytes ? ParseTop10(*bytes) : Top10Table{};
}

bool WriteTop10File(const std::string& path, const Top10Table& table) {
    return platform::WriteFileAtomically(path, FormatTop10(table));
}

} // namespace pegdrop
