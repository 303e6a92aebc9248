// The top-ten table and its file top10.dat: ranking, reading, writing and the
// row texts, as bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pegdrop {

struct Top10Row {
    std::string name; // bytes as typed; may be empty
    std::int32_t score = 0;
    bool operator==(const Top10Row&) const = default;
};

using Top10Table = std::array<Top10Row, 10>; // row 1 is [0]

// The most of top10.dat that is read: ten rows of 100 kB names still fit.
inline constexpr std::size_t kTop10ReadLimit = std::size_t{1} << 20;

// The rows of a file's bytes, row 1 first; rows the bytes do not supply stay
// empty with score 0. Every table whose names hold no line feed reads back
// from FormatTop10 unchanged.
Top10Table ParseTop10(std::string_view bytes);

// Ten lines "\"name\",score\r\n", the name verbatim.
std::string FormatTop10(const Top10Table& table);

// The first row, 1..10, whose score is at most winnings; 0 when none is.
int Top10RowFor(const Top10Table& table, std::int32_t winnings);

// Puts a row at 1..10, moving the rows below it down one and dropping row 10.
void InsertTop10Row(Top10Table& table, int row, std::string name, std::int32_t score);

// " name", with bytes that are not UTF-8 shown as U+FFFD.
std::string Top10NameText(const std::string& name);
// "$12,500 ": at least two digits, grouped in threes; "-$05 " below zero. The
// groups are parted by the player's thousands separator ("$12.500 " in
// German); a locale without one ("") keeps the comma.
std::string Top10ScoreText(std::int32_t score, std::string_view separator = ",");

} // namespace pegdrop
