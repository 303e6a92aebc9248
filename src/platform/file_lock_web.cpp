#include "platform/file_lock.h"

#include <emscripten.h>

namespace platform {

struct FileLock::Handle {
    int id = 0;
};

namespace {

// A lock of the Web Locks API, which every tab of the page on this origin
// shares, held until LetLockGo; 0 when it was not had within `waitMs` or the
// browser has no such locks. Once had, the data folder is read again from
// IndexedDB: another tab may have saved while this one waited.
// clang-format off
EM_ASYNC_JS(int, TakeLock, (const char* name, double waitMs), {
    if (!navigator.locks)
        return 0;
    Module.pegdropLocks = Module.pegdropLocks || new Map();
    const id = Module.pegdropNextLock = (Module.pegdropNextLock || 0) + 1;
    const abort = new AbortController();
    const timer = setTimeout(() => abort.abort(), waitMs);
    const held = await new Promise(taken => {
        navigator.locks.request(UTF8ToString(name), {signal: abort.signal}, () => {
            clearTimeout(timer);
            taken(true);
            return new Promise(release => Module.pegdropLocks.set(id, release));
        }).catch(() => taken(false));
    });
    if (!held)
        return 0;
    await new Promise(done => FS.syncfs(true, done));
    return id;
});

EM_JS(void, LetLockGo, (int id), {
    const release = Module.pegdropLocks.get(id);
    Module.pegdropLocks.delete(id);
    release();
});
// clang-format on

} // namespace

// The clock does not come into it: the browser keeps the time of the wait.
FileLock::FileLock(const std::string& path, Clock&, std::uint64_t waitUs) {
    const std::string name = "pegdrop " + path;
    if (const int id = TakeLock(name.c_str(), static_cast<double>(waitUs) / 1000.0); id != 0)
        held_ = std::make_unique<Handle>(Handle{id});
}

FileLock::~FileLock() {
    if (held_)
        LetLockGo(held_->id);
}

} // namespace platform
