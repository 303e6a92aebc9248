// The thirteen cues, composed note by note. Times are in seconds, pitches in
// MIDI note numbers.
#include "art/cues.h"
#include "art/synth.h"

#include <initializer_list>

namespace art {
namespace {

using synth::Hz;
using synth::Noise;
using synth::Note;
using synth::Timbre;
using synth::Track;

// Peak levels: -1, -2, -3 and -6 dBFS.
constexpr int kLoud = 29204;
constexpr int kFull = 26028;
constexpr int kSoft = 23197;
constexpr int kQuiet = 16423;

// --- Timbres ---------------------------------------------------------------

// A small struck bell: inharmonic partials, the high ones dying first, and a
// slightly detuned second fundamental beating against it.
Timbre Bell(double decay = 0.18) {
    Timbre t;
    t.partials = {{1.0, 1.0, 1.5},  {1.003, 0.6, 1.5},  {2.0, 0.3, 4.0},
                  {2.76, 0.5, 6.0}, {5.40, 0.25, 10.0}, {8.93, 0.12, 16.0}};
    t.envelope = {0.001, decay, 0.0, 0.06};
    return t;
}

// Bright plucked lead for the chirps, arpeggios and the jingle.
Timbre Pluck() {
    Timbre t;
    t.partials = {{1, 1.0, 0.0},  {2, 0.5, 3.0},   {3, 0.3, 6.0},
                  {4, 0.18, 9.0}, {5, 0.10, 12.0}, {6, 0.06, 15.0}};
    t.envelope = {0.003, 0.25, 0.35, 0.08};
    return t;
}

// Open brass: 1:1 phase modulation, brighter as the note swells.
Timbre Brass() {
    Timbre t;
    t.partials = {{1, 1.0, 0.0}};
    t.envelope = {0.03, 0.3, 0.8, 0.08};
    t.fmRatio = 1.0;
    t.fmIndex = 3.2;
    t.fmIndexFloor = 0.15;
    t.vibratoHz = 5.5;
    t.vibratoDepth = 0.004;
    t.vibratoDelay = 0.15;
    return t;
}

// Muted brass: a slow "wa" swell with a low index, so it stays dull.
Timbre MutedBrass() {
    Timbre t;
    t.partials = {{1, 1.0, 0.0}};
    t.envelope = {0.07, 0.25, 0.55, 0.12};
    t.fmRatio = 1.0;
    t.fmIndex = 2.2;
    t.fmIndexFloor = 0.05;
    return t;
}

// A band-limited sawtooth buzz: every harmonic at 1/k. Spread phases (a
// Schroeder chirp, offset per voice) keep the harmonics, and the voices of a
// cluster, from piling up into one spike that would set the peak.
Timbre Buzzer(int voice) {
    constexpr int kHarmonics = 40;
    Timbre t;
    t.partials.clear();
    for (int k = 1; k <= kHarmonics; ++k)
        t.partials.push_back(
            {static_cast<double>(k), 1.0 / k, 0.0,
             0.5 * k * k / static_cast<double>(kHarmonics) + 0.618034 * k * voice});
    t.envelope = {0.025, 0.5, 0.85, 0.18};
    t.vibratoHz = 6.0;
    t.vibratoDepth = 0.003;
    return t;
}

Timbre Bass() {
    Timbre t;
    t.partials = {{1, 1.0, 0.0}, {2, 0.45, 2.0}, {3, 0.2, 4.0}};
    t.envelope = {0.006, 0.3, 0.4, 0.06};
    return t;
}

// Soft electric-piano chords.
Timbre Pad() {
    Timbre t;
    t.partials = {{1, 1.0, 0.8}, {2, 0.3, 2.0}, {3, 0.1, 4.0}};
    t.envelope = {0.01, 0.4, 0.3, 0.1};
    return t;
}

// Hollow square-wave lead with vibrato, the theme's own voice.
Timbre SquareLead() {
    Timbre t;
    t.partials = {{1, 1.0, 0.0}, {3, 0.33, 0.5}, {5, 0.2, 1.0}, {7, 0.14, 1.5}, {9, 0.11, 2.0}};
    t.envelope = {0.008, 0.3, 0.6, 0.07};
    t.vibratoHz = 5.0;
    t.vibratoDepth = 0.005;
    t.vibratoDelay = 0.2;
    return t;
}

// --- Writing music ---------------------------------------------------------

constexpr int kRest = -1;

struct Step {
    int midi;
    double beats;
};

// Plays a line of notes one after another; returns when it ends.
double Line(Track& track, const Timbre& timbre, double start, double beat,
            std::initializer_list<Step> steps, double gain, double legato = 0.9) {
    double t = start;
    for (const Step& s : steps) {
        if (s.midi != kRest)
            track.Play(timbre, Note{t, s.beats * beat * legato, Hz(s.midi), gain});
        t += s.beats * beat;
    }
    return t;
}

void Chord(Track& track, const Timbre& timbre, double start, double length,
           std::initializer_list<int> notes, double gain) {
    for (int midi : notes)
        track.Play(timbre, Note{start, length, Hz(midi), gain});
}

// A quick shower of high bell notes over a held chord.
void Shimmer(Track& track, double start, double step, int count, std::initializer_list<int> notes,
             double gain) {
    const Timbre bell = Bell(0.12);
    int i = 0;
    while (i < count) {
        for (int midi : notes) {
            if (i == count)
                break;
            const double fade = 1.0 - 0.6 * i / count;
            track.Play(bell, Note{start + i * step, step, Hz(midi), gain * fade});
            ++i;
        }
    }
}

// --- The cues --------------------------------------------------------------

// Opening jingle in C: a run tumbling down like a chip, up again to the top.
Track Pegdrop() {
    Track t(kCueSampleRate);
    const double e = 0.14; // an eighth
    // G E C E | F D B D | C E G | C
    const std::initializer_list<Step> tune = {{79, 1}, {76, 1}, {72, 1}, {76, 1}, {77, 1}, {74, 1},
                                              {71, 1}, {74, 1}, {72, 1}, {76, 1}, {79, 1}};
    const double end = Line(t, Pluck(), 0.0, e, tune, 0.5);
    t.Play(Pluck(), Note{end, 4 * e, Hz(84), 0.55});
    t.Play(Bell(0.3), Note{end, 4 * e, Hz(96), 0.12});
    Line(t, Bass(), 0.0, e, {{48, 2}, {43, 2}, {43, 2}, {47, 2}, {48, 3}}, 0.5);
    Chord(t, Bass(), end, 4 * e, {36, 48}, 0.4);
    for (double at : {1.0, 3.0})
        Chord(t, Pad(), at * e, 0.8 * e, {60, 64, 67}, 0.16);
    for (double at : {5.0, 7.0})
        Chord(t, Pad(), at * e, 0.8 * e, {59, 65, 67}, 0.16);
    Chord(t, Pad(), 9 * e, 0.8 * e, {60, 64, 67}, 0.16);
    Chord(t, Pad(), end, 4 * e, {60, 64, 67, 72}, 0.18);
    return t;
}

Track Ding() {
    Track t(kCueSampleRate);
    t.Play(Bell(), Note{0.0, 0.33, Hz(91), 1.0});
    return t;
}

// Two plinks for the pegs: a tiny tick of noise for the strike, then a bar
// ringing for a few tens of milliseconds.
Track Bounce(int midi, double length, double overtone, double drop, std::uint32_t seed) {
    Track t(kCueSampleRate);
    Timbre bar;
    bar.partials = {{1.0, 1.0, 0.0}, {overtone, 0.45, 30.0}, {2.3 * overtone, 0.2, 60.0}};
    bar.envelope = {0.0008, length / 3.0, 0.0, 0.012};
    t.Play(bar, Note{0.0, length - 0.012, Hz(midi), 1.0, Hz(midi) * drop});
    t.Play(Noise{0.0, 0.006, 0.35, 0.0005, 0.0015, 2000.0, 9000.0, seed});
    return t;
}

Track Win100() {
    Track t(kCueSampleRate);
    t.Play(Pluck(), Note{0.0, 0.06, Hz(88), 0.6});
    t.Play(Pluck(), Note{0.075, 0.22, Hz(93), 0.6});
    t.Play(Bell(0.15), Note{0.075, 0.22, Hz(105), 0.12});
    return t;
}

Track Win500() {
    Track t(kCueSampleRate);
    const double e = 0.08;
    const double end = Line(t, Pluck(), 0.0, e, {{72, 1}, {76, 1}, {79, 1}}, 0.5, 0.85);
    t.Play(Pluck(), Note{end, 0.35, Hz(84), 0.55});
    t.Play(Bell(0.25), Note{end, 0.35, Hz(96), 0.15});
    Chord(t, Pad(), end, 0.35, {60, 64, 67}, 0.18);
    return t;
}

// Brass "ta-ta-ta, ta-ta-taaa" with a bell on the last note.
Track Win1000() {
    Track t(kCueSampleRate);
    const double e = 0.09;
    double at = Line(t, Brass(), 0.0, e, {{67, 1}, {67, 1}, {67, 1}}, 0.5, 0.7);
    at = Line(t, Brass(), at, e, {{72, 1.5}, {76, 1.5}}, 0.5, 0.9);
    t.Play(Brass(), Note{at, 0.5, Hz(79), 0.55});
    Chord(t, Brass(), at, 0.5, {64, 72}, 0.3);
    t.Play(Bell(0.3), Note{at, 0.5, Hz(91), 0.18});
    t.Play(Bell(0.3), Note{at + 0.08, 0.42, Hz(96), 0.12});
    return t;
}

// The jackpot: a brass call harmonised in thirds, then a full C major chord
// over a low C, with a shower of bells and a cymbal-like wash.
Track Win10000() {
    Track t(kCueSampleRate);
    const double e = 0.1;
    Line(t, Brass(), 0.0, e, {{67, 1}, {67, 1}, {67, 1}}, 0.5, 0.7);
    const double run = 3 * e;
    Line(t, Brass(), run, 2 * e, {{72, 1}, {76, 1}, {79, 1}}, 0.5);
    Line(t, Brass(), run, 2 * e, {{64, 1}, {67, 1}, {72, 1}}, 0.3);
    const double top = run + 6 * e;
    const double hold = 0.9;
    t.Play(Brass(), Note{top, hold, Hz(84), 0.5});
    Chord(t, Brass(), top, hold, {60, 64, 67, 72}, 0.25);
    t.Play(Bass(), Note{top, hold, Hz(36), 0.6});
    t.Play(Bass(), Note{top, hold, Hz(48), 0.3});
    Shimmer(t, top + 0.05, 0.045, 18, {96, 100, 103, 108}, 0.12);
    t.Play(Noise{top, hold + 0.15, 0.15, 0.01, 0.45, 5000.0, 12000.0, 10000});
    return t;
}

// "Wah, waaah": a muted horn falling a semitone, the long note sagging.
Track Zero1() {
    Track t(kCueSampleRate);
    Timbre horn = MutedBrass();
    t.Play(horn, Note{0.0, 0.26, Hz(61), 0.6});
    t.Play(horn, Note{0.0, 0.26, Hz(49), 0.2});
    horn.vibratoHz = 6.0;
    horn.vibratoDepth = 0.012;
    horn.vibratoDelay = 0.25;
    t.Play(horn, Note{0.32, 0.7, Hz(60), 0.6, Hz(59)});
    t.Play(horn, Note{0.32, 0.7, Hz(48), 0.2, Hz(47)});
    return t;
}

// "Bwow": one brassy tone sliding two octaves down, darkening as it goes.
Track Zero2() {
    Track t(kCueSampleRate);
    Timbre slide = Brass();
    slide.envelope = {0.02, 0.4, 0.5, 0.15};
    slide.fmIndex = 3.0;
    slide.fmIndexFloor = 0.1;
    slide.vibratoDepth = 0.0;
    t.Play(slide, Note{0.0, 0.6, Hz(67), 0.6, Hz(43)});
    Timbre sub;
    sub.envelope = slide.envelope;
    t.Play(sub, Note{0.0, 0.6, Hz(55), 0.3, Hz(31)});
    return t;
}

// A low cluster (A, B flat and E flat: a semitone and a tritone) blown hard,
// drooping at the end.
Track Horns() {
    Track t(kCueSampleRate);
    int voice = 0;
    for (int midi : {45, 46, 51, 33}) {
        const double gain = midi == 33 ? 0.4 : 0.5;
        t.Play(Buzzer(voice++), Note{0.0, 1.3, Hz(midi), gain, Hz(midi) * 0.94});
    }
    t.Overdrive(2.5);
    return t;
}

// The top-ten theme in F: four bars of oom-pah with a square lead and a
// hi-hat on the off-beats.
Track Zelto() {
    Track t(kCueSampleRate);
    const double q = 0.375; // a beat
    const Timbre lead = SquareLead();
    // One bar a line; the last bar's long F follows.
    // clang-format off
    const std::initializer_list<Step> tune = {
        {72, 1},   {77, 0.5}, {81, 0.5}, {79, 1},   {77, 1},              // F
        {74, 0.5}, {77, 0.5}, {81, 1},   {84, 1},   {81, 1},              // Dm
        {82, 0.5}, {81, 0.5}, {79, 1},   {72, 0.5}, {76, 0.5}, {79, 1},   // Bb C
        {81, 0.5}, {79, 0.5}};                                            // F
    // clang-format on
    Line(t, lead, 0.0, q, tune, 0.4);
    const double last = 13 * q;
    t.Play(lead, Note{last, 3 * q, Hz(77), 0.4});
    t.Play(Bell(0.4), Note{last, 3 * q, Hz(89), 0.1});

    Line(t, Bass(), 0.0, q, {{41, 2}, {48, 2}, {38, 2}, {45, 2}, {34, 2}, {36, 2}}, 0.5, 0.8);
    t.Play(Bass(), Note{12 * q, 3.5 * q, Hz(41), 0.5});

    const Timbre pad = Pad();
    const std::initializer_list<int> f = {57, 60, 65};
    Chord(t, pad, 1 * q, 0.7 * q, f, 0.12);
    Chord(t, pad, 3 * q, 0.7 * q, f, 0.12);
    Chord(t, pad, 5 * q, 0.7 * q, {57, 62, 65}, 0.12);
    Chord(t, pad, 7 * q, 0.7 * q, {57, 62, 65}, 0.12);
    Chord(t, pad, 9 * q, 0.7 * q, {58, 62, 65}, 0.12);
    Chord(t, pad, 11 * q, 0.7 * q, {55, 60, 64}, 0.12);
    Chord(t, pad, 12 * q, 3.5 * q, f, 0.14);

    for (int beat = 0; beat < 12; ++beat)
        t.Play(Noise{(beat + 0.5) * q, 0.04, 0.08, 0.001, 0.012, 6000.0, 12000.0,
                     static_cast<std::uint32_t>(100 + beat)});
    return t;
}

// Good-bye: a gentle falling G, E, C over a soft C chord.
Track Empty() {
    Track t(kCueSampleRate);
    Timbre piano = Pad();
    piano.envelope = {0.008, 0.35, 0.2, 0.25};
    const double e = 0.22;
    Line(t, piano, 0.0, e, {{79, 1}, {76, 1}}, 0.5);
    t.Play(piano, Note{2 * e, 0.5, Hz(72), 0.5});
    Chord(t, piano, 2 * e, 0.5, {48, 55, 64}, 0.2);
    return t;
}

struct Recipe {
    std::string_view name;
    int peak;
    Track (*compose)();
};

// A high glassy plink, and a lower, woodier plunk that sags a little: heard
// at random, the pair keeps a long fall from droning.
Track Bounce1() {
    return Bounce(91, 0.055, 2.76, 1.0, 11);
}
Track Bounce2() {
    return Bounce(86, 0.07, 3.9, 0.94, 22);
}

constexpr std::array<Recipe, kCueFiles.size()> kRecipes = {{
    {"pegdrop.wav", kFull, &Pegdrop},
    {"ding.wav", kSoft, &Ding},
    {"bounce1.wav", kQuiet, &Bounce1},
    {"bounce2.wav", kQuiet, &Bounce2},
    {"100.wav", kFull, &Win100},
    {"500.wav", kFull, &Win500},
    {"1000.wav", kFull, &Win1000},
    {"10000.wav", kFull, &Win10000},
    {"0-1.wav", kFull, &Zero1},
    {"0-2.wav", kFull, &Zero2},
    {"horns.wav", kLoud, &Horns},
    {"Zelto.wav", kFull, &Zelto},
    {"empty.wav", kSoft, &Empty},
}};

constexpr bool RecipesFollowTheFileTable() {
    for (std::size_t i = 0; i < kRecipes.size(); ++i)
        if (kRecipes[i].name != std::string_view(kCueFiles[i]))
            return false;
    return true;
}
static_assert(RecipesFollowTheFileTable());

} // namespace

int CuePeak(std::string_view fileName) {
    for (const Recipe& r : kRecipes)
        if (r.name == fileName)
            return r.peak;
    return 0;
}

std::vector<Cue> SynthesiseCues() {
    std::vector<Cue> cues;
    cues.reserve(kRecipes.size());
    for (const Recipe& r : kRecipes)
        cues.push_back({std::string(r.name), kCueSampleRate, r.compose().Finish(r.peak)});
    return cues;
}

} // namespace art
