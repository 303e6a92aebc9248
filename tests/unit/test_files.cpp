// The data folder's files and the board's plain rules.
#include "harness.h"

#include "app/files.h"
#include "board/rules.h"
#include "board/slots.h"

#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TEST(SpeedFile, ReadsTheFirstNumberAndFallsBackToThreeHundred) {
    EXPECT_EQ(pegdrop::ParseSpeed("250\r\n"), 250);
    EXPECT_EQ(pegdrop::ParseSpeed("250,more text"), 250);
    EXPECT_EQ(pegdrop::ParseSpeed("  +12\r\n7"), 12);
    EXPECT_EQ(pegdrop::ParseSpeed("1"), 1);
    EXPECT_EQ(pegdrop::ParseSpeed("500"), 500);
    // Numbers the speed window would refuse read as a malformed file does.
    EXPECT_EQ(pegdrop::ParseSpeed("0"), 300);
    EXPECT_EQ(pegdrop::ParseSpeed("501"), 300);
    EXPECT_EQ(pegdrop::ParseSpeed("-12"), 300);
    EXPECT_EQ(pegdrop::ParseSpeed("32767"), 300);
    EXPECT_EQ(pegdrop::ParseSpeed("-32768"), 300);
    EXPECT_EQ(pegdrop::ParseSpeed("32768"), 300);
    EXPECT_EQ(pegdrop::ParseSpeed("99999999999999999999"), 300);
    EXPECT_EQ(pegdrop::ParseSpeed(""), 300);
    EXPECT_EQ(pegdrop::ParseSpeed("\r\n"), 300);
    EXPECT_EQ(pegdrop::ParseSpeed("fast"), 300);
    EXPECT_EQ(pegdrop::ParseSpeed("-"), 300);
    EXPECT_EQ(pegdrop::ReadSpeedFile("/nonexistent/speed.dat"), 300);
}

TEST(SpeedFile, WritesOneLineWithCrLfAndReplacesTheFileWhole) {
    test::TempFolder folder;
    const std::string path = folder.Path() + "/speed.dat";
    folder.Write("speed.dat", "old content that is longer\r\n");
    ASSERT_TRUE(pegdrop::WriteSpeedFile(path, 300));
    EXPECT_EQ(folder.Read("speed.dat"), "300\r\n");
    ASSERT_TRUE(pegdrop::WriteSpeedFile(path, 5));
    EXPECT_EQ(pegdrop::ReadSpeedFile(path), 5);
    // Nothing but the file itself is left in the folder.
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder.Path()))
        ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(SpeedFile, AWriteIntoAMissingFolderFails) {
    EXPECT_FALSE(pegdrop::WriteSpeedFile("/nonexistent-folder/speed.dat", 1));
}

// Files that are not what their name promises: a FIFO with no writer, a link
// to an endless device, a folder, and a file far larger than its format.
class OddFiles : public ::testing::Test {
protected:
    std::string At(const std::string& name) const { return folder.Path() + "/" + name; }
    void MakeFifo(const std::string& name) const { ASSERT_EQ(::mkfifo(At(name).c_str(), 0600), 0); }
    void MakeZeroLink(const std::string& name) const {
        std::filesystem::create_symlink("/dev/zero", At(name));
    }
    void MakeFolder(const std::string& name) const { std::filesystem::create_directory(At(name)); }
    // Holes past the head: a gigabyte costs no disk and shows any read that
    // follows the file's size.
    void MakeHuge(const std::string& name, const std::string& head) const {
        folder.Write(name, head);
        ASSERT_EQ(::truncate(At(name).c_str(), off_t{1} << 30), 0);
    }
    test::TempFolder folder;
};

TEST_F(OddFiles, ABoundedReadTakesOnlyRegularFilesAndStopsAtItsLimit) {
    using pegdrop::Overlong;
    using pegdrop::ReadRegularFile;
    MakeFifo("fifo");
    MakeZeroLink("zero");
    MakeFolder("folder");
    MakeHuge("huge", "head");
    for (const char* name : {"fifo", "zero", "folder", "missing"}) {
        EXPECT_EQ(ReadRegularFile(At(name), 16), std::nullopt) << name;
        EXPECT_EQ(ReadRegularFile(At(name), 16, Overlong::Missing), std::nullopt) << name;
    }
    EXPECT_EQ(ReadRegularFile("/dev/null", 16), std::nullopt);

    const auto cut = ReadRegularFile(At("huge"), 4096);
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->size(), 4096u);
    EXPECT_EQ(cut->substr(0, 4), "head");
    EXPECT_EQ(ReadRegularFile(At("huge"), 4096, Overlong::Missing), std::nullopt);

    // At the limit exactly a file is whole either way; an empty file is there.
    folder.Write("exact", "12345678");
    EXPECT_EQ(ReadRegularFile(At("exact"), 8, Overlong::Missing), "12345678");
    EXPECT_EQ(ReadRegularFile(At("exact"), 7, Overlong::Missing), std::nullopt);
    EXPECT_EQ(ReadRegularFile(At("exact"), 7), "1234567");
    EXPECT_EQ(ReadRegularFile(At("exact"), 100), "12345678");
    folder.Write("empty", "");
    EXPECT_EQ(ReadRegularFile(At("empty"), 16, Overlong::Missing), "");

    // Reading must not have opened the FIFO for good or swallowed it.
    struct stat st {};
    ASSERT_EQ(::lstat(At("fifo").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(OddFiles, SpeedFileThatIsNoPlainNumberReadsAsThreeHundred) {
    MakeFifo("fifo.dat");
    MakeZeroLink("zero.dat");
    MakeFolder("folder.dat");
    MakeHuge("huge.dat", "250\r\n");
    MakeHuge("huge-digits.dat", std::string(1000, '1'));
    folder.Write("far.dat", "-32768\r\n");
    folder.Write("blanks.dat", std::string(pegdrop::kSpeedReadLimit - 5, ' ') + "42\r\n");
    EXPECT_EQ(pegdrop::ReadSpeedFile(At("fifo.dat")), 300);
    EXPECT_EQ(pegdrop::ReadSpeedFile(At("zero.dat")), 300);
    EXPECT_EQ(pegdrop::ReadSpeedFile(At("folder.dat")), 300);
    EXPECT_EQ(pegdrop::ReadSpeedFile(At("huge.dat")), 250) << "its first line is what counts";
    EXPECT_EQ(pegdrop::ReadSpeedFile(At("huge-digits.dat")), 300);
    EXPECT_EQ(pegdrop::ReadSpeedFile(At("far.dat")), 300);
    EXPECT_EQ(pegdrop::ReadSpeedFile(At("blanks.dat")), 42);
}

TEST(DataPath, EndsInOneSlash) {
    EXPECT_EQ(pegdrop::DataPathFor("/home/player/Games"), "/home/player/Games/");
    EXPECT_EQ(pegdrop::DataPathFor("/"), "/");
    EXPECT_EQ(pegdrop::DataPathFor("/srv/games/"), "/srv/games/");
}

TEST(Aim, RoundsHalfToEvenClampsAndKeepsEven) {
    const std::pair<float, int> cases[] = {{150, 200},    {199.4f, 200}, {200, 200}, {201, 200},
                                           {300.5f, 300}, {301.5f, 302}, {301, 300}, {399, 398},
                                           {400.4f, 400}, {401, 400},    {-7, 200},  {1e4f, 400}};
    for (auto [x, aimed] : cases)
        EXPECT_EQ(pegdrop::AimChipX(x), aimed) << x;
}

TEST(StepWait, CountsAsManyAsTheSpeedLeaves) {
    EXPECT_EQ(pegdrop::StepWaitCounts(1), 998501);
    EXPECT_EQ(pegdrop::StepWaitCounts(300), 550001);
    EXPECT_EQ(pegdrop::StepWaitCounts(500), 250001);
    EXPECT_EQ(pegdrop::StepWaitCounts(666), 1001);
    EXPECT_EQ(pegdrop::StepWaitCounts(667), 0);
    EXPECT_EQ(pegdrop::StepWaitCounts(0), 1000001);
    EXPECT_EQ(pegdrop::StepWaitCounts(-1), 1001501);
    for (std::int16_t speed : {1, 300, 500, 666, 667, 32767})
        EXPECT_EQ(pegdrop::StepWait(speed), pegdrop::StepWaitCounts(speed)) << speed;
}

TEST(Messages, ChipsLeftAndClosing) {
    EXPECT_EQ(pegdrop::ChipsLeftMessage(4), "You have 4 chips left");
    EXPECT_EQ(pegdrop::ChipsLeftMessage(1), "You have 1 chip left");
    EXPECT_EQ(pegdrop::ClosingMessage(10600),
              "You finish with $10,600\rThank you for playing PEGDROP!");
    EXPECT_EQ(pegdrop::ClosingMessage(0), "You finish with $0\rThank you for playing PEGDROP!");
    EXPECT_EQ(pegdrop::GroupThousands(999), "999");
    EXPECT_EQ(pegdrop::GroupThousands(1000), "1,000");
    EXPECT_EQ(pegdrop::GroupThousands(90000), "90,000");
    EXPECT_EQ(pegdrop::GroupThousands(1234567), "1,234,567");
}

TEST(Slots, LandingRangesMeetTheSlotEdges) {
    const std::pair<int, int> edges[] = {
        {189, 1}, {213, 1}, {219, 2}, {237, 2}, {243, 3}, {261, 3}, {267, 4}, {285, 4}, {291, 5},
        {309, 5}, {315, 6}, {333, 6}, {339, 7}, {357, 7}, {363, 8}, {381, 8}, {387, 9}, {400, 9}};
    for (auto [x, slot] : edges) {
        ASSERT_NE(pegdrop::SlotForX(x), nullptr) << x;
        EXPECT_EQ(pegdrop::SlotForX(x)->number, slot) << x;
    }
    for (int gap : {214, 218, 238, 262, 286, 310, 334, 358, 382, 386})
        EXPECT_EQ(pegdrop::SlotForX(gap), nullptr) << gap;
    const int prizes[] = {100, 500, 1000, 0, 10000, 0, 1000, 500, 100};
    for (int n = 1; n <= 9; ++n)
        EXPECT_EQ(pegdrop::SlotByNumber(n)->prize, prizes[n - 1]);
    EXPECT_EQ(pegdrop::SlotByNumber(0), nullptr);
    EXPECT_EQ(pegdrop::SlotByNumber(10), nullptr);
}

} // namespace
