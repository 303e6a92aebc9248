#include "platform/number_locale.h"

#include "platform/utf16_windows.h"

#include <windows.h>

namespace platform {

// Windows keeps the player's choice in the region settings, not in the
// environment: "." for German (Germany), U+202F or U+00A0 for French (France).
std::string ThousandsSeparator() {
    wchar_t separator[8] = {};
    const int n = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, separator, 8);
    return n > 1 ? Narrow(std::wstring_view(separator, static_cast<std::size_t>(n - 1))) : "";
}

} // namespace platform
