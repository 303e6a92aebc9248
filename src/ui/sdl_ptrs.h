// Owners for every SDL handle: nothing is freed by hand elsewhere.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <memory>

namespace ui {

template <auto Free> struct SdlDeleter {
    template <typename T> void operator()(T* p) const {
        if (p != nullptr)
            Free(p);
    }
};

using WindowPtr = std::unique_ptr<SDL_Window, SdlDeleter<SDL_DestroyWindow>>;
using RendererPtr = std::unique_ptr<SDL_Renderer, SdlDeleter<SDL_DestroyRenderer>>;
using TexturePtr = std::unique_ptr<SDL_Texture, SdlDeleter<SDL_DestroyTexture>>;
using SurfacePtr = std::unique_ptr<SDL_Surface, SdlDeleter<SDL_FreeSurface>>;
using FontPtr = std::unique_ptr<TTF_Font, SdlDeleter<TTF_CloseFont>>;
using WavPtr = std::unique_ptr<Uint8, SdlDeleter<SDL_FreeWAV>>;
using JoystickPtr = std::unique_ptr<SDL_Joystick, SdlDeleter<SDL_JoystickClose>>;
using GameControllerPtr = std::unique_ptr<SDL_GameController, SdlDeleter<SDL_GameControllerClose>>;

// An opened audio device, closed when the owner goes.
class AudioDevice {
public:
    AudioDevice() = default;
    explicit AudioDevice(SDL_AudioDeviceID id) : id_(id) {}
    AudioDevice(AudioDevice&& other) noexcept : id_(other.id_) { other.id_ = 0; }
    AudioDevice& operator=(AudioDevice&& other) noexcept {
        if (this != &other) {
            Reset();
            id_ = other.id_;
            other.id_ = 0;
        }
        return *this;
    }
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;
    ~AudioDevice() { Reset(); }
    SDL_AudioDeviceID Get() const { return id_; }
    explicit operator bool() const { return id_ != 0; }
    void Reset() {
        if (id_ != 0)
            SDL_CloseAudioDevice(id_);
        id_ = 0;
    }

private:
    SDL_AudioDeviceID id_ = 0;
};

// Holds the audio device's lock for a scope.
class AudioLock {
public:
    explicit AudioLock(SDL_AudioDeviceID id) : id_(id) { SDL_LockAudioDevice(id_); }
    ~AudioLock() { SDL_UnlockAudioDevice(id_); }
    AudioLock(const AudioLock&) = delete;
    AudioLock& operator=(const AudioLock&) = delete;

private:
    SDL_AudioDeviceID id_;
};

} // namespace ui
