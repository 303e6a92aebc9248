#include "game/modPegdrop.h"

#include "platform/paths.h"

#include <bit>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
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
        const auto bits = std::bit_cast<std::uint64_t>(seconds);
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

void PlaySound(const std::string& name) {
    if (soundSink != nullptr)
        soundSink->Play(SoundPath + name);
}

pegdrop::RandomSource& Random() {
    return *RandomHolder();
}

void SetRandomSource(std::unique_ptr<pegdrop::RandomSource> source) {
    RandomHolder() = source ? std::move(source) : std::make_unique<TimeSeededRandom>();
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

void ResetSharedState() {
    DataPath.clear();
    SoundPath.clear();
    GameMode = 0;
    Speed = 0;
    Winnings = 0;
}

ui::Options ApplicationOptions() {
    ui::Options options;
    options.scaleVariable = "PEGDROP_SCALE";
    options.name = "pegdrop";
    options.standIns = kFaceStandIns;
    return options;
}

} // namespace modPegdrop
