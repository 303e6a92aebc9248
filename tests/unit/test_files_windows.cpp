// The Windows platform files: saves failing at every step, files that are no
// plain file or are held by another program, device names, a data folder
// spelt with letters outside ASCII, the fonts shipped beside the executable
// and the clock's sleep.
#include "harness.h"

#include "game/data_files.h"
#include "platform/clock.h"
#include "platform/files_windows.h"
#include "platform/font_files.h"
#include "platform/handle_windows.h"
#include "platform/number_locale.h"
#include "platform/paths.h"
#include "platform/settings_path.h"
#include "platform/utf16_windows.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using platform::HandlePtr;
using platform::Widen;
using test::Entries;
using test::UseFiles;

// The real calls, except that step `failAt` (counting from 1) fails with
// `error`, and writes go in pieces of `writePiece` bytes.
class FaultyFiles final : public platform::FileSystem {
public:
    int failAt = 0;
    DWORD error = ERROR_DISK_FULL;
    DWORD writePiece = MAXDWORD;
    std::vector<std::string> calls;
    std::set<HANDLE> open;

    HANDLE CreateNew(const wchar_t* path) override {
        if (Fails("create"))
            return INVALID_HANDLE_VALUE;
        const HANDLE h = FileSystem::CreateNew(path);
        if (h != INVALID_HANDLE_VALUE)
            open.insert(h);
        return h;
    }
    BOOL Write(HANDLE file, const void* data, DWORD size, DWORD* written) override {
        return !Fails("write") &&
               FileSystem::Write(file, data, std::min(size, writePiece), written);
    }
    BOOL Flush(HANDLE file) override { return !Fails("flush") && FileSystem::Flush(file); }
    BOOL Close(HANDLE file) override {
        const bool fails = Fails("close");
        open.erase(file);
        return FileSystem::Close(file) && !fails;
    }
    BOOL Move(const wchar_t* from, const wchar_t* to) override {
        return !Fails("move") && FileSystem::Move(from, to);
    }
    BOOL Delete(const wchar_t* path) override {
        return !Fails("delete") && FileSystem::Delete(path);
    }

private:
    bool Fails(const char* call) {
        calls.emplace_back(call);
        if (static_cast<int>(calls.size()) != failAt)
            return false;
        SetLastError(error);
        return true;
    }
};

pegdrop::Top10Table Table(int top) {
    pegdrop::Top10Table table;
    for (int i = 0; i < 10; ++i)
        table[static_cast<std::size_t>(i)] = {"Row " + std::to_string(i + 1), top - 100 * i};
    return table;
}

// Another program's hold on a file: CreateFileW with this sharing.
HandlePtr Hold(const std::string& path, DWORD share) {
    return HandlePtr(CreateFileW(Widen(path).c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
}

TEST(WindowsSaves, EveryStepFailingLeavesTheOldFileAndNoTemporary) {
    const std::string before = pegdrop::FormatTop10(Table(5000));
    const std::string after = pegdrop::FormatTop10(Table(9000));
    std::vector<std::string> steps = {"create"};
    steps.insert(steps.end(), (after.size() + 63) / 64, "write");
    steps.insert(steps.end(), {"flush", "close", "move"});
    const int move = static_cast<int>(steps.size());
    std::map<DWORD, std::set<std::string>> reasons;
    for (const DWORD error : {ERROR_DISK_FULL, ERROR_ACCESS_DENIED}) {
        for (int k = 1; k <= move + 1; ++k) {
            SCOPED_TRACE("step " + std::to_string(k) + ", error " + std::to_string(error));
            test::TempFolder folder;
            folder.Write("top10.dat", before);
            FaultyFiles fs;
            fs.failAt = k;
            fs.error = error;
            fs.writePiece = 64;
            platform::SaveResult result;
            {
                UseFiles use(fs);
                result = pegdrop::WriteTop10File(folder.Path() + "/top10.dat", Table(9000));
            }
            const bool saved = static_cast<bool>(result);
            // Said in the failed step's own words, whichever step it was.
            if (!saved)
                reasons[error].insert(result.Reason());
            const bool last = k > move;
            if (last) {
                EXPECT_EQ(fs.calls, steps) << "the save, untroubled";
            }
            // A refused move is tried again, and the second try goes through.
            const bool retried = k == move && error == ERROR_ACCESS_DENIED;
            EXPECT_EQ(saved, last || retried);
            EXPECT_EQ(folder.Read("top10.dat"), saved ? after : before);
            EXPECT_EQ(Entries(folder.Path()), std::vector<std::string>{"top10.dat"});
            EXPECT_TRUE(fs.open.empty()) << "a handle left open";
        }
    }
    ASSERT_EQ(reasons[ERROR_DISK_FULL].size(), 1u);
    ASSERT_EQ(reasons[ERROR_ACCESS_DENIED].size(), 1u);
    EXPECT_NE(*reasons[ERROR_DISK_FULL].begin(), *reasons[ERROR_ACCESS_DENIED].begin());
    EXPECT_FALSE(reasons[ERROR_DISK_FULL].begin()->ends_with("\n"));
}

// A folder, a read-only file and a file another program holds open cannot be
// replaced: the save fails, the old file stays as it was, and the temporary
// file goes. Only the held file is worth trying again.
TEST(WindowsSaves, ATargetThatRefusesToBeReplacedKeepsItsBytes) {
    test::TempFolder folder;
    const std::string path = folder.Path() + "\\top10.dat";
    const std::string old = "\"Ann\",5\r\n";
    const auto moves = [](const FaultyFiles& fs) {
        return std::count(fs.calls.begin(), fs.calls.end(), "move");
    };

    ASSERT_TRUE(std::filesystem::create_directory(path));
    FaultyFiles intoFolder;
    {
        UseFiles use(intoFolder);
        EXPECT_FALSE(pegdrop::WriteTop10File(path, Table(9000)));
    }
    EXPECT_EQ(moves(intoFolder), 1);
    EXPECT_TRUE(std::filesystem::is_directory(path));
    EXPECT_EQ(Entries(folder.Path()), std::vector<std::string>{"top10.dat"});
    std::filesystem::remove(path);

    folder.Write("top10.dat", old);
    ASSERT_TRUE(SetFileAttributesW(Widen(path).c_str(), FILE_ATTRIBUTE_READONLY));
    FaultyFiles readOnly;
    {
        UseFiles use(readOnly);
        EXPECT_FALSE(pegdrop::WriteTop10File(path, Table(9000)));
    }
    EXPECT_TRUE(readOnly.calls.empty()) << "no temporary file was written";
    EXPECT_EQ(folder.Read("top10.dat"), old);
    EXPECT_EQ(pegdrop::ReadTop10File(path)[0].name, "Ann") << "a read-only file still reads";
    ASSERT_TRUE(SetFileAttributesW(Widen(path).c_str(), FILE_ATTRIBUTE_NORMAL));

    // Windows refuses to replace a file held open even when the hold shares
    // deleting; the save tries again, then keeps the old file.
    for (const DWORD share :
         {DWORD{0}, DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE}}) {
        SCOPED_TRACE("held with sharing " + std::to_string(share));
        {
            const HandlePtr held = Hold(path, share);
            ASSERT_TRUE(platform::Valid(held));
            FaultyFiles counted;
            UseFiles use(counted);
            EXPECT_FALSE(pegdrop::WriteTop10File(path, Table(9000)));
            EXPECT_EQ(moves(counted), platform::kMoveAttempts);
        }
        EXPECT_EQ(folder.Read("top10.dat"), old);
        EXPECT_EQ(Entries(folder.Path()), std::vector<std::string>{"top10.dat"});
    }
    ASSERT_TRUE(pegdrop::WriteTop10File(path, Table(9000))) << "let go, it is replaced";
    EXPECT_EQ(pegdrop::ReadTop10File(path), Table(9000));
}

// A top10.dat another program holds without sharing reads, or whose read
// fails half-way, is never replaced: the save is refused with the reason it
// could not be read, and its table is this game's entry alone.
TEST(WindowsSaves, AnUnreadableTopTenFileIsNeverReplaced) {
    class FailingReads final : public platform::FileSystem {
    public:
        BOOL Read(HANDLE file, void* data, DWORD size, DWORD* read) override {
            if (reads++ == 0)
                return FileSystem::Read(file, data, std::min<DWORD>(size, 40), read);
            SetLastError(ERROR_CRC);
            return FALSE;
        }
        int reads = 0;
    };
    test::TempFolder folder;
    const std::string path = folder.Path() + "\\top10.dat";
    const std::string before = pegdrop::FormatTop10(Table(5000));
    platform::ManualClock clock;
    const pegdrop::Top10Row entry{"Zed", 500};
    for (const bool held : {true, false}) {
        SCOPED_TRACE(held ? "held without sharing" : "a read error half-way");
        folder.Write("top10.dat", before);
        FailingReads reads;
        {
            const HandlePtr hold = held ? Hold(path, 0) : HandlePtr();
            UseFiles use(reads);
            const pegdrop::Top10Saved saved = pegdrop::SaveTop10Entry(path, entry, clock);
            EXPECT_FALSE(saved.result);
            EXPECT_FALSE(saved.result.Reason().empty());
            EXPECT_EQ(saved.row, 1);
            EXPECT_EQ(saved.table, (pegdrop::Top10Table{{entry}}));
        }
        EXPECT_EQ(reads.reads, held ? 0 : 2);
        EXPECT_EQ(folder.Read("top10.dat"), before) << "byte for byte";
        EXPECT_EQ(Entries(folder.Path()), std::vector<std::string>{"top10.dat"});
    }
}

// Device names, a pipe, a folder and a file held without sharing: reads see
// nothing and return at once; saves to a device name fail and leave nothing.
TEST(WindowsOddFiles, DevicesPipesFoldersAndHeldFilesReadAsMissing) {
    test::TempFolder folder;
    const std::string pipe = "\\\\.\\pipe\\pegdrop-test-" + std::to_string(GetCurrentProcessId());
    const HandlePtr server(CreateNamedPipeW(Widen(pipe).c_str(), PIPE_ACCESS_OUTBOUND,
                                            PIPE_TYPE_BYTE, 1, 0, 0, 0, nullptr));
    ASSERT_TRUE(platform::Valid(server));
    std::filesystem::create_directory(folder.Path() + "\\folder.dat");
    folder.Write("held.dat", "250\r\n");
    const HandlePtr held = Hold(folder.Path() + "\\held.dat", 0);
    ASSERT_TRUE(platform::Valid(held));
    for (const std::string& path :
         {std::string("NUL"), std::string("CON"), std::string("nul"), folder.Path() + "\\NUL",
          std::string("\\\\.\\NUL"), pipe, folder.Path() + "\\folder.dat",
          folder.Path() + "\\held.dat", folder.Path() + "\\missing.dat"}) {
        EXPECT_EQ(platform::ReadRegularFile(path, 16), std::nullopt) << path;
        EXPECT_EQ(pegdrop::ReadSpeedFile(path), 300) << path;
        EXPECT_EQ(pegdrop::ReadTop10File(path), pegdrop::Top10Table{}) << path;
    }
    for (const std::string& path : {std::string("NUL"), folder.Path() + "\\NUL", pipe})
        EXPECT_FALSE(pegdrop::WriteSpeedFile(path, 5)) << path;
    EXPECT_EQ(Entries(folder.Path()), (std::vector<std::string>{"folder.dat", "held.dat"}));
}

// "Zoë" and a die: the folder's name is UTF-8 in the game and UTF-16 on disk.
TEST(WindowsPaths, ADataFolderSpeltOutsideAsciiWorksAndARootStaysItself) {
    EXPECT_EQ(platform::DataPathFor("C:\\"), "C:\\");
    EXPECT_EQ(platform::DataPathFor("C:\\Users\\Zo\xC3\xAB\\Spiele"),
              "C:\\Users\\Zo\xC3\xAB\\Spiele\\");
    EXPECT_EQ(platform::DataPathFor("D:\\Spiele\\"), "D:\\Spiele\\");

    test::TempFolder folder;
    const std::string name = "Zo\xC3\xAB \xE2\x9A\x80 Spiele";
    const std::string inside = folder.Path() + "\\" + name;
    ASSERT_TRUE(CreateDirectoryW(Widen(inside).c_str(), nullptr));
    const std::string previous = platform::CurrentDirectory();
    ASSERT_TRUE(SetCurrentDirectoryW(Widen(inside).c_str()));
    const std::string dataPath = platform::DataPathFor(platform::CurrentDirectory());
    SetCurrentDirectoryW(Widen(previous).c_str());

    EXPECT_TRUE(dataPath.ends_with("\\" + name + "\\")) << dataPath;
    ASSERT_TRUE(pegdrop::WriteTop10File(dataPath + "top10.dat", Table(9000)));
    ASSERT_TRUE(pegdrop::WriteSpeedFile(dataPath + "speed.dat", 42));
    EXPECT_EQ(pegdrop::ReadTop10File(dataPath + "top10.dat"), Table(9000));
    EXPECT_EQ(pegdrop::ReadSpeedFile(dataPath + "speed.dat"), 42);
    EXPECT_NE(GetFileAttributesW(Widen(inside + "\\top10.dat").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Widen("Zo\xC3"), L"") << "a cut UTF-8 sequence names no file";
}

// The LED stand-in and the Arial stand-in come from fonts\ beside the
// executable (the build copies them there); a family Windows lacks gets a
// face that is there, as the system's default; a character a face lacks is
// found in another.
TEST(WindowsFonts, TheShippedFacesAreFoundBesideTheExecutable) {
    platform::FontFile led;
    ASSERT_TRUE(platform::MatchFontFile("DSEG7 Classic", false, led));
    EXPECT_TRUE(led.file.ends_with("fonts\\DSEG7Classic-Regular.ttf")) << led.file;
    platform::FontFile bold;
    ASSERT_TRUE(platform::MatchFontFile("liberation sans", true, bold));
    EXPECT_EQ(bold.family, "Liberation Sans");
    EXPECT_TRUE(bold.file.ends_with("-Bold.ttf") || bold.file.ends_with("arialbd.ttf"))
        << bold.file;
    platform::FontFile other;
    EXPECT_FALSE(platform::MatchFontFile("EggCrate", false, other));
    EXPECT_TRUE(other.family == "Arial" || other.family == "Liberation Sans") << other.family;

    // A character is looked for in Windows' faces for other scripts, then in
    // the shipped ones; one that no face has is not found.
    platform::FontFile cyrillic;
    ASSERT_TRUE(platform::FontFileWithCharacter(U'\u0436', "Arial", cyrillic));
    EXPECT_TRUE(cyrillic.family == "Segoe UI" || cyrillic.family == "Liberation Sans")
        << cyrillic.family;
    platform::FontFile none;
    EXPECT_FALSE(platform::FontFileWithCharacter(U'\U0010FFFD', "Arial", none));
}

// A face the game does not know, installed for the player alone, is found
// before the stand-in: as Windows registers it, wherever its file is, or in
// the player's own fonts folder by the family it holds, not by its file's
// name. The build puts DSEG14 beside the shipped faces for this.
TEST(WindowsFonts, AFaceThePlayerInstalledComesBeforeTheStandIn) {
    platform::FontFile led;
    ASSERT_TRUE(platform::MatchFontFile("DSEG7 Classic", false, led));
    const std::filesystem::path shipped = std::filesystem::path(Widen(led.file)).parent_path();
    test::TempFolder local;
    const std::filesystem::path fonts =
        std::filesystem::path(Widen(local.Path())) / L"Microsoft" / L"Windows" / L"Fonts";
    const std::filesystem::path elsewhere = std::filesystem::path(Widen(local.Path())) / L"d14.ttf";
    std::filesystem::create_directories(fonts);
    std::filesystem::copy_file(shipped / L"DSEG7Classic-Regular.ttf", fonts / L"EggCrate.ttf");
    std::filesystem::copy_file(shipped / L"DSEG14Classic-Regular.ttf", elsewhere);
    wchar_t before[MAX_PATH] = L"";
    const bool had = GetEnvironmentVariableW(L"LOCALAPPDATA", before, MAX_PATH) > 0;
    ASSERT_TRUE(SetEnvironmentVariableW(L"LOCALAPPDATA", Widen(local.Path()).c_str()));
    const wchar_t* const key = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
    const wchar_t* const value = L"DSEG14 Classic (TrueType)";
    for (const bool registered : {true, false}) {
        SCOPED_TRACE(registered ? "registered" : "in the player's fonts folder");
        const std::filesystem::path expected =
            registered ? elsewhere : fonts / L"DSEG14Classic-Regular.ttf";
        if (registered)
            ASSERT_EQ(RegSetKeyValueW(
                          HKEY_CURRENT_USER, key, value, REG_SZ, elsewhere.c_str(),
                          static_cast<DWORD>((elsewhere.native().size() + 1) * sizeof(wchar_t))),
                      ERROR_SUCCESS);
        else
            std::filesystem::copy_file(elsewhere, expected);
        platform::FontFile found[2];
        EXPECT_TRUE(platform::MatchFontFile("DSEG14 Classic", false, found[0]));
        EXPECT_TRUE(platform::MatchFontFile("dseg14 classic", true, found[1]));
        if (registered)
            RegDeleteKeyValueW(HKEY_CURRENT_USER, key, value);
        for (const platform::FontFile& face : found) {
            EXPECT_EQ(face.family, "DSEG14 Classic");
            EXPECT_EQ(std::filesystem::path(Widen(face.file)), expected)
                << "the regular face where there is no bold one";
        }
    }
    platform::FontFile egg;
    EXPECT_FALSE(platform::MatchFontFile("EggCrate", false, egg))
        << "a file named EggCrate holding another face is no EggCrate";
    SetEnvironmentVariableW(L"LOCALAPPDATA", had ? before : nullptr);
}

// The settings go in the folder APPDATA names, as Windows names it for every
// program; without a whole path there, in the roaming application data folder.
TEST(WindowsSettings, TheFileIsInAppDataElseTheRoamingFolder) {
    {
        const test::Environment appData("APPDATA", "D:\\Profile\\Roaming");
        EXPECT_EQ(platform::SettingsFilePath(), "D:\\Profile\\Roaming\\Pegdrop\\settings");
    }
    const test::Environment relative("APPDATA", "Roaming");
    EXPECT_TRUE(platform::SettingsFilePath().ends_with("\\AppData\\Roaming\\Pegdrop\\settings"))
        << platform::SettingsFilePath();
}

// ctest's windows_locale runs this under Wine with LC_ALL=de_DE.UTF-8, which
// Wine takes for the player's region settings.
TEST(WindowsGermanPlayer, TheThousandsSeparatorIsTheRegionsDot) {
    const char* locale = std::getenv("LC_ALL");
    if (locale == nullptr || std::string(locale) != "de_DE.UTF-8")
        GTEST_SKIP() << "for a Windows set to German (Germany)";
    EXPECT_EQ(platform::ThousandsSeparator(), ".");
    EXPECT_EQ(pegdrop::Top10ScoreText(12500, platform::ThousandsSeparator()), "$12.500 ");
}

// Whatever the timer does, the sleep ends on or after its deadline.
TEST(WindowsClock, ASleepNeverEndsBeforeItsDeadline) {
    platform::RealClock clock;
    for (const std::uint64_t us : {0, 300, 2000, 7576, 16667}) {
        const std::uint64_t deadline = clock.NowUs() + us;
        clock.SleepUntilUs(deadline);
        EXPECT_GE(clock.NowUs(), deadline) << us << " us";
    }
}

} // namespace
