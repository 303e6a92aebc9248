#include "harness.h"

#include "game/frmBoard.h"
#include "game/frmSplash.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/settings_path.h"
#ifdef _WIN32
#include "platform/files_windows.h"
#else
#include "platform/files_posix.h"
#endif

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace test {

std::vector<std::string> CueRecorder::Names() const {
    std::vector<std::string> names;
    for (const std::string& p : paths)
        names.push_back(
            p.rfind(modPegdrop::SoundPath, 0) == 0 ? p.substr(modPegdrop::SoundPath.size()) : p);
    return names;
}

void SetEnv(const char* name, const char* value) {
#ifdef _WIN32
    // The C runtime's own table, which getenv and SDL_getenv read; an empty
    // value removes the variable.
    ::_putenv_s(name, value != nullptr ? value : "");
#else
    if (value != nullptr)
        ::setenv(name, value, 1);
    else
        ::unsetenv(name);
#endif
}

#ifdef _WIN32
constexpr const char* kSettingsVariable = "APPDATA";
#else
constexpr const char* kSettingsVariable = "XDG_CONFIG_HOME";
#endif

SettingsIn::SettingsIn(const std::string& folder)
    : folder_(std::filesystem::path(folder).make_preferred().string()),
      variable_(kSettingsVariable, folder_.c_str()) {}

std::string SettingsIn::Read() const {
    return platform::ReadWholeFile(platform::SettingsFilePath()).value_or("<missing>");
}

void SettingsIn::Write(const std::string& content) const {
    const std::string file = platform::SettingsFilePath();
    if (!platform::MakeFolderFor(file))
        ADD_FAILURE() << "cannot make the folder of " << file;
    std::ofstream(file, std::ios::binary) << content;
}

UseFiles::UseFiles(platform::FileSystem& fs) {
    platform::SetFileSystem(&fs);
}

UseFiles::~UseFiles() {
    platform::SetFileSystem(nullptr);
}

std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TempFolder::TempFolder() {
    // create_directory makes a name that is already there fail, as mkdtemp does.
    static std::mt19937_64 names{std::random_device{}()};
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, "pegdrop-%012llx",
                      static_cast<unsigned long long>(names() & 0xFFFFFFFFFFFFull));
        std::error_code error;
        if (std::filesystem::create_directory(base / name, error))
            path_ = (base / name).string();
    }
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    if (!path_.empty())
        std::filesystem::remove_all(path_, ignored);
}

void TempFolder::Write(const std::string& name, const std::string& content) const {
    std::ofstream(path_ + "/" + name, std::ios::binary) << content;
}

std::string TempFolder::Read(const std::string& name) const {
    return platform::ReadWholeFile(path_ + "/" + name).value_or("<missing>");
}

Harness::Harness(ui::WindowSystem system) {
    SetEnv("SDL_VIDEODRIVER", "dummy");
    SetEnv("SDL_RENDER_DRIVER", "software");
    SetEnv("SDL_AUDIODRIVER", "dummy");
    // Texts are tested as a player without a locale of their own sees them,
    // whatever the locale of whoever runs the tests.
    SetEnv("LC_ALL", "C");
    previousDirectory_ = platform::CurrentDirectory();
    std::error_code error;
    std::filesystem::current_path(data.Path(), error);
    if (error)
        ADD_FAILURE() << "cannot enter " << data.Path();
    Start(system);
}

void Harness::Start(ui::WindowSystem system) {
    auto clock = std::make_unique<platform::ManualClock>();
    clock_ = clock.get();
    clock_->SetUs(1'000'000);
    ui::Options options = modPegdrop::ApplicationOptions();
    options.clock = std::move(clock);
    options.frameRateHz = 60;
    // Whatever the display or PEGDROP_SCALE say: tests scale windows themselves.
    options.scale = 1;
    options.windowSystem = system;
    options.windowSystemVariable.clear();
    app_ = std::make_unique<ui::Application>(std::move(options));
    modPegdrop::ResetSharedState();
    modPegdrop::SetSoundSink(&cues);
}

void Harness::Restart(ui::WindowSystem system) {
    app_->EndProgram();
    app_->DoEvents();
    app_.reset();
    Start(system);
}

Harness::~Harness() {
    app_->EndProgram();
    app_->DoEvents();
    app_.reset();
    modPegdrop::SetSoundSink(nullptr);
    modPegdrop::SetRandomSource(nullptr);
    std::error_code error;
    std::filesystem::current_path(previousDirectory_, error);
    if (error)
        ADD_FAILURE() << "cannot go back to " << previousDirectory_;
}

void Harness::Yield() {
    app_->DoEvents();
}

void Harness::Advance(int ms) {
    AdvanceUntilUs(clock_->NowUs() + static_cast<std::uint64_t>(ms) * 1000u);
}

void Harness::AdvanceUntilUs(std::uint64_t target) {
    for (;;) {
        clock_->SetUs(std::min(target, app_->NextTimerDueUs()));
        Yield();
        if (clock_->NowUs() >= target)
            break;
    }
}

void Harness::AdvanceToJustBefore(const ui::Timer& timer) {
    if (timer.DueUs() > clock_->NowUs() + 1000)
        AdvanceUntilUs(timer.DueUs() - 1000);
}

FrmBoard& Harness::OpenBoard() {
    FrmSplash& splash = app_->Instance<FrmSplash>();
    splash.Show();
    Click(splash, 240, 150);
    FrmBoard* board = app_->Find<FrmBoard>();
    if (board == nullptr)
        throw std::runtime_error("the splash opened no board");
    return *board;
}

void Harness::Post(SDL_Event event) {
    SDL_PushEvent(&event);
}

ui::Window& Harness::Keys() {
    ui::Window* w = app_->KeyWindow();
    if (w == nullptr)
        throw std::runtime_error("no window holds the keys");
    return *w;
}

void Harness::PressKey(ui::Window& w, SDL_Keycode key, Uint16 mod, const char* text) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.windowID = KeysTo(w);
    e.key.state = SDL_PRESSED;
    e.key.keysym.sym = key;
    e.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    e.key.keysym.mod = mod;
    Post(e);
    if (text != nullptr) {
        SDL_Event t{};
        t.type = SDL_TEXTINPUT;
        t.text.windowID = KeysTo(w);
        SDL_strlcpy(t.text.text, text, sizeof t.text.text);
        Post(t);
    }
    e.type = SDL_KEYUP;
    e.key.state = SDL_RELEASED;
    Post(e);
}

void Harness::Type(ui::Window& w, const std::string& text) {
    for (const char c : text) {
        const char typed[2] = {c, '\0'};
        PressKey(w, static_cast<SDL_Keycode>(std::tolower(static_cast<unsigned char>(c))),
                 KMOD_NONE, typed);
    }
    Yield();
}

void Harness::MouseMove(ui::Window& w, int x, int y, Uint32 buttonMask) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = InputTo(w, x, y);
    e.motion.state = buttonMask;
    e.motion.x = x;
    e.motion.y = y;
    Post(e);
}

std::uint32_t Harness::InputTo(const ui::Window& w, int& x, int& y) const {
    const ui::Desktop* desktop = app_->CompositedDesktop();
    if (desktop == nullptr)
        return w.NativeId();
    const SDL_Point origin = desktop->Origin(w);
    x += origin.x;
    y += origin.y;
    return desktop->NativeId();
}

std::uint32_t Harness::KeysTo(const ui::Window& w) const {
    const ui::Desktop* desktop = app_->CompositedDesktop();
    return desktop != nullptr ? desktop->NativeId() : w.NativeId();
}

void Harness::MouseButton(ui::Window& w, int x, int y, Uint8 button, bool down) {
    const std::uint32_t id = InputTo(w, x, y);
    PostButton(id, x, y, button, down);
}

void Harness::PostButton(std::uint32_t windowId, int x, int y, Uint8 button, bool down) {
    SDL_Event e{};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.windowID = windowId;
    e.button.button = button;
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = 1;
    e.button.x = x;
    e.button.y = y;
    Post(e);
}

void Harness::Click(ui::Window& w, int x, int y) {
    MouseDown(w, x, y);
    MouseUp(w, x, y);
    Yield();
}

void Harness::CloseBox(ui::Window& w) {
    if (const ui::Desktop* desktop = app_->CompositedDesktop()) {
        const SDL_Rect box = desktop->CloseBox(w);
        PostButton(desktop->NativeId(), box.x + box.w / 2, box.y + box.h / 2, SDL_BUTTON_LEFT,
                   true);
        PostButton(desktop->NativeId(), box.x + box.w / 2, box.y + box.h / 2, SDL_BUTTON_LEFT,
                   false);
        return;
    }
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = w.NativeId();
    e.window.event = SDL_WINDOWEVENT_CLOSE;
    Post(e);
}

std::uint32_t Harness::Pixel(ui::Window& w, int x, int y) {
    const std::vector<std::uint32_t> pixels = w.ReadPixels();
    return pixels.at(static_cast<std::size_t>(y * w.ClientWidth() + x));
}

std::vector<std::uint32_t> Harness::ClientOnScreen(ui::Window& w) {
    ui::Desktop* desktop = app_->CompositedDesktop();
    if (desktop == nullptr)
        return w.ReadScreenPixels();
    const SDL_Point origin = desktop->Origin(w);
    return desktop->ReadPixels(
        {origin.x, origin.y, w.ClientWidth() * w.Scale(), w.ClientHeight() * w.Scale()});
}

ui::Color Harness::ColorOf(std::uint32_t argb) {
    return ui::RGB(static_cast<int>(argb >> 16 & 0xFF), static_cast<int>(argb >> 8 & 0xFF),
                   static_cast<int>(argb & 0xFF));
}

} // namespace test

#if defined(__SANITIZE_ADDRESS__)
// fontconfig keeps its configuration for the life of the process; glibc's
// newlocale keeps the list of folders it makes of LOCPATH, which the test of
// the German thousands separator may set (named __argz_add_sep or
// argz_add_sep, as the C library's symbols allow).
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:argz_add_sep\n";
}
#endif
