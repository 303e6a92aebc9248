#include "platform/number_locale.h"

#include <algorithm>
#include <langinfo.h>
#include <locale.h>
#include <string_view>

namespace platform {

std::string ThousandsSeparator() {
    // A locale object of its own, not setlocale: the rest of the program goes
    // on reading and writing numbers in the C locale.
    const locale_t numbers =
        ::newlocale(LC_NUMERIC_MASK | LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
    if (numbers == static_cast<locale_t>(nullptr))
        return {};
    std::string separator = ::nl_langinfo_l(THOUSEP, numbers);
    // Beyond ASCII, a separator in a character set other than UTF-8 is not
    // one the windows can draw.
    const bool ascii = std::all_of(separator.begin(), separator.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (!ascii && std::string_view(::nl_langinfo_l(CODESET, numbers)) != "UTF-8")
        separator.clear();
    ::freelocale(numbers);
    return separator;
}

} // namespace platform
