#include "game/cue_player.h"

#include "art/cues.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/quiet_stderr.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

namespace pegdrop {

SDL_AudioSpec AudioFormat(int freq, SDL_AudioFormat format, Uint8 channels) {
    SDL_AudioSpec audio{};
    audio.freq = freq;
    audio.format = format;
    audio.channels = channels;
    return audio;
}

std::optional<std::vector<Uint8>> DecodeCue(std::string_view bytes, const SDL_AudioSpec& device) {
    if (bytes.size() > static_cast<std::size_t>(INT_MAX))
        return std::nullopt;
    SDL_RWops* source = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (source == nullptr)
        return std::nullopt;
    SDL_AudioSpec fileSpec{};
    Uint8* raw = nullptr;
    Uint32 rawLength = 0;
    if (SDL_LoadWAV_RW(source, 1, &fileSpec, &raw, &rawLength) == nullptr)
        return std::nullopt;
    ui::WavPtr wav(raw);
    // A header whose block size belies its channels and sample size gets
    // its data back with a frame cut short at the end: only whole frames go
    // into the converter, and only whole frames of the device come out.
    const Uint32 fileFrame = SDL_AUDIO_BITSIZE(fileSpec.format) / 8 * fileSpec.channels;
    if (fileFrame > 0)
        rawLength -= rawLength % fileFrame;
    // SDL_AudioCVT converts whole clips exactly, tail included.
    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, fileSpec.format, fileSpec.channels, fileSpec.freq, device.format,
                          device.channels, device.freq) < 0)
        return std::nullopt;
    const auto mult = static_cast<std::size_t>(std::max(1, cvt.len_mult));
    // The converter works in place in a buffer of its largest growth: a
    // header claiming a rate of a few hertz would have a short file ask for
    // gigabytes. No cue needs more than minutes of sound.
    constexpr std::size_t kMostCueBytes = std::size_t{32} << 20;
    if (rawLength > kMostCueBytes / mult)
        return std::nullopt;
    std::vector<Uint8> data(static_cast<std::size_t>(rawLength) * mult);
    if (rawLength > 0)
        std::memcpy(data.data(), wav.get(), rawLength);
    if (cvt.needed) {
        cvt.len = static_cast<int>(rawLength);
        cvt.buf = data.data();
        if (SDL_ConvertAudio(&cvt) != 0)
            return std::nullopt;
        data.resize(static_cast<std::size_t>(cvt.len_cvt));
    } else {
        data.resize(rawLength);
    }
    const std::size_t deviceFrame = SDL_AUDIO_BITSIZE(device.format) / 8 * device.channels;
    if (deviceFrame > 0)
        data.resize(data.size() - data.size() % deviceFrame);
    return data;
}

CuePlayer::CuePlayer(Opening opening) {
    if (opening == Opening::Now)
        Open();
}

void CuePlayer::Open() {
    if (opened_)
        return;
    opened_ = true;
    if (!OpenDevice())
        std::fprintf(stderr, "pegdrop: no sound device, playing silently (%s)\n", SDL_GetError());
    if (device_)
        SDL_PauseAudioDevice(device_.Get(), 0);
    if (waiting_)
        Play(*std::exchange(waiting_, std::nullopt));
}

bool CuePlayer::OpenDevice() {
    // Sound libraries probing for a card that is not there print pages of
    // diagnostics; the player gets one line from us instead.
    const platform::QuietStderr quiet;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    audioStarted_ = true;
    SDL_AudioSpec want = AudioFormat(44100, AUDIO_S16SYS, 2);
    want.samples = 1024;
    want.callback = &CuePlayer::Callback;
    want.userdata = this;
    // No sound card is silent mode, not an error.
    device_ = ui::AudioDevice(
        SDL_OpenAudioDevice(nullptr, 0, &want, &spec_,
                            SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE));
    return static_cast<bool>(device_);
}

CuePlayer::~CuePlayer() {
    device_.Reset();
    if (audioStarted_)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void CuePlayer::Callback(void* self, Uint8* stream, int length) {
    auto* player = static_cast<CuePlayer*>(self);
    std::size_t wanted = static_cast<std::size_t>(length);
    std::size_t copied = 0;
    if (player->playing_ != nullptr) {
        if (player->position_ == 0)
            player->cueStartNs_.store(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
        const std::vector<Uint8>& cue = *player->playing_;
        copied = std::min(wanted, cue.size() - player->position_);
        std::memcpy(stream, cue.data() + player->position_, copied);
        player->position_ += copied;
        if (player->position_ >= cue.size())
            player->playing_ = nullptr;
    }
    std::memset(stream + copied, player->spec_.silence, wanted - copied);
}

const std::vector<Uint8>* CuePlayer::Decoded(const std::string& path) {
    auto found = cache_.find(path);
    if (found != cache_.end())
        return &found->second;
    if (unplayable_.count(path) != 0)
        return nullptr;
    const std::optional<std::string> bytes =
        platform::ReadRegularFile(path, kCueReadLimit, platform::Overlong::Missing);
    std::optional<std::vector<Uint8>> data = bytes ? DecodeCue(*bytes, spec_) : std::nullopt;
    if (!data) {
        unplayable_.insert(path);
        return nullptr;
    }
    return &cache_.emplace(path, std::move(*data)).first->second;
}

void CuePlayer::Play(const std::string& path) {
    if (!opened_) {
        waiting_ = path;
        return;
    }
    if (!device_)
        return;
    const std::vector<Uint8>* cue = Decoded(path);
    {
        ui::AudioLock lock(device_.Get());
        // A cue that cannot play still ends the one before, as a new cue would.
        playing_ = cue != nullptr && !cue->empty() ? cue : nullptr;
        position_ = 0;
    }
    // The first cue from a folder not decoded ahead then decodes all of the
    // game's cues there, while it sounds, so that no later cue waits for the
    // disk in the middle of a fall. Windows spells a folder with either
    // separator.
    const char separators[] = {'/', platform::kPathSeparator, '\0'};
    Preload(path.substr(0, path.find_last_of(separators) + 1));
}

void CuePlayer::Preload(const std::string& folder) {
    if (!device_ || folder == preloaded_)
        return;
    preloaded_ = folder;
    for (const char* name : art::kCueFiles)
        Decoded(folder + name);
}

void CuePlayer::Stop() {
    waiting_.reset();
    if (!device_)
        return;
    ui::AudioLock lock(device_.Get());
    playing_ = nullptr;
    position_ = 0;
}

} // namespace pegdrop
