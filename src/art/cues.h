// The game's sound cues, synthesised by our own code, and their wave files.
// Plain code; the build writes the files with pegdrop-sounds.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace art {

struct Cue {
    std::string fileName;
    int sampleRate = 0;
    std::vector<std::int16_t> samples; // mono
};

inline constexpr std::array<const char*, 13> kCueFiles = {
    "pegdrop.wav", "ding.wav", "bounce1.wav", "bounce2.wav", "100.wav",   "500.wav",  "1000.wav",
    "10000.wav",   "0-1.wav",  "0-2.wav",     "horns.wav",   "Zelto.wav", "empty.wav"};

// The cue player's device rate, so cues play without resampling; it also
// keeps the bells' upper partials far from Nyquist.
inline constexpr int kCueSampleRate = 44100;

// The level each cue's loudest sample is scaled to; 0 for a name that is not
// a cue. The horn is loudest, the peg plinks, heard dozens of times a drop,
// the quietest.
int CuePeak(std::string_view fileName);

// All thirteen, in the order of kCueFiles; the same samples on every call.
std::vector<Cue> SynthesiseCues();

// RIFF/WAVE, 16-bit PCM mono; empty when the cue cannot be described by a
// header (no rate, or too long for 32-bit sizes).
std::vector<std::uint8_t> EncodeWav(const Cue& cue);

// Replaces the file whole (WriteFileAtomically), so a reader never sees half
// a file; false (and no temporary left) on any failure.
bool WriteWavFile(const std::string& path, const Cue& cue);

} // namespace art
