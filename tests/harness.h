// The headless harness: the real control layer on SDL's dummy video driver, a
// manual clock for timers and frame pacing, input pushed through SDL's own
// event queue, pixels read back, and a recorder for the cues asked for.
#pragma once

#include "game/modPegdrop.h"
#include "ui/application.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {
class FileSystem; // the calls a save is made of: files_posix.h, files_windows.h
}

namespace test {

class CueRecorder final : public modPegdrop::SoundSink {
public:
    void Play(const std::string& path) override { paths.push_back(path); }
    void Stop() override { ++stops; }
    // Names relative to the sound folder, as the game asks for them.
    std::vector<std::string> Names() const;
    std::vector<std::string> paths;
    int stops = 0;
};

// Sets an environment variable for this process, or removes it (nullptr).
void SetEnv(const char* name, const char* value);

// Sets or clears an environment variable for one scope.
class Environment {
public:
    Environment(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        SetEnv(name, value);
    }
    ~Environment() { SetEnv(name_, old_ ? old_->c_str() : nullptr); }
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

// Points the player's settings file into `folder` while it lives, through the
// variable each system reads: XDG_CONFIG_HOME, or APPDATA on Windows.
class SettingsIn {
public:
    explicit SettingsIn(const std::string& folder);
    // The settings file's bytes, or "<missing>".
    std::string Read() const;
    void Write(const std::string& content) const;

private:
    std::string folder_;
    Environment variable_;
};

// Saves go through `fs` while this lives.
class UseFiles {
public:
    explicit UseFiles(platform::FileSystem& fs);
    ~UseFiles();
    UseFiles(const UseFiles&) = delete;
    UseFiles& operator=(const UseFiles&) = delete;
};

// The names in a folder, sorted.
std::vector<std::string> Entries(const std::string& folder);

// A new folder in the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return path_; }
    void Write(const std::string& name, const std::string& content) const;
    std::string Read(const std::string& name) const;

private:
    std::string path_;
};

class Harness : public ::testing::Test {
protected:
    // Input goes to the windows as the system sends it: on a composited
    // desktop, to the desktop's window at the window's place on it.
    explicit Harness(ui::WindowSystem system = ui::WindowSystem::kNative);
    ~Harness() override;
    // Ends the program and starts a new one, its windows shown the way given.
    void Restart(ui::WindowSystem system);

    ui::Application& app() { return *app_; }
    platform::ManualClock& clock() { return *clock_; }
    std::uint64_t NowMs() { return clock_->NowUs() / 1000u; }

    // The yield: pending input, due ticks and painting, once.
    void Yield();
    // Lets time pass, ticking every timer that falls due on the way.
    void Advance(int ms);
    // Lets time pass until a millisecond before the timer's next tick.
    void AdvanceToJustBefore(const ui::Timer& timer);
    void AdvanceUntilUs(std::uint64_t when);

    // The window that holds the keys: where the system sends what is typed.
    ui::Window& Keys();
    // Keys as SDL delivers them: a key event, and text for printable ones.
    void Type(ui::Window& w, const std::string& text);
    // Down, the text the system sends with the key (none for nullptr), up.
    void PressKey(ui::Window& w, SDL_Keycode key, Uint16 mod = KMOD_NONE,
                  const char* text = nullptr);
    void MouseMove(ui::Window& w, int x, int y, Uint32 buttonMask = 0);
    void MouseDown(ui::Window& w, int x, int y, Uint8 button = SDL_BUTTON_LEFT) {
        MouseButton(w, x, y, button, true);
    }
    void MouseUp(ui::Window& w, int x, int y, Uint8 button = SDL_BUTTON_LEFT) {
        MouseButton(w, x, y, button, false);
    }
    void MouseButton(ui::Window& w, int x, int y, Uint8 button, bool down);
    void Click(ui::Window& w, int x, int y);
    void CloseBox(ui::Window& w);
    // Queued input waits for the next yield, so it can arrive inside a handler.
    void Post(SDL_Event event);
    // The board as a player first sees it: the splash shown and clicked.
    FrmBoard& OpenBoard();

    std::uint32_t Pixel(ui::Window& w, int x, int y);
    // The window's client area as the screen shows it, in screen pixels.
    std::vector<std::uint32_t> ClientOnScreen(ui::Window& w);
    static ui::Color ColorOf(std::uint32_t argb);

    CueRecorder cues;
    TempFolder data;

private:
    void Start(ui::WindowSystem system);
    // The native window input for `w` arrives with, and the point (x, y) of
    // the window's client area there.
    std::uint32_t InputTo(const ui::Window& w, int& x, int& y) const;
    std::uint32_t KeysTo(const ui::Window& w) const;
    void PostButton(std::uint32_t windowId, int x, int y, Uint8 button, bool down);

    platform::ManualClock* clock_ = nullptr;
    std::unique_ptr<ui::Application> app_;
    std::string previousDirectory_;
};

} // namespace test
