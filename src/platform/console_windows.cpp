#include "platform/console.h"

#include <windows.h>

#include <cstdio>

namespace platform {
namespace {

bool LeadsSomewhere(DWORD which) {
    const HANDLE h = GetStdHandle(which);
    return h != nullptr && h != INVALID_HANDLE_VALUE;
}

} // namespace

void UseStartingConsole() {
    const bool out = LeadsSomewhere(STD_OUTPUT_HANDLE);
    const bool err = LeadsSomewhere(STD_ERROR_HANDLE);
    if ((out && err) || !AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    if (!out)
        std::freopen("CONOUT$", "w", stdout);
    if (!err)
        std::freopen("CONOUT$", "w", stderr);
}

} // namespace platform
