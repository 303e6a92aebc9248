// The cue player on SDL's disk audio driver: what reaches the ear.
#include "harness.h"

#include "app/cue_player.h"
#include "assets/cues.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

assets::Cue Level(const std::string& name, std::int16_t level, double seconds) {
    assets::Cue cue;
    cue.fileName = name;
    cue.sampleRate = 22050;
    cue.samples.assign(static_cast<std::size_t>(seconds * cue.sampleRate), level);
    return cue;
}

enum class Heard { Silence, A, B, Other };

struct Stretch {
    Heard what;
    std::size_t frames;
};

// The output as runs of what was heard, left channel, short blips folded in.
std::vector<Stretch> Listen(const std::string& raw, int channels) {
    std::vector<Stretch> runs;
    const auto* s = reinterpret_cast<const std::int16_t*>(raw.data());
    const std::size_t frames = raw.size() / 2 / static_cast<std::size_t>(channels);
    for (std::size_t i = 0; i < frames; ++i) {
        const int v = s[i * static_cast<std::size_t>(channels)];
        const Heard h = v > 7000           ? Heard::A
                        : v < -7000        ? Heard::B
                        : std::abs(v) < 50 ? Heard::Silence
                                           : Heard::Other;
        if (h == Heard::Other)
            continue;
        if (!runs.empty() && runs.back().what == h)
            ++runs.back().frames;
        else
            runs.push_back({h, 1});
    }
    std::erase_if(runs, [](const Stretch& r) { return r.frames < 8; });
    for (std::size_t i = 1; i < runs.size();) {
        if (runs[i].what == runs[i - 1].what) {
            runs[i - 1].frames += runs[i].frames;
            runs.erase(runs.begin() + static_cast<long>(i));
        } else {
            ++i;
        }
    }
    return runs;
}

TEST(CuePlayer, ALaterCueCutsOffTheEarlierAndAMissingFileIsSilent) {
    test::TempFolder folder;
    ASSERT_TRUE(assets::WriteWavFile(folder.Path() + "/a.wav", Level("a.wav", 9000, 1.0)));
    ASSERT_TRUE(assets::WriteWavFile(folder.Path() + "/b.wav", Level("b.wav", -9000, 0.1)));
    const std::string out = folder.Path() + "/out.raw";
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
    int channels = 0;
    int rate = 0;
    {
        pegdrop::CuePlayer player;
        ASSERT_TRUE(player.HasDevice()) << SDL_GetError();
        channels = player.DeviceSpec().channels;
        rate = player.DeviceSpec().freq;
        player.Play(folder.Path() + "/a.wav");
        SDL_Delay(250);
        player.Play(folder.Path() + "/b.wav");
        SDL_Delay(300);
        player.Play(folder.Path() + "/a.wav");
        SDL_Delay(250);
        player.Play(folder.Path() + "/missing.wav");
        SDL_Delay(300);
    }
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::ifstream in(out, std::ios::binary);
    const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<Stretch> runs = Listen(raw, channels);
    if (!runs.empty() && runs.front().what == Heard::Silence)
        runs.erase(runs.begin());
    ASSERT_EQ(runs.size(), 5u);
    const std::size_t whole = static_cast<std::size_t>(rate);
    EXPECT_EQ(runs[0].what, Heard::A);
    EXPECT_LT(runs[0].frames, whole / 2) << "cut off by the second cue";
    EXPECT_EQ(runs[1].what, Heard::B);
    EXPECT_NEAR(static_cast<double>(runs[1].frames), 0.1 * rate, 0.01 * rate) << "played whole";
    EXPECT_EQ(runs[2].what, Heard::Silence);
    EXPECT_EQ(runs[3].what, Heard::A);
    EXPECT_LT(runs[3].frames, whole / 2) << "a missing file still ends the cue before";
    EXPECT_EQ(runs[4].what, Heard::Silence);
}

TEST(CuePlayer, WithoutADeviceEveryCueIsSilentAndReturns) {
    ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    {
        pegdrop::CuePlayer player;
        EXPECT_FALSE(player.HasDevice());
        player.Play("/nonexistent/ding.wav");
    }
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
}

} // namespace
