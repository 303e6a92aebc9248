#include "app/files.h"

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
    if (value < INT16_MIN || value > INT16_MAX)
        return kDefaultSpeed;
    return static_cast<std::int16_t>(value);
}

std::string FormatSpeed(std::int16_t speed) {
    return std::to_string(speed) + "\r\n";
}

std::int16_t ReadSpeedFile(const std::string& path) {
    const auto text = ReadWholeFile(path);
    return text ? ParseSpeed(*text) : kDefaultSpeed;
}

bool WriteSpeedFile(const std::string& path, std::int16_t speed) {
    return WriteFileAtomically(path, FormatSpeed(speed));
}

} // namespace pegdrop
