// Plays cues on one SDL audio device, opened once. At most one cue sounds at
// a time; without a device every cue is silent.
#pragma once

#include "game/modPegdrop.h"
#include "ui/sdl_ptrs.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace pegdrop {

// The most of a cue file that is read. The largest cue the build writes is
// about 0.5 MB (six seconds of 16-bit mono at 44.1 kHz); 8 MiB leaves ample
// room for a longer or stereo cue put in its place, and a bigger file is
// silent rather than a wait and a heap of memory at the start.
inline constexpr std::size_t kCueReadLimit = std::size_t{8} << 20;

// A device format: what the player asks of the sound card, and what a cue
// is converted to.
SDL_AudioSpec AudioFormat(int freq, SDL_AudioFormat format, Uint8 channels);

// A wave file's bytes in the device's sample format, rate and channels, by
// SDL's loader and converter; nothing when either refuses them. Needs no
// audio device or initialised subsystem.
std::optional<std::vector<Uint8>> DecodeCue(std::string_view bytes, const SDL_AudioSpec& device);

class CuePlayer final : public modPegdrop::SoundSink {
public:
    // Later: the device opens when Open is called, so that a start shows
    // its first picture before it waits for the sound card.
    enum class Opening { Now, Later };
    explicit CuePlayer(Opening opening = Opening::Now);
    ~CuePlayer() override;
    CuePlayer(const CuePlayer&) = delete;
    CuePlayer& operator=(const CuePlayer&) = delete;

    void Play(const std::string& path) override;
    // Decodes every one of the game's cues in `folder` (ending in its
    // separator) now, so that none reads the disk when it first plays.
    void Preload(const std::string& folder);
    void Stop() override;
    // Opens the device, once. The last cue asked for before it opened, if
    // not stopped since, starts then.
    void Open();
    bool HasDevice() const { return static_cast<bool>(device_); }
    const SDL_AudioSpec& DeviceSpec() const { return spec_; }
    // When the device last took a cue's first samples, in steady-clock
    // nanoseconds (0: never): how long a cue waits for the sound card, for
    // make bench.
    std::int64_t LastCueStartNs() const { return cueStartNs_.load(); }

private:
    // Starts SDL audio and opens the default device, with the probe kept quiet.
    bool OpenDevice();
    static void Callback(void* self, Uint8* stream, int length);
    // Decoded in the device's format, kept once decoded; nullptr when unplayable.
    const std::vector<Uint8>* Decoded(const std::string& path);

    bool opened_ = false;
    std::optional<std::string> waiting_;
    bool audioStarted_ = false;
    ui::AudioDevice device_;
    SDL_AudioSpec spec_{};
    std::map<std::string, std::vector<Uint8>> cache_;
    std::set<std::string> unplayable_;
    std::string preloaded_; // the folder whose cues were all decoded ahead
    // Shared with the audio thread, under the device lock.
    const std::vector<Uint8>* playing_ = nullptr;
    std::size_t position_ = 0;
    std::atomic<std::int64_t> cueStartNs_{0};
};

} // namespace pegdrop
