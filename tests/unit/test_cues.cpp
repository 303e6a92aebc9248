// The synthesised cues: their files, their cleanliness and their shapes.
#include "harness.h"

#include "art/cues.h"
#include "ui/sdl_ptrs.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

namespace {

using art::Cue;

const std::vector<Cue>& Cues() {
    static const std::vector<Cue> cues = art::SynthesiseCues();
    return cues;
}

const Cue& Named(const std::string& name) {
    for (const Cue& c : Cues())
        if (c.fileName == name)
            return c;
    static const Cue none;
    ADD_FAILURE() << "no cue " << name;
    return none;
}

double Seconds(const Cue& c) {
    return static_cast<double>(c.samples.size()) / c.sampleRate;
}

int Peak(const std::vector<std::int16_t>& s, std::size_t from = 0, std::size_t to = SIZE_MAX) {
    int peak = 0;
    for (std::size_t i = from; i < std::min(to, s.size()); ++i)
        peak = std::max(peak, std::abs(static_cast<int>(s[i])));
    return peak;
}

double Rms(const Cue& c) {
    double sum = 0.0;
    for (std::int16_t v : c.samples)
        sum += static_cast<double>(v) * v;
    return std::sqrt(sum / static_cast<double>(c.samples.size()));
}

// Sign changes per second between two times: a rough pitch, enough to tell
// high from low and rising from falling.
double Crossings(const Cue& c, double from, double to) {
    const auto a = static_cast<std::size_t>(from * c.sampleRate);
    const auto b = std::min(c.samples.size(), static_cast<std::size_t>(to * c.sampleRate));
    int count = 0;
    for (std::size_t i = a + 1; i < b; ++i)
        if ((c.samples[i - 1] < 0) != (c.samples[i] < 0))
            ++count;
    return count / (to - from);
}

// The strongest period of a 30 ms stretch by autocorrelation, as a pitch in
// hertz from 40 to 1000: the fundamental of a low voice, where crossings
// would count its harmonics.
double Pitch(const Cue& c, double at) {
    const auto from = static_cast<std::size_t>(at * c.sampleRate);
    const auto window = static_cast<std::size_t>(0.03 * c.sampleRate);
    const int shortest = c.sampleRate / 1000, longest = c.sampleRate / 40;
    if (from + window + static_cast<std::size_t>(longest) > c.samples.size())
        return 0.0;
    double best = -1.0;
    int bestLag = longest;
    for (int lag = shortest; lag <= longest; ++lag) {
        double product = 0.0, here = 0.0, there = 0.0;
        for (std::size_t i = from; i < from + window; ++i) {
            const double x = c.samples[i], y = c.samples[i + static_cast<std::size_t>(lag)];
            product += x * y;
            here += x * x;
            there += y * y;
        }
        const double r = product / std::sqrt(here * there + 1.0);
        if (r > best + 1e-3) {
            best = r;
            bestLag = lag;
        }
    }
    return static_cast<double>(c.sampleRate) / bestLag;
}

std::uint32_t Little(const std::vector<std::uint8_t>& b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | b.at(at + static_cast<std::size_t>(i));
    return v;
}

std::string Tag(const std::vector<std::uint8_t>& b, std::size_t at) {
    return std::string(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at + 4));
}

// Reads a wave file as EncodeWav writes it, checking every header field.
std::vector<std::int16_t> ParseWav(const std::vector<std::uint8_t>& b, int rate) {
    EXPECT_GE(b.size(), 44u);
    if (b.size() < 44)
        return {};
    EXPECT_EQ(Tag(b, 0), "RIFF");
    EXPECT_EQ(Little(b, 4, 4), b.size() - 8);
    EXPECT_EQ(Tag(b, 8), "WAVE");
    EXPECT_EQ(Tag(b, 12), "fmt ");
    EXPECT_EQ(Little(b, 16, 4), 16u);
    EXPECT_EQ(Little(b, 20, 2), 1u); // PCM
    EXPECT_EQ(Little(b, 22, 2), 1u); // mono
    EXPECT_EQ(Little(b, 24, 4), static_cast<std::uint32_t>(rate));
    EXPECT_EQ(Little(b, 28, 4), static_cast<std::uint32_t>(rate) * 2);
    EXPECT_EQ(Little(b, 32, 2), 2u);
    EXPECT_EQ(Little(b, 34, 2), 16u);
    EXPECT_EQ(Tag(b, 36), "data");
    const std::uint32_t data = Little(b, 40, 4);
    EXPECT_EQ(data, b.size() - 44);
    std::vector<std::int16_t> samples;
    for (std::size_t at = 44; at + 1 < b.size(); at += 2)
        samples.push_back(static_cast<std::int16_t>(Little(b, at, 2)));
    return samples;
}

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::set<std::string> Listing(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

TEST(Cues, AreTheThirteenFilesOnceEachInTableOrderAndTheSameEveryTime) {
    ASSERT_EQ(Cues().size(), art::kCueFiles.size());
    std::set<std::string> names;
    for (std::size_t i = 0; i < Cues().size(); ++i) {
        EXPECT_EQ(Cues()[i].fileName, art::kCueFiles[i]);
        names.insert(Cues()[i].fileName);
    }
    EXPECT_EQ(names,
              (std::set<std::string>{"pegdrop.wav", "ding.wav", "bounce1.wav", "bounce2.wav",
                                     "100.wav", "500.wav", "1000.wav", "10000.wav", "0-1.wav",
                                     "0-2.wav", "horns.wav", "Zelto.wav", "empty.wav"}));
    EXPECT_EQ(art::CuePeak("missing.wav"), 0);

    const std::vector<Cue> again = art::SynthesiseCues();
    for (std::size_t i = 0; i < again.size(); ++i)
        EXPECT_EQ(again[i].samples, Cues()[i].samples) << again[i].fileName;
}

TEST(Cues, StartAndEndInSilenceReachTheirPeakExactlyAndCarryNoOffset) {
    for (const Cue& c : Cues()) {
        SCOPED_TRACE(c.fileName);
        ASSERT_GT(c.samples.size(), 1000u);
        EXPECT_EQ(c.sampleRate, art::kCueSampleRate);
        EXPECT_LE(std::abs(c.samples.front()), 2);
        EXPECT_LE(std::abs(c.samples.back()), 2);
        // Not just the last sample: the final millisecond is a fade, not a cut.
        const std::size_t ms = static_cast<std::size_t>(c.sampleRate / 1000);
        EXPECT_LT(Peak(c.samples, c.samples.size() - ms), art::CuePeak(c.fileName) / 20);

        const int peak = art::CuePeak(c.fileName);
        EXPECT_GE(peak, 16000);
        EXPECT_NEAR(Peak(c.samples), peak, 1);
        EXPECT_LT(Peak(c.samples), 32767) << "saturated";

        double sum = 0.0;
        for (std::int16_t v : c.samples)
            sum += v;
        EXPECT_LT(std::abs(sum / static_cast<double>(c.samples.size())), 0.002 * peak);
    }
}

TEST(Cues, LastAsLongAsTheirRoles) {
    const std::map<std::string, std::pair<double, double>> range = {
        {"pegdrop.wav", {1.5, 2.5}},   {"ding.wav", {0.3, 0.5}},  {"bounce1.wav", {0.04, 0.09}},
        {"bounce2.wav", {0.04, 0.09}}, {"100.wav", {0.2, 0.6}},   {"500.wav", {0.4, 1.0}},
        {"1000.wav", {0.8, 1.6}},      {"10000.wav", {1.5, 2.5}}, {"0-1.wav", {0.6, 1.5}},
        {"0-2.wav", {0.5, 1.2}},       {"horns.wav", {1.2, 1.8}}, {"Zelto.wav", {4.0, 8.0}},
        {"empty.wav", {0.7, 1.4}}};
    ASSERT_EQ(range.size(), Cues().size());
    for (const Cue& c : Cues()) {
        const auto [shortest, longest] = range.at(c.fileName);
        EXPECT_GE(Seconds(c), shortest) << c.fileName;
        EXPECT_LE(Seconds(c), longest) << c.fileName;
    }
    // Bigger prizes, longer celebrations.
    EXPECT_LT(Seconds(Named("100.wav")), Seconds(Named("500.wav")));
    EXPECT_LT(Seconds(Named("500.wav")), Seconds(Named("1000.wav")));
    EXPECT_LT(Seconds(Named("1000.wav")), Seconds(Named("10000.wav")));
}

TEST(Cues, PegPlinksStrikeAtOnceAndDifferFromEachOther) {
    const Cue& one = Named("bounce1.wav");
    const Cue& two = Named("bounce2.wav");
    for (const Cue* c : {&one, &two}) {
        SCOPED_TRACE(c->fileName);
        // Retriggered at every peg: the strike must be heard within 3 ms...
        const auto strike = static_cast<std::size_t>(0.003 * c->sampleRate);
        EXPECT_GE(Peak(c->samples, 0, strike), art::CuePeak(c->fileName) / 2);
        // ...and ring down well before the next one.
        const std::size_t half = c->samples.size() / 2;
        EXPECT_LT(Peak(c->samples, half), Peak(c->samples, 0, half) / 2);
    }
    // Different pitches, not the same plink twice.
    EXPECT_NE(one.samples.size(), two.samples.size());
    EXPECT_GT(std::abs(Crossings(one, 0.0, 0.04) - Crossings(two, 0.0, 0.04)), 300.0);
    // The plinks are heard dozens of times a drop: softer than any prize.
    EXPECT_LT(art::CuePeak("bounce1.wav"), art::CuePeak("100.wav"));
}

TEST(Cues, DisappointmentsFallAndTheLosingHornIsLowAndLoudest) {
    const Cue& wah = Named("0-1.wav");
    const Cue& bwow = Named("0-2.wav");
    EXPECT_NE(wah.samples.size(), bwow.samples.size());
    // The wah's second note sags below its first; the slide falls two octaves;
    // the farewell's phrase falls a fifth.
    EXPECT_GT(Pitch(wah, 0.1), 1.05 * Pitch(wah, 0.8));
    EXPECT_GT(Pitch(bwow, 0.05), 2.0 * Pitch(bwow, 0.5));
    const Cue& farewell = Named("empty.wav");
    EXPECT_GT(Crossings(farewell, 0.02, 0.2), 1.3 * Crossings(farewell, 0.5, 0.9));

    // A big low blast, far duller than the bright ding.
    const Cue& horns = Named("horns.wav");
    EXPECT_LT(Pitch(horns, 0.5), 80.0);
    EXPECT_LT(Crossings(horns, 0.1, 1.2), 0.5 * Crossings(Named("ding.wav"), 0.01, 0.3));
    for (const Cue& c : Cues()) {
        if (&c != &horns) {
            EXPECT_GT(Rms(horns), Rms(c)) << c.fileName;
            EXPECT_GT(art::CuePeak("horns.wav"), art::CuePeak(c.fileName)) << c.fileName;
        }
    }
}

TEST(Wav, HeaderFieldsAndSamplesReadBackForOddValuesAndEveryCue) {
    Cue extremes{"x.wav", 22050, {0, 1, -1, 256, -256, 32767, -32768, 0}};
    const std::vector<std::uint8_t> bytes = art::EncodeWav(extremes);
    EXPECT_EQ(bytes.size(), 44u + 16u);
    EXPECT_EQ(ParseWav(bytes, 22050), extremes.samples);
    // Little-endian, two's complement.
    EXPECT_EQ(bytes[44 + 6], 0x00);
    EXPECT_EQ(bytes[44 + 7], 0x01);
    EXPECT_EQ(bytes[44 + 12], 0x00);
    EXPECT_EQ(bytes[44 + 13], 0x80);

    for (const Cue& c : Cues())
        EXPECT_EQ(ParseWav(art::EncodeWav(c), c.sampleRate), c.samples) << c.fileName;

    Cue noRate{"r.wav", 0, {0, 0}};
    EXPECT_TRUE(art::EncodeWav(noRate).empty());
}

TEST(Wav, SdlAcceptsEveryCueAsItIs) {
    for (const Cue& c : Cues()) {
        SCOPED_TRACE(c.fileName);
        const std::vector<std::uint8_t> bytes = art::EncodeWav(c);
        SDL_AudioSpec loaded{};
        Uint8* raw = nullptr;
        Uint32 length = 0;
        ASSERT_NE(SDL_LoadWAV_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())),
                                 1, &loaded, &raw, &length),
                  nullptr)
            << SDL_GetError();
        ui::WavPtr owned(raw);
        EXPECT_EQ(loaded.freq, c.sampleRate);
        EXPECT_EQ(loaded.format, AUDIO_S16LSB);
        EXPECT_EQ(loaded.channels, 1);
        ASSERT_EQ(length, c.samples.size() * 2);
        EXPECT_EQ(std::memcmp(owned.get(), bytes.data() + 44, length), 0);
    }
}

TEST(WavFile, ReplacesTheFileWholeAndLeavesNoTemporary) {
    test::TempFolder folder;
    const std::string path = folder.Path() + "/ding.wav";
    const Cue& ding = Named("ding.wav");
    ASSERT_TRUE(art::WriteWavFile(path, Named("empty.wav")));
    ASSERT_TRUE(art::WriteWavFile(path, ding));
    EXPECT_EQ(ReadBytes(path), art::EncodeWav(ding));
    EXPECT_EQ(Listing(folder.Path()), std::set<std::string>{"ding.wav"});
}

TEST(WavFile, FailsCleanlyWhereItCannotWrite) {
    test::TempFolder folder;
    const Cue& ding = Named("ding.wav");
    EXPECT_FALSE(art::WriteWavFile(folder.Path() + "/absent/ding.wav", ding));
    EXPECT_FALSE(std::filesystem::exists(folder.Path() + "/absent"));
    // A folder in the way: the rename fails and the temporary goes.
    std::filesystem::create_directory(folder.Path() + "/taken.wav");
    EXPECT_FALSE(art::WriteWavFile(folder.Path() + "/taken.wav", ding));
    // A cue no header can describe writes nothing at all.
    EXPECT_FALSE(art::WriteWavFile(folder.Path() + "/r.wav", Cue{"r.wav", 0, {0}}));
    EXPECT_EQ(Listing(folder.Path()), std::set<std::string>{"taken.wav"});
}

} // namespace
