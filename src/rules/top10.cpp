#include "rules/top10.h"

#include "rules/board_rules.h"
#include "text/utf8.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace pegdrop {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

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
    return " " + text::ValidUtf8(name);
}

std::string Top10ScoreText(std::int32_t score, std::string_view separator) {
    std::string digits = GroupThousands(score, separator);
    const bool negative = digits.starts_with('-');
    if (negative)
        digits.erase(0, 1);
    if (digits.size() < 2)
        digits.insert(0, 1, '0');
    return (negative ? "-$" : "$") + digits + ' ';
}

} // namespace pegdrop
