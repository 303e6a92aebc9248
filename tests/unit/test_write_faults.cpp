// Saving when the disk says no: every step of a save made to fail with the
// errors a full, broken or forbidding disk gives, and a process killed before
// every step; the file is always the old one or the new one, whole.
#include "harness.h"

#include "game/data_files.h"

#include "art/cues.h"
#include "game/frmBoard.h"
#include "game/frmTop10.h"
#include "platform/files_posix.h"
#include "png_writer.h"
#include "rules/top10.h"
#include "ui/dialogs.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <png.h>
#include <set>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using test::Entries;
using test::UseFiles;

// The real calls, except that step `failAt` (counting from 1) fails with
// `error`, writes go in pieces of `writePiece` bytes with a signal before
// each, and `beforeStep` sees every step before it is taken.
class FaultyFiles final : public platform::FileSystem {
public:
    int failAt = 0;
    int error = 0;
    std::size_t writePiece = SIZE_MAX;
    bool interruptWrites = false;
    std::function<void(int step)> beforeStep;

    std::vector<std::string> calls; // one name a step
    std::set<int> open;             // descriptors not yet closed

    int Open(const char* path, int flags, mode_t mode) override {
        if (Fails((flags & O_DIRECTORY) != 0 ? "open folder" : "open"))
            return -1;
        const int fd = FileSystem::Open(path, flags, mode);
        if (fd >= 0)
            open.insert(fd);
        return fd;
    }
    ssize_t Write(int fd, const void* data, std::size_t size) override {
        if (interruptWrites && !interrupted_) {
            interrupted_ = true;
            if (Fails("write (interrupted)"))
                return -1;
            errno = EINTR;
            return -1;
        }
        interrupted_ = false;
        if (Fails("write"))
            return -1;
        return FileSystem::Write(fd, data, std::min(size, writePiece));
    }
    int Fsync(int fd) override { return Fails("fsync") ? -1 : FileSystem::Fsync(fd); }
    // As on Linux, a close that fails has still let the descriptor go.
    int Close(int fd) override {
        const bool fails = Fails("close");
        open.erase(fd);
        const int result = FileSystem::Close(fd);
        return fails ? (errno = error, -1) : result;
    }
    int Rename(const char* from, const char* to) override {
        return Fails("rename") ? -1 : FileSystem::Rename(from, to);
    }
    int Unlink(const char* path) override {
        return Fails("unlink") ? -1 : FileSystem::Unlink(path);
    }

private:
    bool Fails(const char* call) {
        calls.emplace_back(call);
        const int step = static_cast<int>(calls.size());
        if (beforeStep)
            beforeStep(step);
        if (step != failAt)
            return false;
        errno = error;
        return true;
    }
    bool interrupted_ = false;
};

pegdrop::Top10Table Ladder(int top) {
    pegdrop::Top10Table table;
    for (int i = 0; i < 10; ++i)
        table[static_cast<std::size_t>(i)] = {"Row " + std::to_string(i + 1), top - 100 * i};
    return table;
}

// One of the two files the game saves: its name, the bytes it holds before
// the save, the save and the bytes it should hold after.
struct Target {
    const char* name;
    std::string before;
    std::function<platform::SaveResult(const std::string& path)> save;
    std::string after;
};

std::vector<Target> Targets() {
    return {
        {"top10.dat", pegdrop::FormatTop10(Ladder(5000)),
         [](const std::string& path) { return pegdrop::WriteTop10File(path, Ladder(9000)); },
         pegdrop::FormatTop10(Ladder(9000))},
        {"speed.dat", "123\r\n",
         [](const std::string& path) { return pegdrop::WriteSpeedFile(path, 456); }, "456\r\n"},
    };
}

constexpr std::size_t kPiece = 64; // several writes for a table, two for a speed

// Writes in pieces, each after an interruption, as a busy disk may.
void Chop(FaultyFiles& fs) {
    fs.writePiece = kPiece;
    fs.interruptWrites = true;
}

// The steps of an untroubled chopped save of `target`, and which of them
// (counting from 1) is the rename.
struct SaveSteps {
    std::vector<std::string> calls;
    int renamed = 0;
    int Count() const { return static_cast<int>(calls.size()); }
};

SaveSteps StepsOfASave(const Target& target) {
    test::TempFolder folder;
    FaultyFiles fs;
    Chop(fs);
    UseFiles use(fs);
    EXPECT_TRUE(target.save(folder.Path() + "/" + target.name));
    const auto rename = std::find(fs.calls.begin(), fs.calls.end(), "rename");
    EXPECT_NE(rename, fs.calls.end());
    return {fs.calls, static_cast<int>(rename - fs.calls.begin()) + 1};
}

TEST(WriteFaults, ASaveWritesWholeThroughShortAndInterruptedWritesAndSyncsBeforeRenaming) {
    for (const Target& target : Targets()) {
        test::TempFolder folder;
        folder.Write(target.name, target.before);
        FaultyFiles fs;
        fs.writePiece = 3;
        fs.interruptWrites = true;
        {
            UseFiles use(fs);
            EXPECT_TRUE(target.save(folder.Path() + "/" + target.name));
        }
        EXPECT_EQ(folder.Read(target.name), target.after) << target.name;
        EXPECT_EQ(Entries(folder.Path()), std::vector<std::string>{target.name});
        EXPECT_TRUE(fs.open.empty()) << "a descriptor left open";
        const auto at = [&](const char* call) {
            return std::find(fs.calls.begin(), fs.calls.end(), call) - fs.calls.begin();
        };
        const auto lastWrite =
            std::find(fs.calls.rbegin(), fs.calls.rend(), "write") - fs.calls.rbegin();
        EXPECT_EQ(std::count(fs.calls.begin(), fs.calls.end(), "write"),
                  static_cast<long>((target.after.size() + 2) / 3));
        EXPECT_EQ(at("open"), 0);
        EXPECT_LT(static_cast<long>(fs.calls.size()) - 1 - lastWrite, at("fsync"));
        EXPECT_LT(at("fsync"), at("close"));
        EXPECT_LT(at("close"), at("rename"));
        EXPECT_LT(at("rename"), at("open folder"));
        EXPECT_EQ(fs.calls.back(), "close") << "the folder, synced after the rename";
        EXPECT_EQ(fs.calls[fs.calls.size() - 2], "fsync");
    }
}

TEST(WriteFaults, EveryStepFailingLeavesTheOldFileOrTheNewOneAndNoLitter) {
    int cases = 0;
    for (const Target& target : Targets()) {
        const SaveSteps steps = StepsOfASave(target);
        const int renamed = steps.renamed;
        for (bool hadOld : {true, false}) {
            for (int error : {ENOSPC, EIO, EACCES}) {
                for (int k = 1; k <= steps.Count(); ++k) {
                    SCOPED_TRACE(std::string(target.name) + (hadOld ? "" : " (none before)") +
                                 ", step " + std::to_string(k) + " (" +
                                 steps.calls[static_cast<std::size_t>(k - 1)] +
                                 ") fails: " + std::strerror(error));
                    test::TempFolder folder;
                    if (hadOld)
                        folder.Write(target.name, target.before);
                    FaultyFiles fs;
                    Chop(fs);
                    fs.failAt = k;
                    fs.error = error;
                    platform::SaveResult saved;
                    {
                        UseFiles use(fs);
                        saved = target.save(folder.Path() + "/" + target.name);
                    }
                    ++cases;
                    EXPECT_EQ(static_cast<bool>(saved), k > renamed);
                    // The failed step's own reason, not one from tidying up.
                    EXPECT_EQ(saved.Reason(), k > renamed ? "" : std::strerror(error));
                    const std::string old = hadOld ? target.before : "<missing>";
                    EXPECT_EQ(folder.Read(target.name), k > renamed ? target.after : old);
                    const std::vector<std::string> left = Entries(folder.Path());
                    if (hadOld || k > renamed)
                        EXPECT_EQ(left, std::vector<std::string>{target.name});
                    else
                        EXPECT_TRUE(left.empty()) << left.front();
                    EXPECT_TRUE(fs.open.empty()) << "a descriptor left open";
                }
            }
        }
    }
    // Two files, with and without one before, three errors, every step.
    EXPECT_GE(cases, 2 * 2 * 3 * 10);
}

// The build tools' cues and pictures are saved the same way: synced before
// the rename, and a failure leaves what was there.
TEST(WriteFaults, CuesAndPicturesAreSavedThroughTheOneWriter) {
    art::Cue cue{"ding.wav", 22050, std::vector<std::int16_t>(500, 1234)};
    const std::vector<std::uint32_t> pixels = {0xFF102030, 0xFF405060, 0xFF708090, 0xFFA0B0C0};
    const std::vector<std::function<bool(const std::string&)>> saves = {
        [&](const std::string& path) { return art::WriteWavFile(path, cue); },
        [&](const std::string& path) { return WritePng(path, 2, 2, pixels.data()); }};
    for (const auto& save : saves) {
        test::TempFolder folder;
        const std::string path = folder.Path() + "/file";
        folder.Write("file", "old");
        FaultyFiles fs;
        UseFiles use(fs);
        ASSERT_TRUE(save(path));
        EXPECT_EQ(std::count(fs.calls.begin(), fs.calls.end(), "fsync"), 2) << "file and folder";
        const std::string saved = folder.Read("file");
        EXPECT_NE(saved, "old");
        fs.calls.clear();
        fs.failAt = 3; // open, write, fsync
        fs.error = EIO;
        folder.Write("file", "old");
        EXPECT_FALSE(save(path));
        EXPECT_EQ(fs.calls[2], "fsync");
        EXPECT_EQ(folder.Read("file"), "old");
        EXPECT_EQ(Entries(folder.Path()), std::vector<std::string>{"file"});
    }
}

// A picture reads back with the pixels it was given, as RGB when all are
// opaque and with alpha when any is not.
TEST(PngWriter, PicturesReadBackPixelForPixel) {
    const std::vector<std::vector<std::uint32_t>> pictures = {
        {0xFF102030, 0xFF405060, 0xFF708090, 0xFFA0B0C0, 0xFFFFFFFF, 0xFF000000},
        {0xFF102030, 0x80405060, 0x00708090, 0xFFA0B0C0, 0x01FFFFFF, 0xFE000000}};
    for (const auto& argb : pictures) {
        const std::vector<unsigned char> png = EncodePng(3, 2, argb.data());
        ASSERT_FALSE(png.empty());
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        ASSERT_NE(png_image_begin_read_from_memory(&image, png.data(), png.size()), 0);
        EXPECT_EQ(image.width, 3u);
        EXPECT_EQ(image.height, 2u);
        const bool opaque = argb[1] >> 24 == 0xFF;
        EXPECT_EQ((image.format & PNG_FORMAT_FLAG_ALPHA) == 0, opaque);
        image.format = PNG_FORMAT_ARGB;
        std::vector<unsigned char> back(PNG_IMAGE_SIZE(image));
        ASSERT_NE(png_image_finish_read(&image, nullptr, back.data(), 0, nullptr), 0);
        for (std::size_t k = 0; k < argb.size(); ++k) {
            const std::uint32_t pixel = std::uint32_t{back[4 * k]} << 24 |
                                        std::uint32_t{back[4 * k + 1]} << 16 |
                                        std::uint32_t{back[4 * k + 2]} << 8 | back[4 * k + 3];
            EXPECT_EQ(pixel, argb[k]) << k;
        }
    }
    EXPECT_TRUE(EncodePng(0, 2, pictures[0].data()).empty());
    EXPECT_FALSE(WritePng("/nonexistent-folder/p.png", 3, 2, pictures[0].data()));
}

// A failure while tidying up after a failure loses nothing more.
TEST(WriteFaults, AFailedRemovalAfterAFailedSaveStillKeepsTheOldFile) {
    for (const Target& target : Targets()) {
        test::TempFolder folder;
        folder.Write(target.name, target.before);
        FaultyFiles fs;
        fs.error = EIO;
        fs.beforeStep = [&fs](int step) {
            if (fs.calls.back() == "rename")
                fs.failAt = step;
            if (fs.calls.back() == "unlink") {
                fs.failAt = step;
                fs.error = EACCES;
            }
        };
        {
            UseFiles use(fs);
            const platform::SaveResult saved = target.save(folder.Path() + "/" + target.name);
            EXPECT_EQ(saved.Reason(), std::strerror(EIO)) << "the rename's reason";
        }
        EXPECT_EQ(fs.calls.back(), "unlink");
        EXPECT_EQ(folder.Read(target.name), target.before);
        EXPECT_EQ(Entries(folder.Path()).size(), 2u) << "the temporary file, which could not go";
    }
}

// A child saves and is killed before step k, for every k; the file it leaves
// reads back as the old one or the new one, whole, and the next save works.
TEST(WriteFaults, KilledBeforeAnyStepASaveLeavesTheOldFileOrTheNewOne) {
    int kills = 0;
    for (const Target& target : Targets()) {
        const SaveSteps steps = StepsOfASave(target);
        const int renamed = steps.renamed;
        for (int k = 1; k <= steps.Count() + 1; ++k) {
            SCOPED_TRACE(std::string(target.name) + ", killed before step " + std::to_string(k));
            test::TempFolder folder;
            folder.Write(target.name, target.before);
            const std::string path = folder.Path() + "/" + target.name;
            const pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                FaultyFiles fs;
                Chop(fs);
                fs.beforeStep = [k](int step) {
                    if (step == k)
                        ::raise(SIGKILL);
                };
                platform::SetFileSystem(&fs);
                ::_exit(target.save(path) ? 0 : 1);
            }
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            if (k <= steps.Count()) {
                ++kills;
                ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
            } else {
                ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the whole save";
            }
            EXPECT_EQ(folder.Read(target.name), k > renamed ? target.after : target.before);
            // A temporary file a killed save leaves is in no later save's way.
            EXPECT_TRUE(target.save(path));
            EXPECT_EQ(folder.Read(target.name), target.after);
        }
    }
    EXPECT_GE(kills, 20);
}

// The game goes on after a failed save: a tournament whose top-ten save fails
// at step k still shows the window, and Exit ends the program whether or not
// its speed save fails after it. Each failure is told once, in a message over
// the window and on stderr.
class SaveInTheGame : public test::Harness {
protected:
    SaveInTheGame() {
        modPegdrop::DataPath = data.Path() + "/";
        modPegdrop::SoundPath = modPegdrop::DataPath + "sounds/";
        // The name prompt is answered with `name`; every message is recorded
        // and answered.
        app().onModal = [this](ui::Window& dialog) {
            if (auto* box = dynamic_cast<ui::MessageDialog*>(&dialog)) {
                messages.push_back(box->Caption() + ": " + box->lblText.Caption());
                EXPECT_TRUE(box->imgIcon.Visible()) << "the stop icon";
            } else {
                Type(dialog, name);
            }
            PressKey(dialog, SDLK_RETURN);
        };
    }
    FrmTop10& TournamentEnds(std::int32_t total) {
        FrmBoard& board = modPegdrop::frmBoard.Load();
        Yield();
        modPegdrop::GameMode = 1;
        modPegdrop::Winnings = total;
        board.tmrRestart.SetEnabled(true);
        board.tmrRestart_Timer();
        FrmTop10* window = app().Find<FrmTop10>();
        EXPECT_NE(window, nullptr);
        return *window;
    }
    // The lines the game printed on stderr about itself.
    static std::vector<std::string> OwnLines(const std::string& stderrText) {
        std::vector<std::string> lines;
        std::istringstream in(stderrText);
        for (std::string line; std::getline(in, line);)
            if (line.starts_with("pegdrop: "))
                lines.push_back(line.substr(9));
        return lines;
    }
    std::string name = "Zed";
    std::vector<std::string> messages;
};

class FailedSaveInTheGame : public SaveInTheGame,
                            public ::testing::WithParamInterface<std::tuple<int, int>> {};

TEST_P(FailedSaveInTheGame, TheTopTenWindowOpensAndExitStillEndsTheProgram) {
    const auto [k, error] = GetParam();
    const std::vector<std::string> aSave = {"open",   "write",       "fsync", "close",
                                            "rename", "open folder", "fsync", "close"};
    const int renamed = 5;
    const std::string before = pegdrop::FormatTop10(Ladder(5000));
    data.Write("top10.dat", before);
    data.Write("speed.dat", "123\r\n");
    FaultyFiles fs;
    fs.failAt = k;
    fs.error = error;
    UseFiles use(fs);
    ::testing::internal::CaptureStderr();

    FrmTop10& window = TournamentEnds(9950);
    if (k > static_cast<int>(aSave.size())) {
        EXPECT_EQ(fs.calls, aSave) << "the top-ten save, untroubled";
    }
    EXPECT_TRUE(window.IsShown());
    EXPECT_EQ(window.NewEntryRow, 1);
    EXPECT_EQ(window.lblPlayer(1).Caption(), " Zed") << "the table as ranked, saved or not";
    pegdrop::Top10Table ranked = Ladder(5000);
    pegdrop::InsertTop10Row(ranked, 1, "Zed", 9950);
    EXPECT_EQ(data.Read("top10.dat"), k <= renamed ? before : pegdrop::FormatTop10(ranked));
    std::vector<std::string> told;
    if (k <= renamed)
        told.push_back(std::string("Your score could not be saved to top10.dat: ") +
                       std::strerror(error));
    EXPECT_EQ(messages.size(), told.size());

    modPegdrop::Speed = 250;
    const auto topTenCalls = static_cast<int>(fs.calls.size());
    window.cmdExit_Click();
    EXPECT_FALSE(app().HasWindows()) << "Exit ended the program";
    const int speedStep = k - topTenCalls;
    const bool speedFailed = speedStep >= 1 && speedStep <= renamed;
    EXPECT_EQ(data.Read("speed.dat"), speedFailed ? "123\r\n" : "250\r\n");
    if (speedFailed)
        told.push_back(std::string("Your speed setting could not be saved to speed.dat: ") +
                       std::strerror(error));
    EXPECT_EQ(OwnLines(::testing::internal::GetCapturedStderr()), told);
    for (std::string& line : told)
        line = "PEGDROP: " + line;
    EXPECT_EQ(messages, told);
    EXPECT_EQ(Entries(data.Path()), (std::vector<std::string>{"speed.dat", "top10.dat"}))
        << "no temporary file or lock file left";
}

// Steps 1 to 8 are the top-ten save, 9 to 16 the speed save at Exit (when the
// top-ten save went through; a failed one stops early, and the count goes on
// into the speed save sooner).
INSTANTIATE_TEST_SUITE_P(EveryStepAndError, FailedSaveInTheGame,
                         ::testing::Combine(::testing::Range(1, 17),
                                            ::testing::Values(ENOSPC, EIO, EACCES)));

// A top10.dat that is there but will not be read: refused at the open, as a
// file of mode 0200 is, or failing half-way through it, as a bad disk does.
class UnreadableFiles final : public platform::FileSystem {
public:
    int openError = 0;
    std::size_t readBeforeError = SIZE_MAX; // bytes a read gives before EIO
    int saves = 0;                          // temporary files opened

    int Open(const char* path, int flags, mode_t mode) override {
        ++saves;
        return FileSystem::Open(path, flags, mode);
    }
    int OpenToRead(const char* path, int flags) override {
        if (openError != 0 && std::string_view(path).ends_with("top10.dat"))
            return errno = openError, -1;
        return FileSystem::OpenToRead(path, flags);
    }
    ssize_t Read(int fd, void* data, std::size_t size) override {
        if (readBeforeError == 0)
            return errno = EIO, -1;
        const ssize_t n = FileSystem::Read(fd, data, std::min(size, readBeforeError));
        if (n > 0)
            readBeforeError -= static_cast<std::size_t>(n);
        return n;
    }
};

TEST_F(SaveInTheGame, AnUnreadableTopTenFileIsNeverReplacedAndTheRefusalIsTold) {
    const std::string before = pegdrop::FormatTop10(Ladder(5000));
    struct Case {
        const char* what;
        int openError;
        std::size_t readBeforeError;
        int told;
    };
    for (const Case& c :
         {Case{"mode 0200", EACCES, SIZE_MAX, EACCES}, Case{"a read error half-way", 0, 40, EIO}}) {
        SCOPED_TRACE(c.what);
        data.Write("top10.dat", before);
        messages.clear();
        UnreadableFiles fs;
        fs.openError = c.openError;
        fs.readBeforeError = c.readBeforeError;
        UseFiles use(fs);
        ::testing::internal::CaptureStderr();
        FrmTop10& window = TournamentEnds(500);
        const std::string told =
            std::string("Your score could not be saved to top10.dat: ") + std::strerror(c.told);
        EXPECT_EQ(OwnLines(::testing::internal::GetCapturedStderr()),
                  std::vector<std::string>{told});
        EXPECT_EQ(messages, std::vector<std::string>{"PEGDROP: " + told});
        EXPECT_EQ(data.Read("top10.dat"), before) << "byte for byte";
        EXPECT_EQ(fs.saves, 0);
        EXPECT_EQ(Entries(data.Path()), std::vector<std::string>{"top10.dat"});
        // What could be read, which is nothing, and this game's entry.
        EXPECT_EQ(window.NewEntryRow, 1);
        EXPECT_EQ(window.lblPlayer(1).Caption(), " Zed");
        EXPECT_EQ(window.lblScore(1).Caption(), "$500 ");
        EXPECT_EQ(window.lblPlayer(2).Caption(), " ");
        window.Unload();
        Yield();
    }
}

} // namespace
