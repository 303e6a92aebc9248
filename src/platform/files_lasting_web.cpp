#include "platform/files_posix.h"

#include <emscripten.h>

#include <cstdlib>
#include <memory>

namespace platform {
namespace {

// Copies the whole data folder into IndexedDB and waits for the answer: the
// reason it was refused ("QuotaExceededError: ..."), or nothing.
// clang-format off
EM_ASYNC_JS(char*, SyncDataFolderOut, (), {
    const error = await new Promise(done => FS.syncfs(false, done));
    if (!error)
        return 0;
    const text =
        error.message ? (error.name ? error.name + ": " : "") + error.message : String(error);
    return allocateUTF8(text || "the browser's storage refused the data");
});
// clang-format on

struct FreeText {
    void operator()(char* text) const { std::free(text); }
};

} // namespace

SaveResult MakeLasting(const std::string&) {
    const std::unique_ptr<char, FreeText> refused(SyncDataFolderOut());
    if (refused)
        return SaveResult(refused.get());
    return {};
}

} // namespace platform
