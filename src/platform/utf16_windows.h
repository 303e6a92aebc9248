// Paths are UTF-8 in the game and UTF-16 at every Win32 call; these convert
// between the two without the C runtime, whose narrow calls use the ANSI code
// page.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Empty when `utf8` is empty or not valid UTF-8: a path spelt wrongly must not
// turn into a different, valid one.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

} // namespace platform
