// Two copies of the game in one data folder: a save holds the file's lock for
// its whole read-modify-write, a copy that cannot have it within the wait
// saves regardless, and an entry the other copy saved meanwhile is kept.
#include "harness.h"

#include "game/data_files.h"
#include "platform/file_lock.h"

#include <filesystem>
#include <functional>
#ifdef _WIN32
#include "platform/files_windows.h"

#include <future>
#include <thread>
#else
#include "platform/files_posix.h"

#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

using pegdrop::kSaveLockWaitUs;

bool Exists(const std::string& path) {
    return std::filesystem::exists(std::filesystem::symlink_status(path));
}

TEST(FileLock, OneHolderAtATimeAndABusyLockIsGivenUpAfterTheWait) {
    test::TempFolder folder;
    const std::string path = folder.Path() + "/speed.dat";
    platform::ManualClock clock;
    clock.SetUs(1000);
    {
        const platform::FileLock held(path, clock, kSaveLockWaitUs);
        ASSERT_TRUE(held.Held());
        EXPECT_TRUE(Exists(path + ".lock"));
        const platform::FileLock second(path, clock, kSaveLockWaitUs);
        EXPECT_FALSE(second.Held());
        EXPECT_EQ(clock.NowUs(), 1000 + kSaveLockWaitUs) << "tried for the whole wait, no longer";
        // The speed at Exit is saved all the same.
        EXPECT_TRUE(pegdrop::SaveSpeedFile(path, 42, clock));
        EXPECT_EQ(folder.Read("speed.dat"), "42\r\n");
    }
    EXPECT_FALSE(Exists(path + ".lock")) << "the lock file goes with the lock";
    const std::uint64_t freed = clock.NowUs();
    EXPECT_TRUE(platform::FileLock(path, clock, kSaveLockWaitUs).Held());
    // A lock file left by a copy that was killed holding it is no one's.
    folder.Write("speed.dat.lock", "");
    EXPECT_TRUE(platform::FileLock(path, clock, kSaveLockWaitUs).Held());
    EXPECT_EQ(clock.NowUs(), freed) << "a free lock is had at once";
    // Nowhere to keep a lock file: no lock, and no wait for one.
    EXPECT_FALSE(platform::FileLock("/nonexistent-folder/speed.dat", clock, 1000).Held());
    EXPECT_EQ(clock.NowUs(), freed);
}

// The manual clock, except that the first sleep (a busy lock) lets the other
// copy finish and waits until it has.
class WaitForOther final : public platform::Clock {
public:
    std::function<void()> onFirstSleep;
    int sleeps = 0;
    std::uint64_t NowUs() override { return clock_.NowUs(); }
    void SleepUntilUs(std::uint64_t when) override {
        if (sleeps++ == 0 && onFirstSleep)
            onFirstSleep();
        clock_.SleepUntilUs(when);
    }

private:
    platform::ManualClock clock_;
};

// Beta's save, made while Alpha's stood inside its own, waited for it and
// ranked into the table Alpha left.
void ExpectBothKept(const test::TempFolder& folder, const pegdrop::Top10Saved& beta,
                    const WaitForOther& betaClock) {
    EXPECT_GT(betaClock.sleeps, 0) << "Beta's save did not wait for Alpha's";
    EXPECT_TRUE(beta.result);
    EXPECT_EQ(beta.row, 2);
    pegdrop::Top10Table both;
    both[0] = {"Alpha", 21000};
    both[1] = {"Beta", 1000};
    EXPECT_EQ(pegdrop::FormatTop10(beta.table), pegdrop::FormatTop10(both));
    EXPECT_EQ(folder.Read("top10.dat"), pegdrop::FormatTop10(both));
    EXPECT_FALSE(Exists(folder.Path() + "/top10.dat.lock"));
}

// The two copies are two processes here; on Windows two threads, each with
// its own handle on the lock file, as LockFileEx locks by handle.
#ifndef _WIN32
// Stops a save at its first step, with the table read and the lock held,
// until told to go on.
class PausedFiles final : public platform::FileSystem {
public:
    PausedFiles(int paused, int goOn) : paused_(paused), goOn_(goOn) {}
    int Open(const char* path, int flags, mode_t mode) override {
        char byte = 'p';
        if (!stopped_ && (::write(paused_, &byte, 1) != 1 || ::read(goOn_, &byte, 1) != 1))
            ::_exit(3);
        stopped_ = true;
        return FileSystem::Open(path, flags, mode);
    }

private:
    int paused_;
    int goOn_;
    bool stopped_ = false;
};

// Alpha's copy reads the table and stops inside its save; Beta's copy then
// saves. Beta waits for the lock, and ranks into the table Alpha left.
TEST(SharedTop10, ASaveWaitsForTheOtherCopysSaveAndKeepsItsEntry) {
    test::TempFolder folder;
    const std::string path = folder.Path() + "/top10.dat";
    int paused[2] = {-1, -1};
    int goOn[2] = {-1, -1};
    ASSERT_EQ(::pipe(paused), 0);
    ASSERT_EQ(::pipe(goOn), 0);
    platform::ManualClock clock;
    const pid_t alpha = ::fork();
    ASSERT_GE(alpha, 0);
    if (alpha == 0) {
        PausedFiles files(paused[1], goOn[0]);
        platform::SetFileSystem(&files);
        const auto saved = pegdrop::SaveTop10Entry(path, pegdrop::Top10Row{"Alpha", 21000}, clock);
        ::_exit(saved.result && saved.row == 1 ? 0 : 1);
    }
    ::close(paused[1]);
    ::close(goOn[0]);
    int status = -1;
    const auto finishAlpha = [&] {
        if (status != -1)
            return;
        const char byte = 'g';
        EXPECT_EQ(::write(goOn[1], &byte, 1), 1);
        EXPECT_EQ(::waitpid(alpha, &status, 0), alpha);
    };
    char byte = 0;
    ASSERT_EQ(::read(paused[0], &byte, 1), 1) << "Alpha's copy did not reach its save";

    WaitForOther beta;
    beta.onFirstSleep = finishAlpha;
    const auto saved = pegdrop::SaveTop10Entry(path, pegdrop::Top10Row{"Beta", 1000}, beta);
    finishAlpha();
    ::close(paused[0]);
    ::close(goOn[1]);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "Alpha's save";
    ExpectBothKept(folder, saved, beta);
}

#else

// Stops the first save at its first step, with the table read and the lock
// held, until told to go on.
class PausedFiles final : public platform::FileSystem {
public:
    std::promise<void> paused;
    std::shared_future<void> goOn;
    void* CreateNew(const wchar_t* path) override {
        if (!stopped_) {
            stopped_ = true;
            paused.set_value();
            goOn.wait();
        }
        return FileSystem::CreateNew(path);
    }

private:
    bool stopped_ = false;
};

TEST(SharedTop10, ASaveWaitsForTheOtherCopysSaveAndKeepsItsEntry) {
    test::TempFolder folder;
    const std::string path = folder.Path() + "/top10.dat";
    PausedFiles files;
    std::promise<void> goOn;
    files.goOn = goOn.get_future().share();
    std::future<void> paused = files.paused.get_future();
    test::UseFiles use(files);
    platform::ManualClock clock;
    pegdrop::Top10Saved alpha;
    std::thread alphaCopy([&] {
        alpha = pegdrop::SaveTop10Entry(path, pegdrop::Top10Row{"Alpha", 21000}, clock);
    });
    paused.wait();
    const auto finishAlpha = [&] {
        if (!alphaCopy.joinable())
            return;
        goOn.set_value();
        alphaCopy.join();
    };
    WaitForOther beta;
    beta.onFirstSleep = finishAlpha;
    const auto saved = pegdrop::SaveTop10Entry(path, pegdrop::Top10Row{"Beta", 1000}, beta);
    finishAlpha();
    EXPECT_TRUE(alpha.result && alpha.row == 1) << "Alpha's save";
    ExpectBothKept(folder, saved, beta);
}

#endif

} // namespace
