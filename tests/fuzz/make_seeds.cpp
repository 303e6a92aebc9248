// make_seeds DIR: writes the seeds that come from our own writers, into
// DIR/cue, DIR/top10 and DIR/speed: the game's cues cut short, in the formats
// a wave file may hold, whole and broken; top-ten tables and speeds as the
// game writes them.
#include "art/cues.h"
#include "platform/files.h"
#include "rules/speed_setting.h"
#include "rules/top10.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

using namespace pegdrop;

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Rewrites the format fields of our 44-byte header; the sample bytes stay.
Bytes Reformat(Bytes wav, std::uint16_t code, std::uint16_t channels, std::uint16_t bits) {
    const std::uint32_t rate = wav[24] | wav[25] << 8 | wav[26] << 16 | wav[27] << 24;
    const auto align = static_cast<std::uint16_t>(channels * bits / 8);
    Put16(wav, 20, code);
    Put16(wav, 22, channels);
    Put32(wav, 28, rate * align);
    Put16(wav, 32, align);
    Put16(wav, 34, bits);
    return wav;
}

bool Write(const std::string& path, const std::string& bytes) {
    if (platform::WriteFileAtomically(path, bytes))
        return true;
    std::fprintf(stderr, "make_seeds: cannot write %s\n", path.c_str());
    return false;
}

bool Write(const std::string& path, const Bytes& bytes) {
    return Write(path, std::string(bytes.begin(), bytes.end()));
}

bool CueSeeds(const std::string& dir) {
    bool ok = true;
    for (art::Cue cue : art::SynthesiseCues()) {
        const std::string name = cue.fileName.substr(0, cue.fileName.rfind('.'));
        if (cue.samples.size() > 300)
            cue.samples.resize(300);
        const Bytes wav = art::EncodeWav(cue);
        ok = Write(dir + "/" + name + ".wav", wav) && ok;
        if (name != "ding")
            continue;
        // One cue in every shape, so that each conversion has a start.
        ok = Write(dir + "/ding-stereo.wav", Reformat(wav, 1, 2, 16)) && ok;
        ok = Write(dir + "/ding-8bit.wav", Reformat(wav, 1, 1, 8)) && ok;
        ok = Write(dir + "/ding-32bit.wav", Reformat(wav, 1, 1, 32)) && ok;
        ok = Write(dir + "/ding-float.wav", Reformat(wav, 3, 1, 32)) && ok;
        ok = Write(dir + "/ding-mulaw.wav", Reformat(wav, 7, 1, 8)) && ok;
        ok = Write(dir + "/ding-alaw.wav", Reformat(wav, 6, 1, 8)) && ok;
        ok = Write(dir + "/ding-24bit-stereo.wav", Reformat(wav, 1, 2, 24)) && ok;
        for (int rate : {8000, 22050, 48000, 96000}) {
            art::Cue resampled = cue;
            resampled.sampleRate = rate;
            ok = Write(dir + "/ding-" + std::to_string(rate) + ".wav", art::EncodeWav(resampled)) &&
                 ok;
        }
        ok = Write(dir + "/ding-cut-in-header.wav", Bytes(wav.begin(), wav.begin() + 30)) && ok;
        ok = Write(dir + "/ding-cut-in-data.wav", Bytes(wav.begin(), wav.begin() + 101)) && ok;
        Bytes longer = wav;
        Put32(longer, 40, 1u << 30); // a data size far past the file's end
        ok = Write(dir + "/ding-data-overlong.wav", longer) && ok;
        art::Cue silent = cue;
        silent.samples.clear();
        ok = Write(dir + "/ding-no-samples.wav", art::EncodeWav(silent)) && ok;
    }
    return ok;
}

bool Top10Seeds(const std::string& dir) {
    Top10Table table;
    bool ok = Write(dir + "/written-empty", FormatTop10(table));
    InsertTop10Row(table, 1, "Ann", 12500);
    InsertTop10Row(table, 2, "", 0);
    InsertTop10Row(table, 1, "Smith, \"Bo\"", 90000);
    ok = Write(dir + "/written-three", FormatTop10(table)) && ok;
    for (int row = 1; row <= 10; ++row)
        InsertTop10Row(table, row, "Row \xc3\xa9" + std::to_string(row), 10000 - row * 100);
    return Write(dir + "/written-ten", FormatTop10(table)) && ok;
}

bool SpeedSeeds(const std::string& dir) {
    bool ok = true;
    for (std::int16_t speed : {1, 2, 299, 300, 499, 500})
        ok = Write(dir + "/written-" + std::to_string(speed), FormatSpeed(speed)) && ok;
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    std::error_code error;
    for (const char* sub : {"cue", "top10", "speed"})
        std::filesystem::create_directories(dir + "/" + sub, error);
    const bool ok =
        CueSeeds(dir + "/cue") && Top10Seeds(dir + "/top10") && SpeedSeeds(dir + "/speed");
    return ok ? 0 : 1;
}
