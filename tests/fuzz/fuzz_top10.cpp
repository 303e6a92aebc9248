// top10.dat as any bytes: the file reader and the parser agree, what they
// make of it, ranked and written back, reads back as the ranked table, and
// its texts are showable.
#include "fuzz_check.h"
#include "game/data_files.h"
#include "rules/top10.h"
#include "scratch_file.h"
#include "text/utf8.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

using namespace pegdrop;

namespace {

// The score text without its dollar sign, grouping and trailing space.
void CheckScoreText(std::int32_t score) {
    const std::string text = Top10ScoreText(score);
    const bool negative = score < 0;
    FUZZ_CHECK(text.starts_with(negative ? "-$" : "$"));
    FUZZ_CHECK(text.ends_with(' '));
    const std::string grouped = text.substr(negative ? 2 : 1, text.size() - (negative ? 3 : 2));
    std::string digits;
    for (std::size_t i = 0; i < grouped.size(); ++i) {
        // Thousands commas: every fourth place counted from the right.
        const bool commaPlace = i > 0 && (grouped.size() - i) % 4 == 0;
        FUZZ_CHECK((grouped[i] == ',') == commaPlace);
        if (grouped[i] == ',')
            continue;
        digits += grouped[i];
    }
    FUZZ_CHECK(digits.size() >= 2);
    FUZZ_CHECK(digits.find_first_not_of("0123456789") == std::string::npos);
    std::int64_t value = 0;
    for (char c : digits)
        value = value * 10 + (c - '0');
    FUZZ_CHECK(value == (negative ? -static_cast<std::int64_t>(score) : score));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const Top10Table table = ParseTop10(bytes);
    // The game reads the file through its bounded reader, which must see the
    // same table in anything up to its limit.
    static ScratchFile file("top10.dat");
    FUZZ_CHECK(ReadTop10File(file.Hold(bytes)) == table);

    // What was read is written and read back unchanged, and the writer's form
    // is ten CR LF lines.
    const std::string written = FormatTop10(table);
    FUZZ_CHECK(ParseTop10(written) == table);
    std::size_t lines = 0;
    for (std::size_t at = written.find("\r\n"); at != std::string::npos;
         at = written.find("\r\n", at + 2))
        ++lines;
    FUZZ_CHECK(lines == 10 && written.ends_with("\r\n"));

    // The game's total from the input's last four bytes, the name typed at the
    // prompt from its first ones (a line feed cannot be typed into it).
    std::int32_t winnings = 0;
    if (size >= 4)
        std::memcpy(&winnings, data + size - 4, 4);
    std::string name(bytes.substr(0, size > 0 ? data[0] % 24 : 0));
    std::erase(name, '\n');

    const int row = Top10RowFor(table, winnings);
    FUZZ_CHECK(row >= 0 && row <= 10);
    for (int i = 1; i <= 10; ++i) {
        const std::int32_t score = table[static_cast<std::size_t>(i - 1)].score;
        if (row == 0 || i < row)
            FUZZ_CHECK(score > winnings);
        else if (i == row)
            FUZZ_CHECK(score <= winnings);
    }
    Top10Table ranked = table;
    InsertTop10Row(ranked, row, name, winnings);
    for (int i = 1; i <= 10; ++i) {
        const auto at = static_cast<std::size_t>(i - 1);
        if (row == 0 || i < row)
            FUZZ_CHECK(ranked[at] == table[at]);
        else if (i == row)
            FUZZ_CHECK(ranked[at] == (Top10Row{name, winnings}));
        else
            FUZZ_CHECK(ranked[at] == table[at - 1]);
    }
    FUZZ_CHECK(ParseTop10(FormatTop10(ranked)) == ranked);

    for (const Top10Row& r : ranked) {
        const std::string shown = Top10NameText(r.name);
        FUZZ_CHECK(shown.starts_with(' '));
        // Showable text is left as it is.
        FUZZ_CHECK(text::ValidUtf8(shown) == shown);
        CheckScoreText(r.score);
    }
    return 0;
}
