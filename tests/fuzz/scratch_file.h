// A file that each input is written to, so that the real readers, which
// open paths, see it as a data file.
#pragma once

#include "fuzz_check.h"

#include <string>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>

class ScratchFile {
public:
    // In memory, so that no disk makes a run slow; a regular file all the same.
    explicit ScratchFile(const char* name) : fd_(::memfd_create(name, MFD_CLOEXEC)) {
        FUZZ_CHECK(fd_ >= 0);
        path_ = "/proc/self/fd/" + std::to_string(fd_);
    }
    ~ScratchFile() { ::close(fd_); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    // The file now holds exactly these bytes.
    const std::string& Hold(std::string_view bytes) {
        FUZZ_CHECK(::ftruncate(fd_, 0) == 0);
        FUZZ_CHECK(::pwrite(fd_, bytes.data(), bytes.size(), 0) ==
                   static_cast<ssize_t>(bytes.size()));
        return path_;
    }

private:
    std::string path_;
    int fd_ = -1;
};
