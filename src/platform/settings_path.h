// Where the player's settings are kept: outside the data folder, since they
// belong to the player rather than to one game folder.
#pragma once

#include <string>

namespace platform {

// $XDG_CONFIG_HOME/pegdrop/settings, or ~/.config/pegdrop/settings when that
// is unset or not an absolute path; "" when no home can be told.
std::string SettingsFilePath();

// Where the settings file is, as the player would look for it, for --help.
extern const char* const kSettingsFileWords;

// Makes the folder a settings file goes in, with its parents; false when it
// is not there afterwards.
bool MakeFolderFor(const std::string& file);

} // namespace platform
