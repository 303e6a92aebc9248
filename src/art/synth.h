// A small additive/FM synthesiser for the game's cues: notes of a timbre are
// mixed into a float track, which is then finished into 16-bit samples.
// Everything is deterministic: no clocks, no global random state.
#pragma once

#include <cstdint>
#include <vector>

namespace art::synth {

// Pitch of a MIDI note number (69 = A4 = 440 Hz).
double Hz(int midi);

struct Partial {
    double ratio = 1.0; // to the note's pitch; need not be whole (bells)
    double gain = 1.0;
    double decay = 0.0; // extra fading of this partial, in nepers per second
    double phase = 0.0; // starting phase, in cycles
};

// Raised-cosine attack and release, so no note can click; an exponential
// decay (time constant `decay`) from full level towards `sustain`.
struct Envelope {
    double attack = 0.005;
    double decay = 0.2;
    double sustain = 1.0;
    double release = 0.05;
};

struct Timbre {
    std::vector<Partial> partials{{1.0, 1.0, 0.0}};
    Envelope envelope;
    // Phase modulation of every partial by a sine at fmRatio x pitch. The index
    // follows the envelope, so a swelling note grows brighter as brass does.
    double fmRatio = 0.0;
    double fmIndex = 0.0;
    double fmIndexFloor = 0.0; // part of the index present even at low level
    double vibratoHz = 0.0;
    double vibratoDepth = 0.0; // fraction of the pitch
    double vibratoDelay = 0.0; // seconds before vibrato fades in
};

struct Note {
    double start = 0.0;  // seconds into the track
    double length = 0.0; // gate time; the release follows it
    double hz = 440.0;
    double gain = 1.0;
    double endHz = 0.0; // > 0: exponential glide to this pitch over the gate
};

// Band-limited noise with a raised-cosine attack and exponential fade.
struct Noise {
    double start = 0.0;
    double length = 0.0;
    double gain = 1.0;
    double attack = 0.001;
    double decay = 0.01;
    double lowHz = 1000.0;  // high-pass corner
    double highHz = 8000.0; // low-pass corner
    std::uint32_t seed = 1;
};

// A mono mix that grows to hold whatever is played into it.
class Track {
public:
    explicit Track(int sampleRate) : rate_(sampleRate) {}

    int Rate() const { return rate_; }
    const std::vector<float>& Samples() const { return mix_; }

    void Play(const Timbre& timbre, const Note& note);
    void Play(const Noise& noise);

    // Soft-clips the mix, its loudest sample taken as 1: a blast overdriven
    // the way a real horn's bell and speaker are, louder for the same peak.
    void Overdrive(double drive);

    // Removes DC, fades the very ends to silence, and scales the loudest
    // sample to exactly +-peak.
    std::vector<std::int16_t> Finish(int peak) const;

private:
    int rate_;
    std::vector<float> mix_;
};

} // namespace art::synth
