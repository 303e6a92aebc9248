// How the player's locale writes numbers. One implementation per operating
// system.
#pragma once

#include <string>

namespace platform {

// The thousands separator of the locale the environment names for numbers
// (LC_ALL, LC_NUMERIC, LANG), as UTF-8: "." for de_DE.UTF-8; "" for a locale
// without one (C, POSIX, C.UTF-8) or one the system does not have. The
// program's own locale is left as it is. On Windows, the one the player's
// region settings name.
std::string ThousandsSeparator();

} // namespace platform
