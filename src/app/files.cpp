#include "app/files.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace pegdrop {

std::string DataPathFor(std::string workingDirectory) {
    if (workingDirectory.empty() || workingDirectory.back() != '/')
        workingDirectory += '/';
    return workingDirectory;
}

std::string CurrentDirectory() {
    std::vector<char> buffer(PATH_MAX + 1);
    if (::getcwd(buffer.data(), buffer.size()) == nullptr)
        return {};
    return buffer.data();
}

namespace {

bool WriteAll(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t n = ::write(fd, content.data(), content.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        content.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

bool WriteFileAtomically(const std::string& path, std::string_view content) {
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return false;
    bool ok = ::fchmod(fd, 0644) == 0 && WriteAll(fd, content) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok)
        ok = ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    const int dir = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t limit,
                                           Overlong overlong) {
    // Looked at before opening: opening some devices already does something.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    // O_NONBLOCK: should a FIFO take the file's place in between, open returns
    // at once and fstat turns it away.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::optional<std::string> bytes;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        // One byte past the limit tells an overlong file from one that fits.
        const std::size_t want = overlong == Overlong::Missing ? limit + 1 : limit;
        const auto size = static_cast<std::size_t>(std::max<off_t>(st.st_size, 0));
        std::string read(std::min(want, std::max<std::size_t>(size, 1)), '\0');
        std::size_t got = 0;
        bool failed = false;
        while (got < want) {
            if (got == read.size())
                read.resize(std::min(want, read.size() * 2));
            const ssize_t n = ::read(fd, read.data() + got, read.size() - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                failed = true;
            if (n <= 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        read.resize(got);
        if (!failed && !(overlong == Overlong::Missing && got > limit))
            bytes = std::move(read);
    }
    ::close(fd);
    return bytes;
}

std::int16_t ParseSpeed(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    if (i >= text.size() || text[i] < '0' || text[i] > '9')
        return kDefaultSpeed;
    long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > 32768)
            return kDefaultSpeed;
    }
    value = negative ? -value : value;
    // The game only ever writes speeds it accepts; anything else would make a
    // fall take minutes or no time at all.
    if (value < kMinSpeed || value > kMaxSpeed)
        return kDefaultSpeed;
    return static_cast<std::int16_t>(value);
}

std::string FormatSpeed(std::int16_t speed) {
    return std::to_string(speed) + "\r\n";
}

std::int16_t ReadSpeedFile(const std::string& path) {
    const auto text = ReadRegularFile(path, kSpeedReadLimit);
    return text ? ParseSpeed(*text) : kDefaultSpeed;
}

bool WriteSpeedFile(const std::string& path, std::int16_t speed) {
    return WriteFileAtomically(path, FormatSpeed(speed));
}

} // namespace pegdrop
