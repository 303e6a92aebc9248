// The cue player on SDL's disk audio driver: what reaches the ear.
#include "harness.h"

#include "art/cues.h"
#include "game/cue_player.h"
#include "platform/paths.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

namespace {

art::Cue Level(const std::string& name, std::int16_t level, double seconds) {
    art::Cue cue;
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
    ASSERT_TRUE(art::WriteWavFile(folder.Path() + "/a.wav", Level("a.wav", 9000, 1.0)));
    ASSERT_TRUE(art::WriteWavFile(folder.Path() + "/b.wav", Level("b.wav", -9000, 0.1)));
    const std::string out = folder.Path() + "/out.raw";
    test::SetEnv("SDL_AUDIODRIVER", "disk");
    test::SetEnv("SDL_DISKAUDIOFILE", out.c_str());
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
    test::SetEnv("SDL_AUDIODRIVER", "dummy");
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

std::string Bytes(const std::vector<std::uint8_t>& v) {
    return {v.begin(), v.end()};
}

TEST(CueDecode, ConvertsToTheDeviceFormatAndRefusesWhatIsNoWave) {
    const std::string wav = Bytes(art::EncodeWav(Level("a.wav", 9000, 0.5)));
    SDL_AudioSpec same{};
    same.freq = 22050;
    same.format = AUDIO_S16SYS;
    same.channels = 1;
    const auto plain = pegdrop::DecodeCue(wav, same);
    ASSERT_TRUE(plain);
    ASSERT_EQ(plain->size(), wav.size() - 44) << "the data chunk as it is";
    EXPECT_EQ(std::memcmp(plain->data(), wav.data() + 44, plain->size()), 0);

    SDL_AudioSpec device = same;
    device.freq = 44100;
    device.channels = 2;
    const auto converted = pegdrop::DecodeCue(wav, device);
    ASSERT_TRUE(converted);
    // Twice the rate and twice the channels: four times the bytes, the
    // level kept on both sides (the resampler's filter may shade it a little).
    EXPECT_NEAR(static_cast<double>(converted->size()), 4.0 * static_cast<double>(plain->size()),
                64.0);
    std::int16_t middle[2] = {};
    std::memcpy(middle, converted->data() + (converted->size() / 8) * 4, sizeof middle);
    EXPECT_NEAR(middle[0], 9000, 90);
    EXPECT_NEAR(middle[1], 9000, 90);

    EXPECT_FALSE(pegdrop::DecodeCue("", device));
    EXPECT_FALSE(pegdrop::DecodeCue(wav.substr(0, 20), device)) << "header cut short";
    EXPECT_FALSE(pegdrop::DecodeCue(std::string(4096, '\0'), device));
    std::string notWave = wav;
    notWave.replace(8, 4, "AVI ");
    EXPECT_FALSE(pegdrop::DecodeCue(notWave, device));
    // Half a second of data claiming 100 samples a second: minutes at the
    // device's rate, refused before the converter's buffer is made.
    std::string slow = wav;
    const std::uint8_t rate[4] = {100, 0, 0, 0}, byteRate[4] = {200, 0, 0, 0};
    slow.replace(24, 4, reinterpret_cast<const char*>(rate), 4);
    slow.replace(28, 4, reinterpret_cast<const char*>(byteRate), 4);
    EXPECT_FALSE(pegdrop::DecodeCue(slow, device));
}

// Cues that are a FIFO, an endless device (where the system has them), a
// folder or a file past the read limit are silent, the start does not wait on
// them, and the good cue beside them still plays.
TEST(CuePlayer, OddCueFilesAreSilentAndLeaveTheOthersPlaying) {
    test::TempFolder folder;
    const std::string at = folder.Path() + "/";
    std::vector<const char*> odd;
#ifndef _WIN32
    ASSERT_EQ(::mkfifo((at + "ding.wav").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", at + "bounce1.wav");
    odd = {"ding.wav", "bounce1.wav"};
#endif
    std::filesystem::create_directory(at + "bounce2.wav");
    odd.insert(odd.end(), {"bounce2.wav", "100.wav"});
    const double longer = 1.1 * static_cast<double>(pegdrop::kCueReadLimit) / 2.0 / 22050.0;
    ASSERT_TRUE(art::WriteWavFile(at + "100.wav", Level("100.wav", -9000, longer)));
    ASSERT_TRUE(art::WriteWavFile(at + "500.wav", Level("500.wav", 9000, 0.3)));
    const std::string out = at + "out.raw";
    test::SetEnv("SDL_AUDIODRIVER", "disk");
    test::SetEnv("SDL_DISKAUDIOFILE", out.c_str());
    int channels = 0;
    {
        pegdrop::CuePlayer player;
        ASSERT_TRUE(player.HasDevice()) << SDL_GetError();
        channels = player.DeviceSpec().channels;
        for (const char* name : odd)
            player.Play(at + name);
        SDL_Delay(200); // long enough to hear the last of them, were it let through
        player.Play(at + "500.wav");
        SDL_Delay(400);
    }
    test::SetEnv("SDL_AUDIODRIVER", "dummy");
    std::ifstream in(out, std::ios::binary);
    const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::vector<Stretch> runs = Listen(raw, channels);
    EXPECT_TRUE(std::any_of(runs.begin(), runs.end(), [](auto& r) { return r.what == Heard::A; }));
    EXPECT_TRUE(std::none_of(runs.begin(), runs.end(), [](auto& r) { return r.what == Heard::B; }))
        << "a cue past the read limit must stay silent";
}

// A player opened later keeps the last cue asked for until it opens, and
// starts it then; a cue stopped before it opens never sounds.
TEST(CuePlayer, ACueAskedForBeforeTheDeviceOpensStartsAsItOpensUnlessStopped) {
    test::TempFolder folder;
    const std::string a = folder.Path() + "/a.wav", b = folder.Path() + "/b.wav";
    ASSERT_TRUE(art::WriteWavFile(a, Level("a.wav", 9000, 0.2)));
    ASSERT_TRUE(art::WriteWavFile(b, Level("b.wav", -9000, 0.2)));
    test::SetEnv("SDL_AUDIODRIVER", "disk");
    for (const bool stopped : {false, true}) {
        const std::string out = folder.Path() + (stopped ? "/stopped.raw" : "/played.raw");
        test::SetEnv("SDL_DISKAUDIOFILE", out.c_str());
        int channels = 0;
        {
            pegdrop::CuePlayer player(pegdrop::CuePlayer::Opening::Later);
            player.Play(b);
            player.Play(a);
            if (stopped)
                player.Stop();
            EXPECT_FALSE(player.HasDevice()) << "opened before it was asked to";
            player.Open();
            ASSERT_TRUE(player.HasDevice()) << SDL_GetError();
            channels = player.DeviceSpec().channels;
            SDL_Delay(350);
        }
        std::ifstream in(out, std::ios::binary);
        const std::string raw((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
        std::vector<Stretch> runs = Listen(raw, channels);
        std::erase_if(runs, [](const Stretch& r) { return r.what == Heard::Silence; });
        if (stopped) {
            EXPECT_TRUE(runs.empty()) << "a stopped cue sounded";
        } else {
            ASSERT_EQ(runs.size(), 1u) << "only the last cue asked for";
            EXPECT_EQ(runs[0].what, Heard::A);
        }
    }
    test::SetEnv("SDL_AUDIODRIVER", "dummy");
}

// Every one of the game's cues is decoded ahead, whether the folder is named
// at the start or its first cue plays, in the system's own spelling of paths:
// with the files gone after that, each cue still sounds when it first plays.
TEST(CuePlayer, EveryCueIsDecodedAheadAndItsFirstPlayReadsNoFile) {
    test::TempFolder folder;
    const std::string at = folder.Path() + platform::kPathSeparator;
    test::SetEnv("SDL_AUDIODRIVER", "disk");
    test::SetEnv("SDL_DISKAUDIOFILE", (at + "out.raw").c_str());
    for (const bool named : {true, false}) {
        SCOPED_TRACE(named ? "the folder named at the start" : "the folder of the first cue");
        for (const char* name : art::kCueFiles)
            ASSERT_TRUE(art::WriteWavFile(at + name, Level(name, 9000, 0.05)));
        pegdrop::CuePlayer player;
        ASSERT_TRUE(player.HasDevice()) << SDL_GetError();
        if (named)
            player.Preload(at);
        else
            player.Play(at + art::kCueFiles[0]);
        for (const char* name : art::kCueFiles)
            std::filesystem::remove(at + name);
        for (const char* name : art::kCueFiles) {
            const std::int64_t before = player.LastCueStartNs();
            player.Play(at + name);
            for (int wait = 0; wait < 200 && player.LastCueStartNs() == before; ++wait)
                SDL_Delay(10);
            EXPECT_NE(player.LastCueStartNs(), before) << name << " was not heard";
        }
    }
    test::SetEnv("SDL_AUDIODRIVER", "dummy");
}

TEST(CuePlayer, WithoutADeviceEveryCueIsSilentAndReturns) {
    test::SetEnv("SDL_AUDIODRIVER", "no-such-driver");
    {
        pegdrop::CuePlayer player;
        EXPECT_FALSE(player.HasDevice());
        player.Play("/nonexistent/ding.wav");
    }
    test::SetEnv("SDL_AUDIODRIVER", "dummy");
}

} // namespace
