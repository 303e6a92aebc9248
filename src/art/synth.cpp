#include "art/synth.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace art::synth {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// A table sine: the cues take millions of partial-samples, and std::sin for
// each would be most of the build step's time. Interpolated, the table is
// within 1e-6 of the true sine.
constexpr int kTableSize = 4096;

const std::array<float, kTableSize + 1>& SineTable() {
    static const auto table = [] {
        std::array<float, kTableSize + 1> t{};
        for (int i = 0; i <= kTableSize; ++i)
            t[static_cast<std::size_t>(i)] = static_cast<float>(std::sin(kTwoPi * i / kTableSize));
        return t;
    }();
    return table;
}

// sin(2 pi cycles)
float SineOfCycles(double cycles) {
    const auto& table = SineTable();
    const double wrapped = cycles - std::floor(cycles);
    const double position = wrapped * kTableSize;
    const auto index = static_cast<std::size_t>(position);
    const auto fraction = static_cast<float>(position - static_cast<double>(index));
    return table[index] + (table[index + 1] - table[index]) * fraction;
}

double Held(const Envelope& e, double t) {
    if (t < e.attack)
        return 0.5 - 0.5 * std::cos(std::numbers::pi * t / e.attack);
    if (e.decay <= 0.0)
        return e.sustain;
    return e.sustain + (1.0 - e.sustain) * std::exp(-(t - e.attack) / e.decay);
}

double Level(const Envelope& e, double t, double gate) {
    if (t < gate)
        return Held(e, t);
    if (e.release <= 0.0)
        return 0.0;
    const double r = (t - gate) / e.release;
    if (r >= 1.0)
        return 0.0;
    return Held(e, gate) * (0.5 + 0.5 * std::cos(std::numbers::pi * r));
}

double OnePoleCoefficient(double hz, int rate) {
    return 1.0 - std::exp(-kTwoPi * hz / rate);
}

} // namespace

double Hz(int midi) {
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

void Track::Play(const Timbre& timbre, const Note& note) {
    const double seconds = note.length + std::max(0.0, timbre.envelope.release);
    const auto first = static_cast<std::size_t>(std::lround(note.start * rate_));
    const auto count = static_cast<std::size_t>(std::ceil(seconds * rate_));
    if (mix_.size() < first + count)
        mix_.resize(first + count, 0.0f);

    // Per-sample level, pitch (cycles per sample) and modulation (cycles),
    // shared by all partials.
    std::vector<double> level(count), step(count), modulation(count, 0.0);
    const double glide =
        note.endHz > 0.0 ? std::pow(note.endHz / note.hz, 1.0 / std::max(1.0, note.length * rate_))
                         : 1.0;
    double hz = note.hz;
    double modPhase = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / rate_;
        level[i] = Level(timbre.envelope, t, note.length);
        double vibrato = 0.0;
        if (timbre.vibratoDepth > 0.0 && t > timbre.vibratoDelay) {
            const double fadeIn = std::min(1.0, (t - timbre.vibratoDelay) / 0.15);
            vibrato = timbre.vibratoDepth * fadeIn * std::sin(kTwoPi * timbre.vibratoHz * t);
        }
        step[i] = hz * (1.0 + vibrato) / rate_;
        if (timbre.fmIndex > 0.0) {
            const double index =
                timbre.fmIndex * (timbre.fmIndexFloor + (1.0 - timbre.fmIndexFloor) * level[i]);
            modulation[i] = index / kTwoPi * SineOfCycles(modPhase);
            modPhase += timbre.fmRatio * step[i];
        }
        if (i < static_cast<std::size_t>(note.length * rate_))
            hz *= glide;
    }

    const double highest = std::max(note.hz, note.endHz) * (1.0 + timbre.vibratoDepth);
    float* out = mix_.data() + first;
    for (const Partial& p : timbre.partials) {
        // Partials near Nyquist would fold back as inharmonic whistles.
        if (p.ratio * highest >= 0.45 * rate_)
            continue;
        const double fade = std::exp(-p.decay / rate_);
        double amplitude = note.gain * p.gain;
        double phase = p.phase;
        for (std::size_t i = 0; i < count; ++i) {
            out[i] += static_cast<float>(amplitude * level[i] *
                                         SineOfCycles(phase + p.ratio * modulation[i]));
            phase += p.ratio * step[i];
            amplitude *= fade;
        }
    }
}

void Track::Play(const Noise& noise) {
    const auto first = static_cast<std::size_t>(std::lround(noise.start * rate_));
    const auto count = static_cast<std::size_t>(std::ceil(noise.length * rate_));
    if (mix_.size() < first + count)
        mix_.resize(first + count, 0.0f);
    const double lowPass = OnePoleCoefficient(noise.highHz, rate_);
    const double cornerPass = OnePoleCoefficient(noise.lowHz, rate_);
    const double tail = std::min(0.005, noise.length / 4.0);
    std::uint32_t state = noise.seed != 0 ? noise.seed : 1;
    double smooth = 0.0, rumble = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        const double white = static_cast<double>(state) / 2147483648.0 - 1.0;
        smooth += lowPass * (white - smooth);
        rumble += cornerPass * (smooth - rumble);
        const double t = static_cast<double>(i) / rate_;
        double level = t < noise.attack ? 0.5 - 0.5 * std::cos(std::numbers::pi * t / noise.attack)
                                        : std::exp(-(t - noise.attack) / noise.decay);
        const double left = noise.length - t;
        if (left < tail)
            level *= 0.5 - 0.5 * std::cos(std::numbers::pi * left / tail);
        mix_[first + i] += static_cast<float>(noise.gain * level * (smooth - rumble));
    }
}

void Track::Overdrive(double drive) {
    float loudest = 0.0f;
    for (float v : mix_)
        loudest = std::max(loudest, std::abs(v));
    if (loudest == 0.0f || drive <= 0.0)
        return;
    for (float& v : mix_)
        v = static_cast<float>(std::tanh(drive * v / loudest));
}

std::vector<std::int16_t> Track::Finish(int peak) const {
    const std::size_t n = mix_.size();
    std::vector<double> y(n);
    // A DC blocker at a few hertz: glides and phase modulation can leave a
    // little offset, which would thump when a cue starts or is cut off.
    const double r = 1.0 - kTwoPi * 5.0 / rate_;
    double previousIn = 0.0, previousOut = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        previousOut = mix_[i] - previousIn + r * previousOut;
        previousIn = mix_[i];
        y[i] = previousOut;
    }
    // The ends are forced to silence, whatever the notes did.
    const std::size_t fadeIn = std::min(n / 2, static_cast<std::size_t>(rate_ / 1000));
    const std::size_t fadeOut = std::min(n / 2, static_cast<std::size_t>(rate_ / 200));
    for (std::size_t i = 0; i < fadeIn; ++i)
        y[i] *= 0.5 - 0.5 * std::cos(std::numbers::pi * static_cast<double>(i) / fadeIn);
    for (std::size_t i = 0; i < fadeOut; ++i)
        y[n - 1 - i] *= 0.5 - 0.5 * std::cos(std::numbers::pi * static_cast<double>(i) / fadeOut);

    double loudest = 0.0;
    for (double v : y)
        loudest = std::max(loudest, std::abs(v));
    std::vector<std::int16_t> out(n, 0);
    if (loudest == 0.0)
        return out;
    const double scale = peak / loudest;
    for (std::size_t i = 0; i < n; ++i) {
        const long v = std::clamp(std::lround(y[i] * scale), -static_cast<long>(peak),
                                  static_cast<long>(peak));
        out[i] = static_cast<std::int16_t>(v);
    }
    return out;
}

} // namespace art::synth
