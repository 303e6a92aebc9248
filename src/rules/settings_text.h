// The player's settings as text: one "key=value" a line. Keys this version
// does not know are kept, so that an older game leaves a newer one's alone.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace pegdrop {

using Settings = std::map<std::string, std::string, std::less<>>;

// The most of a settings file that is read.
inline constexpr std::size_t kSettingsReadLimit = 64 * 1024;

// Lines without '=' and blank keys are skipped; spaces around key and value
// and a CR before the line's end are dropped; a later line wins.
Settings ParseSettings(std::string_view text);
std::string FormatSettings(const Settings& settings);

} // namespace pegdrop
