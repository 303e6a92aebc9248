// What the game leans on from mingw-w64's runtime and from SDL that a wrong
// toolchain flavour or link line breaks while still building cleanly.
#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

namespace {

// The win32 flavour of mingw-w64 has no std::thread; a static libgcc whose
// unwinder is missing or doubled loses exceptions at the thread boundary.
TEST(Runtime, ThreadsShareAMutexAndPassExceptionsBack) {
    int count = 0;
    std::mutex mutex;
    auto add = [&] {
        for (int i = 0; i < 1000; ++i) {
            std::lock_guard lock(mutex);
            ++count;
        }
    };
    std::thread a(add), b(add);
    a.join();
    b.join();
    EXPECT_EQ(count, 2000);

    auto failing = std::async(std::launch::async, [] { return std::stoi("peg"); });
    EXPECT_THROW(failing.get(), std::invalid_argument);
}

// Save files live under the player's profile folder, whose name need not be
// ASCII: a UTF-8 path must reach the same file through the C++ library and SDL.
TEST(Runtime, NonAsciiPathsReachTheSameFile) {
    const auto dir = std::filesystem::temp_directory_path() / std::filesystem::path(u8"pegdrop-ü");
    std::filesystem::create_directories(dir);
    const auto file = dir / std::filesystem::path(u8"scöre.txt");
    std::ofstream(file) << "4096";

    const std::u8string utf8 = file.u8string();
    SDL_RWops* rw = SDL_RWFromFile(reinterpret_cast<const char*>(utf8.c_str()), "rb");
    ASSERT_NE(rw, nullptr) << SDL_GetError();
    char buffer[8] = {};
    const size_t read = SDL_RWread(rw, buffer, 1, sizeof buffer);
    SDL_RWclose(rw);
    EXPECT_EQ(std::string(buffer, read), "4096");
    std::filesystem::remove_all(dir);
}

} // namespace
