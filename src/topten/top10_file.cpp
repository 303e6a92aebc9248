#include "topten/top10_file.h"

#include "app/files.h"
#include "board/rules.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace pegdrop {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// A score field ends at a comma; anything but a whole number that fits 32 bits
// counts as 0.
std::int32_t ParseScore(std::string_view field) {
    field = field.substr(0, field.find(','));
    const auto first = field.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return 0;
    field = field.substr(first, field.find_last_not_of(" \t") - first + 1);
    std::int32_t score = 0;
    const char* end = field.data() + field.size();
    const auto [last, ec] = std::from_chars(field.data(), end, score);
    return ec == std::errc() && last == end ? score : 0;
}

// Names are written verbatim, quotes and all, and the score never holds a
// quote, so the writer's closing quote is the line's last `",`.
Top10Row ParseRecord(std::string_view line) {
    if (!line.starts_with('"')) {
        const auto comma = line.find(',');
        if (comma == std::string_view::npos)
            return {std::string(line), 0};
        return {std::string(line.substr(0, comma)), ParseScore(line.substr(comma + 1))};
    }
    const auto close = line.rfind("\",");
    if (close != std::string_view::npos && close > 0)
        return {std::string(line.substr(1, close - 1)), ParseScore(line.substr(close + 2))};
    // No score: the name runs to its closing quote, or to the line end without one.
    const auto quote = line.rfind('"');
    return {std::string(line.substr(1, quote > 0 ? quote - 1 : std::string_view::npos)), 0};
}

// Stops at the limit or once ten lines are in, so a huge file costs no more
// than the table it can hold.
std::optional<std::string> ReadRecordBytes(int fd) {
    std::string bytes;
    std::string chunk(64 * 1024, '\0');
    std::size_t lineEnds = 0;
    while (bytes.size() < kTop10ReadLimit && lineEnds < 10) {
        const std::size_t want = std::min(chunk.size(), kTop10ReadLimit - bytes.size());
        const ssize_t n = ::read(fd, chunk.data(), want);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        const auto got = chunk.begin() + n;
        lineEnds += static_cast<std::size_t>(std::count(chunk.begin(), got, '\n'));
        bytes.append(chunk.begin(), got);
    }
    return bytes;
}

// Opens only regular files: a FIFO or a device at the path must not hang or
// disturb the game.
std::optional<std::string> ReadTop10Bytes(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::optional<std::string> bytes;
    // Checked again on the open file: the path may have changed in between.
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        bytes = ReadRecordBytes(fd);
    ::close(fd);
    return bytes;
}

// The length of the well-formed UTF-8 sequence at s[i], or minus the length of
// its longest ill-formed start, which one U+FFFD stands for.
int Utf8SequenceAt(std::string_view s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80)
        return 1;
    int length = 0;
    unsigned char low = 0x80, high = 0xBF; // the second byte's range
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : low;   // no overlong forms
        high = lead == 0xED ? 0x9F : high; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : low;
        high = lead == 0xF4 ? 0x8F : high; // nothing above U+10FFFF
    } else {
        return -1;
    }
    for (int k = 1; k < length; ++k) {
        const std::size_t at = i + static_cast<std::size_t>(k);
        if (at >= s.size() || byte(at) < low || byte(at) > high)
            return -k;
        low = 0x80;
        high = 0xBF;
    }
    return length;
}

} // namespace

Top10Table ParseTop10(std::string_view bytes) {
    if (bytes.starts_with(kByteOrderMark))
        bytes.remove_prefix(kByteOrderMark.size());
    Top10Table table;
    for (Top10Row& row : table) {
        if (bytes.empty())
            break;
        const auto lf = bytes.find('\n');
        std::string_view line = bytes.substr(0, lf);
        bytes.remove_prefix(lf == std::string_view::npos ? bytes.size() : lf + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        row = ParseRecord(line);
    }
    return table;
}

std::string FormatTop10(const Top10Table& table) {
    std::string text;
    for (const Top10Row& row : table)
        text += '"' + row.name + "\"," + std::to_string(row.score) + "\r\n";
    return text;
}

Top10Table ReadTop10File(const std::string& path) {
    const std::optional<std::string> bytes = ReadTop10Bytes(path);
    return bytes ? ParseTop10(*bytes) : Top10Table{};
}

bool WriteTop10File(const std::string& path, const Top10Table& table) {
    return WriteFileAtomically(path, FormatTop10(table));
}

int Top10RowFor(const Top10Table& table, std::int32_t winnings) {
    const auto row = std::find_if(table.begin(), table.end(),
                                  [&](const Top10Row& r) { return r.score <= winnings; });
    return row == table.end() ? 0 : static_cast<int>(row - table.begin()) + 1;
}

void InsertTop10Row(Top10Table& table, int row, std::string name, std::int32_t score) {
    if (row < 1 || row > static_cast<int>(table.size()))
        return;
    const auto at = table.begin() + (row - 1);
    std::move_backward(at, table.end() - 1, table.end());
    *at = {std::move(name), score};
}

std::string Top10NameText(const std::string& name) {
    std::string text = " ";
    for (std::size_t i = 0; i < name.size();) {
        const int length = Utf8SequenceAt(name, i);
        if (length > 0)
            text.append(name, i, static_cast<std::size_t>(length));
        else
            text += kReplacement;
        i += static_cast<std::size_t>(length > 0 ? length : -length);
    }
    return text;
}

std::string Top10ScoreText(std::int32_t score) {
    std::string digits = GroupThousands(score);
    const bool negative = digits.starts_with('-');
    if (negative)
        digits.erase(0, 1);
    if (digits.size() < 2)
        digits.insert(0, 1, '0');
    return (negative ? "-$" : "$") + digits + ' ';
}

} // namespace pegdrop
