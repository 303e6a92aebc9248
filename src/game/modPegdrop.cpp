#include "game/modPegdrop.h"

#include "game/faces.h"
#include "game/frmBoard.h"
#include "game/frmSpeed.h"
#include "game/frmTop10.h"
#include "game/images.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/settings_path.h"
#include "rules/settings_text.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <random>
#include <vector>

namespace modPegdrop {
namespace {

// The scoreboard's LED face was laid out for a narrow face: it holds "90000"
// in 90 pixels at 18 points, so its digits advance under 0.75 em, where the
// stand-in's digits advance 0.83 em.
const std::vector<ui::FaceStandIn> kFaceStandIns = {
    {"Arial", "Liberation Sans", 0.0f},
    {"EggCrate", "DSEG7 Classic", 0.7f},
};

SoundSink* soundSink = nullptr;

class TimeSeededRandom final : public pegdrop::RandomSource {
public:
    void Reseed(double seconds) override {
        // The whole bit pattern, so drops within one second differ.
        // The builtin std::bit_cast is made of: emscripten's libc++ 13 has
        // no std::bit_cast.
        const auto bits = __builtin_bit_cast(std::uint64_t, seconds);
        std::seed_seq seq{static_cast<std::uint32_t>(bits), static_cast<std::uint32_t>(bits >> 32)};
        engine_.seed(seq);
    }
    float Next() override {
        float r = std::uniform_real_distribution<float>(0.0f, 1.0f)(engine_);
        // Some library versions can round up to the bound itself.
        return r < 1.0f ? r : 0.0f;
    }

private:
    std::mt19937 engine_{std::random_device{}()};
};

std::unique_ptr<pegdrop::RandomSource>& RandomHolder() {
    static std::unique_ptr<pegdrop::RandomSource> source = std::make_unique<TimeSeededRandom>();
    return source;
}

} // namespace

void SetSoundSink(SoundSink* sink) {
    soundSink = sink;
}

pegdrop::Settings ReadSettings() {
    if (SettingsFile.empty())
        return {};
    return pegdrop::ParseSettings(
        platform::ReadRegularFile(SettingsFile, pegdrop::kSettingsReadLimit).value_or(""));
}

void UseSettings() {
    SettingsFile = platform::SettingsFilePath();
    const pegdrop::Settings settings = ReadSettings();
    const auto muted = settings.find("muted");
    Muted = muted != settings.end() && muted->second == "1";
    const auto scale = settings.find("scale");
    ChosenScale =
        scale != settings.end() ? ui::ParseScaleOverride(scale->second.c_str()).value_or(0) : 0;
}

void SaveSetting(const std::string& key, const std::string& value) {
    if (SettingsFile.empty())
        return;
    pegdrop::Settings settings = ReadSettings();
    settings.insert_or_assign(key, value);
    // A choice that cannot be kept still holds for this run; the player is
    // told on stderr, since a window over the game for a setting would be more
    // bother than the setting.
    const platform::SaveResult saved =
        platform::MakeFolderFor(SettingsFile)
            ? platform::WriteFileAtomically(SettingsFile, pegdrop::FormatSettings(settings))
            : platform::SaveResult("cannot make its folder");
    if (!saved)
        std::fprintf(stderr, "pegdrop: your settings could not be saved to %s: %s\n",
                     SettingsFile.c_str(), saved.Reason().c_str());
}

void SetMuted(bool muted) {
    Muted = muted;
    if (muted && soundSink != nullptr)
        soundSink->Stop();
    if (frmBoard.Exists())
        frmBoard->ShowMuted();
    SaveSetting("muted", muted ? "1" : "0");
}

void PlaySound(const std::string& name) {
    if (soundSink != nullptr && !Muted)
        soundSink->Play(SoundPath + name);
}

pegdrop::RandomSource& Random() {
    return *RandomHolder();
}

void SetRandomSource(std::unique_ptr<pegdrop::RandomSource> source) {
    RandomHolder() = source ? std::move(source) : std::make_unique<TimeSeededRandom>();
}

void ReportTiming(const char* variable, const std::string& line, bool append) {
    const char* file = std::getenv(variable);
    if (file != nullptr && *file != '\0')
        std::ofstream(file, append ? std::ios::app : std::ios::trunc) << line << '\n';
}

void ReportFall(std::int16_t speed, std::uint64_t us) {
    ReportTiming("PEGDROP_FALL_FILE", std::to_string(speed) + ' ' + std::to_string(us), true);
}

double SecondsSinceMidnight() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    const double fraction =
        duration<double>(now.time_since_epoch()).count() - static_cast<double>(t);
    return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + fraction;
}

std::string UseStartFolder() {
    const std::string folder = platform::CurrentDirectory();
    if (folder.empty()) {
        const int error = errno;
        return "cannot tell which folder it was started in (" +
               std::string(error == ERANGE ? "its path is too long" : std::strerror(error)) + ")";
    }
    DataPath = platform::DataPathFor(folder);
    SoundPath = DataPath + "sounds" + platform::kPathSeparator;
    return {};
}

void PrepareWindowsAhead() {
    ui::Application& app = ui::App();
    app.DoAhead(pegdrop::images::UnpackAhead);
    app.DoAhead(FrmBoard::RenderTextAhead);
    app.DoAhead(FrmSpeed::RenderTextAhead);
    app.DoAhead(FrmTop10::RenderTextAhead);
}

void ResetSharedState() {
    DataPath.clear();
    SoundPath.clear();
    GameMode = 0;
    Speed = 0;
    Winnings = 0;
    Muted = false;
    SettingsFile.clear();
    ChosenScale = 0;
}

ui::Options ApplicationOptions() {
    ui::Options options;
    options.scaleVariable = "PEGDROP_SCALE";
    options.windowSystemVariable = "PEGDROP_DESKTOP";
    options.name = "pegdrop";
    options.standIns = kFaceStandIns;
    options.facesAhead = faces::All();
    options.chosenScale = ChosenScale;
    options.programKeys = [](const SDL_Keysym& key) {
        const bool plain = (key.mod & (KMOD_CTRL | KMOD_ALT | KMOD_SHIFT)) == 0;
        const bool altOnly = (key.mod & KMOD_ALT) != 0 && (key.mod & KMOD_CTRL) == 0;
        if ((key.sym == SDLK_F11 && plain) ||
            ((key.sym == SDLK_RETURN || key.sym == SDLK_KP_ENTER) && altOnly)) {
            if (ui::Window* keys = ui::App().KeyWindow())
                keys->SetFullScreen(!keys->IsFullScreen());
            return true;
        }
        if ((key.mod & KMOD_CTRL) == 0 || (key.mod & KMOD_ALT) != 0)
            return false;
        switch (key.sym) {
        case SDLK_m:
            SetMuted(!Muted);
            return true;
        case SDLK_PLUS:
        case SDLK_EQUALS:
        case SDLK_KP_PLUS:
        case SDLK_MINUS:
        case SDLK_KP_MINUS: {
            const bool larger = key.sym != SDLK_MINUS && key.sym != SDLK_KP_MINUS;
            ChosenScale = ui::App().StepScale(larger ? 1 : -1);
            SaveSetting("scale", std::to_string(ChosenScale));
            return true;
        }
        case SDLK_0:
        case SDLK_KP_0:
            ChosenScale = 0;
            ui::App().AutomaticScale();
            SaveSetting("scale", "0");
            return true;
        default:
            return false;
        }
    };
    return options;
}

} // namespace modPegdrop
