// Plays cues on one SDL audio device, opened once. At most one cue sounds at
// a time; without a device every cue is silent.
#pragma once

#include "app/modPegdrop.h"
#include "ui/sdl_ptrs.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace pegdrop {

class CuePlayer final : public modPegdrop::SoundSink {
public:
    CuePlayer();
    ~CuePlayer() override;
    CuePlayer(const CuePlayer&) = delete;
    CuePlayer& operator=(const CuePlayer&) = delete;

    void Play(const std::string& path) override;
    bool HasDevice() const { return static_cast<bool>(device_); }
    const SDL_AudioSpec& DeviceSpec() const { return spec_; }

private:
    // Starts SDL audio and opens the default device, with the probe kept quiet.
    bool OpenDevice();
    static void Callback(void* self, Uint8* stream, int length);
    // Decoded in the device's format, kept once decoded; nullptr when unplayable.
    const std::vector<Uint8>* Decoded(const std::string& path);

    bool audioStarted_ = false;
    ui::AudioDevice device_;
    SDL_AudioSpec spec_{};
    std::map<std::string, std::vector<Uint8>> cache_;
    std::set<std::string> unplayable_;
    std::string preloaded_; // the folder whose cues were all decoded ahead
    // Shared with the audio thread, under the device lock.
    const std::vector<Uint8>* playing_ = nullptr;
    std::size_t position_ = 0;
};

} // namespace pegdrop
