// Cue decoding hands the device whole frames even when a wave header's block
// size contradicts its channels and sample size, as fuzzing found.
#include "art/cues.h"
#include "game/cue_player.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

// Our own 16-bit mono cue, its header made to claim `channels` channels of
// `bits` bits in blocks of `align` bytes.
std::string Reshaped(std::uint16_t channels, std::uint16_t bits, std::uint16_t align,
                     std::size_t samples) {
    art::Cue cue;
    cue.fileName = "odd.wav";
    cue.sampleRate = 44100;
    for (std::size_t i = 0; i < samples; ++i)
        cue.samples.push_back(static_cast<std::int16_t>(i * 97));
    const std::vector<std::uint8_t> wav = art::EncodeWav(cue);
    std::string bytes(wav.begin(), wav.end());
    const auto put16 = [&](std::size_t at, std::uint16_t v) {
        bytes[at] = static_cast<char>(v & 0xFF);
        bytes[at + 1] = static_cast<char>(v >> 8);
    };
    put16(22, channels);
    put16(32, align);
    put16(34, bits);
    return bytes;
}

TEST(CueDecode, BlockSizeThatBeliesTheFormatStillGivesWholeFrames) {
    const std::string shapes[] = {
        Reshaped(5, 16, 2, 19), // 38 bytes: three frames of ten and a cut one
        Reshaped(3, 16, 2, 10),
        Reshaped(1, 16, 1, 7),
        Reshaped(2, 16, 2, 5),
    };
    const SDL_AudioSpec devices[] = {
        pegdrop::AudioFormat(44100, AUDIO_S16SYS, 2), pegdrop::AudioFormat(22050, AUDIO_S16SYS, 1),
        pegdrop::AudioFormat(48000, AUDIO_S16SYS, 2), pegdrop::AudioFormat(44100, AUDIO_F32SYS, 6)};
    int decoded = 0;
    for (std::size_t s = 0; s < std::size(shapes); ++s)
        for (const SDL_AudioSpec& device : devices) {
            const auto samples = pegdrop::DecodeCue(shapes[s], device);
            if (!samples)
                continue;
            ++decoded;
            const std::size_t frame = SDL_AUDIO_BITSIZE(device.format) / 8 * device.channels;
            EXPECT_EQ(samples->size() % frame, 0u)
                << "shape " << s << ", device " << device.freq << " Hz x" << int{device.channels};
        }
    // SDL takes such headers; were it to refuse them all, this test would be moot.
    EXPECT_GT(decoded, 0);
}

} // namespace
