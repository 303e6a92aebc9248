// The data files on a POSIX system: FIFOs and devices where a file should be,
// a folder without write permission, and the root as the data folder.
#include "harness.h"

#include "game/data_files.h"
#include "platform/files.h"
#include "platform/paths.h"

#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A FIFO with no writer and a link to an endless device: a read must neither
// wait on them nor take them for files.
TEST(PosixOddFiles, FifosAndDevicesReadAsMissingAndAreLeftAsTheyWere) {
    using platform::Overlong;
    using platform::ReadRegularFile;
    test::TempFolder folder;
    const std::string fifo = folder.Path() + "/fifo.dat";
    const std::string zero = folder.Path() + "/zero.dat";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", zero);
    for (const std::string& path : {fifo, zero, std::string("/dev/null")}) {
        EXPECT_EQ(ReadRegularFile(path, 16), std::nullopt) << path;
        EXPECT_EQ(ReadRegularFile(path, 16, Overlong::Missing), std::nullopt) << path;
        EXPECT_EQ(pegdrop::ReadSpeedFile(path), 300) << path;
        EXPECT_EQ(pegdrop::ReadTop10File(path), pegdrop::Top10Table{}) << path;
    }
    // Reading must not have opened the FIFO for good or swallowed it.
    struct stat st {};
    ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST(PosixPermissions, WithoutThemAReadIsEmptyAndAWriteKeepsTheOldBytes) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "running as root, which ignores file and folder permissions";
    test::TempFolder folder;
    const std::string path = folder.Path() + "/top10.dat";
    const std::string old = "\"Ann\",5\n";
    folder.Write("top10.dat", old);
    ASSERT_EQ(::chmod(path.c_str(), 0), 0);
    EXPECT_EQ(pegdrop::ReadTop10File(path), pegdrop::Top10Table{});
    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
    ASSERT_EQ(::chmod(folder.Path().c_str(), 0500), 0);
    EXPECT_FALSE(pegdrop::WriteTop10File(path, pegdrop::Top10Table{{{"Bo", 9000}}}));
    ::chmod(folder.Path().c_str(), 0700);
    EXPECT_EQ(folder.Read("top10.dat"), old);
}

TEST(DataPath, EndsInOneSlash) {
    EXPECT_EQ(platform::DataPathFor("/home/player/Games"), "/home/player/Games/");
    EXPECT_EQ(platform::DataPathFor("/"), "/");
    EXPECT_EQ(platform::DataPathFor("/srv/games/"), "/srv/games/");
}

} // namespace
