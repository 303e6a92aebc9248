// The top-ten table: ranking a total, reading damaged files, writing, texts.
#include "harness.h"

#include "game/data_files.h"

#include "rules/top10.h"

#include <climits>
#include <filesystem>
#include <random>
#include <utility>
#include <vector>

namespace pegdrop {

void PrintTo(const Top10Row& row, std::ostream* os) {
    *os << '[' << ::testing::PrintToString(row.name) << ',' << row.score << ']';
}

namespace {

using Rows = std::vector<Top10Row>;

// The table with these rows on top and empty rows below.
Top10Table TableOf(const Rows& rows) {
    Top10Table table;
    std::copy(rows.begin(), rows.end(), table.begin());
    return table;
}

const Rows kLadder = {{"a", 9000}, {"b", 8000}, {"c", 7000}, {"d", 7000}, {"e", 6000},
                      {"f", 5000}, {"g", 4000}, {"h", 3000}, {"i", 2000}, {"j", 1000}};

Rows LadderEndingIn(Top10Row last) {
    Rows rows(kLadder.begin(), kLadder.end() - 1);
    rows.push_back(std::move(last));
    return rows;
}

TEST(Top10Ranking, ATotalTakesTheFirstRowItEqualsOrBeats) {
    struct Case {
        const char* label;
        Rows before;
        std::int32_t total;
        int row;
        Rows after;
    };
    const Case cases[] = {
        {"above equals",
         kLadder,
         7000,
         3,
         {{"a", 9000},
          {"b", 8000},
          {"new", 7000},
          {"c", 7000},
          {"d", 7000},
          {"e", 6000},
          {"f", 5000},
          {"g", 4000},
          {"h", 3000},
          {"i", 2000}}},
        {"equal to row 10", kLadder, 1000, 10, LadderEndingIn({"new", 1000})},
        {"below row 10", kLadder, 999, 0, kLadder},
        {"three records, total 0",
         {{"a", 5}, {"b", 3}, {"c", 1}},
         0,
         4,
         {{"a", 5}, {"b", 3}, {"c", 1}, {"new", 0}}},
        {"empty file, total 0", {}, 0, 1, {{"new", 0}}},
        {"empty file, big total", {}, 10000, 1, {{"new", 10000}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        test::TempFolder folder;
        const std::string path = folder.Path() + "/top10.dat";
        folder.Write("top10.dat", c.before.empty() ? "" : FormatTop10(TableOf(c.before)));
        Top10Table table = ReadTop10File(path);
        const int row = Top10RowFor(table, c.total);
        EXPECT_EQ(row, c.row);
        InsertTop10Row(table, row, "new", c.total);
        ASSERT_TRUE(WriteTop10File(path, table));
        const Top10Table expected = TableOf(c.after);
        EXPECT_EQ(ReadTop10File(path), expected);
        EXPECT_EQ(folder.Read("top10.dat"), FormatTop10(expected));
    }
    Top10Table table = TableOf(kLadder);
    InsertTop10Row(table, 0, "x", 1);
    InsertTop10Row(table, 11, "x", 1);
    EXPECT_EQ(table, TableOf(kLadder));
}

TEST(Top10File, WritesTenQuotedLinesInCrLf) {
    Top10Table table;
    table[0] = {"Ann", 12500};
    table[1] = {"O'Neil, \"Ace\"", -7};
    std::string expected = "\"Ann\",12500\r\n\"O'Neil, \"Ace\"\",-7\r\n";
    for (int i = 0; i < 8; ++i)
        expected += "\"\",0\r\n";
    EXPECT_EQ(FormatTop10(table), expected);
}

TEST(Top10File, ReadsDamagedAndForeignTextSoundly) {
    const std::pair<std::string, Rows> cases[] = {
        {"", {}},
        {"\"Ann\",12500\r\n\"Bo", {{"Ann", 12500}, {"Bo", 0}}},
        {"\"Ann\",", {{"Ann", 0}}},
        {"\"Ann\"\r\n\"Bo\",4", {{"Ann", 0}, {"Bo", 4}}},
        {std::string("\0\xff,\x80\x01\n\"\x9f", 8), {{std::string("\0\xff", 2), 0}, {"\x9f", 0}}},
        {"\xEF\xBB\xBF\"Ann\",5\r\n", {{"Ann", 5}}},
        {"\"Ann\",5\n\"Bo\",4\n", {{"Ann", 5}, {"Bo", 4}}},
        {"\"Ann\",5\r\n\r\n\"Bo\",4", {{"Ann", 5}, {"", 0}, {"Bo", 4}}},
        {"\"A\",2147483648\r\n\"B\",-2147483648\r\n\"C\",99999999999999999999\r\n\"D\",7",
         {{"A", 0}, {"B", INT_MIN}, {"C", 0}, {"D", 7}}},
        {"\"A\",12x\r\n\"B\",\r\n\"C\",1e3\r\n\"D\", 42 \r\n\"E\",+5",
         {{"A", 0}, {"B", 0}, {"C", 0}, {"D", 42}, {"E", 0}}},
        {"\"Smith, Ann\",500\r\n", {{"Smith, Ann", 500}}},
        {"\"Ann \"the ace\"\",500\r\n", {{"Ann \"the ace\"", 500}}},
        {"\"a\",b\",5\r\n\"\",\",6\r\n", {{"a\",b", 5}, {"\",", 6}}},
        {"Ann,500,junk\r\nBo\r\n", {{"Ann", 500}, {"Bo", 0}}},
    };
    for (const auto& [bytes, rows] : cases)
        EXPECT_EQ(ParseTop10(bytes), TableOf(rows)) << ::testing::PrintToString(bytes);
}

TEST(Top10File, ReadsOnlyRegularFilesAndOnlyTheirFirstTenRecords) {
    test::TempFolder folder;
    const std::string path = folder.Path() + "/top10.dat";
    EXPECT_EQ(ReadTop10File(path), Top10Table{}) << "missing";
    ASSERT_TRUE(std::filesystem::create_directory(path));
    EXPECT_EQ(ReadTop10File(path), Top10Table{}) << "directory";
    ASSERT_TRUE(std::filesystem::remove(path));

    std::string lines;
    Rows first;
    for (int i = 0; i < 10000; ++i) {
        lines += "\"p" + std::to_string(i) + "\"," + std::to_string(10000 - i) + "\r\n";
        if (i < 10)
            first.push_back({"p" + std::to_string(i), 10000 - i});
    }
    folder.Write("top10.dat", lines);
    EXPECT_EQ(ReadTop10File(path), TableOf(first));

    // A file past the read limit is cut there.
    folder.Write("top10.dat", std::string(2 * kTop10ReadLimit, 'x'));
    EXPECT_EQ(ReadTop10File(path)[0].name.size(), kTop10ReadLimit);

    Top10Table longNames;
    for (int i = 0; i < 10; ++i)
        longNames[static_cast<std::size_t>(i)] = {std::string(100000, char('a' + i)), i};
    ASSERT_TRUE(WriteTop10File(path, longNames));
    EXPECT_EQ(ReadTop10File(path), longNames);
}

TEST(Top10File, AFailedWriteLeavesWhatWasThere) {
    test::TempFolder folder;
    const std::string path = folder.Path() + "/top10.dat";
    ASSERT_TRUE(std::filesystem::create_directory(path));
    EXPECT_FALSE(WriteTop10File(path, Top10Table{}));
    EXPECT_TRUE(std::filesystem::is_directory(path));
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder.Path()))
        ++entries;
    EXPECT_EQ(entries, 1) << "no temporary file left behind";
}

TEST(Top10File, EveryTableWithoutLineFeedsReadsBackAsWritten) {
    std::mt19937 random(20240601);
    // Quotes, commas and carriage returns are the bytes that could confuse a reader.
    const std::string tricky = "\",\r \xff\xef\xbb\xbf";
    std::uniform_int_distribution<int> length(0, 12), anyByte(0, 255), pick(0, 3);
    std::uniform_int_distribution<std::int32_t> score(INT_MIN, INT_MAX);
    for (int n = 0; n < 2000; ++n) {
        Top10Table table;
        for (Top10Row& row : table) {
            for (int i = length(random); i > 0; --i) {
                char c = pick(random) == 0
                             ? static_cast<char>(anyByte(random))
                             : tricky[static_cast<std::size_t>(anyByte(random)) % tricky.size()];
                row.name += c == '\n' ? '"' : c;
            }
            row.score = score(random);
        }
        ASSERT_EQ(ParseTop10(FormatTop10(table)), table) << "table " << n;
    }
}

TEST(Top10Texts, ScoresUseTheDisplayPatternAndNamesShowAsUtf8) {
    const std::pair<std::int32_t, const char*> scores[] = {
        {0, "$00 "},
        {5, "$05 "},
        {10, "$10 "},
        {500, "$500 "},
        {12500, "$12,500 "},
        {50000, "$50,000 "},
        {1000000, "$1,000,000 "},
        {-5, "-$05 "},
        {INT_MIN, "-$2,147,483,648 "},
    };
    for (const auto& [score, text] : scores)
        EXPECT_EQ(Top10ScoreText(score), text) << score;

    const std::string fffd = "\xEF\xBF\xBD";
    const std::pair<std::string, std::string> names[] = {
        {"", " "},
        {"Zo\xC3\xAB \xF0\x9F\x8E\xB2", " Zo\xC3\xAB \xF0\x9F\x8E\xB2"},
        {"\xff", " " + fffd},
        {"a\xC3", " a" + fffd},
        {"\xE2\x82x", " " + fffd + "x"},
        {"\xC0\xAF", " " + fffd + fffd},
        {"\xED\xA0\x80", " " + fffd + fffd + fffd},
        {"\xF4\x90\x80\x80", " " + fffd + fffd + fffd + fffd},
        {"\xE0\x80\xAF", " " + fffd + fffd + fffd},
    };
    for (const auto& [name, text] : names)
        EXPECT_EQ(Top10NameText(name), text) << ::testing::PrintToString(name);
}

} // namespace
} // namespace pegdrop
