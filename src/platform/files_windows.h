// The Win32 calls a save is made of, for tests that fail them. A save is: a
// temporary file created beside the target, written, flushed with
// FlushFileBuffers, closed and moved over the target with MoveFileExW, whose
// MOVEFILE_WRITE_THROUGH also puts the folder's new entry on the disk before it
// returns. A file another program holds open cannot be replaced (the move
// fails with ERROR_ACCESS_DENIED or ERROR_SHARING_VIOLATION, even when it was
// opened with delete sharing), so the move is tried a few times over about a
// sixth of a second before the old file is kept.
#pragma once

#include "platform/files.h"

namespace platform {

// One member a step, each returning as the Win32 call does: a failure leaves
// its reason in GetLastError. The types are windows.h's HANDLE (void*), BOOL
// (int) and DWORD (unsigned long), spelt out so that tests need not take in
// windows.h's macros with this header. The base class makes the real calls.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // CreateFileW for writing a new file, shared with no one: fails, giving
    // INVALID_HANDLE_VALUE, when the name is taken.
    virtual void* CreateNew(const wchar_t* path);
    virtual int Write(void* file, const void* data, unsigned long size, unsigned long* written);
    virtual int Flush(void* file);
    // ReadFile, the one call of a read a test may fail.
    virtual int Read(void* file, void* data, unsigned long size, unsigned long* read);
    virtual int Close(void* file);
    // MoveFileExW replacing `to`, written through.
    virtual int Move(const wchar_t* from, const wchar_t* to);
    virtual int Delete(const wchar_t* path);
};

// The file system saves go through; the real one unless a test set another.
FileSystem& CurrentFileSystem();
// nullptr puts the real one back. The caller keeps `fs` alive while it is set.
void SetFileSystem(FileSystem* fs);

// Times the move over the target is tried before a save gives up.
inline constexpr int kMoveAttempts = 5;

} // namespace platform
