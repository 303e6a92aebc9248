// The data folder's files and the board's plain rules.
#include "harness.h"

#include "game/data_files.h"
#include "platform/files.h"
#include "rules/speed_setting.h"

#include <cstdint>
#include <filesystem>
#include <optional>

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

// Files that are not what their name promises: a folder, and a file far
// larger than its format. Each system's own (FIFOs and devices, device names
// and files held open) are in test_files_posix.cpp and test_files_windows.cpp.
class OddFiles : public ::testing::Test {
protected:
    std::string At(const std::string& name) const { return folder.Path() + "/" + name; }
    void MakeFolder(const std::string& name) const { std::filesystem::create_directory(At(name)); }
    // Holes past the head: a gigabyte costs no disk and shows any read that
    // follows the file's size.
    void MakeHuge(const std::string& name, const std::string& head) const {
        folder.Write(name, head);
        std::filesystem::resize_file(At(name), std::uintmax_t{1} << 30);
    }
    test::TempFolder folder;
};

TEST_F(OddFiles, ABoundedReadTakesOnlyRegularFilesAndStopsAtItsLimit) {
    using platform::Overlong;
    using platform::ReadRegularFile;
    MakeFolder("folder");
    MakeHuge("huge", "head");
    for (const char* name : {"folder", "missing"}) {
        EXPECT_EQ(ReadRegularFile(At(name), 16), std::nullopt) << name;
        EXPECT_EQ(ReadRegularFile(At(name), 16, Overlong::Missing), std::nullopt) << name;
    }

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
}

TEST_F(OddFiles, SpeedFileThatIsNoPlainNumberReadsAsThreeHundred) {
    MakeFolder("folder.dat");
    MakeHuge("huge.dat", "250\r\n");
    MakeHuge("huge-digits.dat", std::string(1000, '1'));
    folder.Write("far.dat", "-32768\r\n");
    folder.Write("blanks.dat", std::string(pegdrop::kSpeedReadLimit - 5, ' ') + "42\r\n");
    EXPECT_EQ(pegdrop::ReadSpeedFile(At("folder.dat")), 300);
    EXPECT_EQ(pegdrop::ReadSpeedFile(At("huge.dat")), 250) << "its first line is what counts";
    EXPECT_EQ(pegdrop::ReadSpeedFile(At("huge-digits.dat")), 300);
    EXPECT_EQ(pegdrop::ReadSpeedFile(At("far.dat")), 300);
    EXPECT_EQ(pegdrop::ReadSpeedFile(At("blanks.dat")), 42);
}

} // namespace
