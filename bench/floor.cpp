// The least an SDL2 program does before its first picture: video up, a
// font, a window, a renderer, one present; the sound card after it, as the
// game opens it. make bench starts it beside
// the game, the same way and as often: its start is the floor that the
// game's start is weighed against.
//   pegdrop-floor FONT_FILE
// With PEGDROP_FIRST_FRAME_FILE set, the steady clock's reading after the
// present goes to that file, as the game writes its own; then it waits to be
// ended.
#include "bare_window.h"

#include <SDL_ttf.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: pegdrop-floor FONT_FILE\n");
        return 2;
    }
    // A window surface straight to the display, as the game has it: a GL
    // texture behind it would load a whole GL driver first.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0 || TTF_Init() != 0) {
        std::fprintf(stderr, "pegdrop-floor: %s\n", SDL_GetError());
        return 1;
    }
    TTF_Font* font = TTF_OpenFont(argv[1], 12);
    if (font == nullptr) {
        std::fprintf(stderr, "pegdrop-floor: %s\n", SDL_GetError());
        return 1;
    }
    {
        const BareWindow window("floor", 480, 336);
        if (!window.Shown()) {
            std::fprintf(stderr, "pegdrop-floor: %s\n", SDL_GetError());
            return 1;
        }
        if (const char* file = std::getenv("PEGDROP_FIRST_FRAME_FILE")) {
            const auto now = std::chrono::steady_clock::now().time_since_epoch();
            std::ofstream(file) << std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()
                                << "\n";
        }
        // The sound card after the first picture, as the game opens it: the
        // game's device format; no callback, queued audio being the least.
        SDL_InitSubSystem(SDL_INIT_AUDIO);
        SDL_AudioSpec want{};
        want.freq = 44100;
        want.format = AUDIO_S16SYS;
        want.channels = 2;
        want.samples = 1024;
        SDL_AudioSpec got{};
        const SDL_AudioDeviceID audio = SDL_OpenAudioDevice(nullptr, 0, &want, &got, 0);
        SDL_Event e;
        while (SDL_WaitEvent(&e) != 0 && e.type != SDL_QUIT) {
        }
        if (audio != 0)
            SDL_CloseAudioDevice(audio);
    }
    TTF_CloseFont(font);
    TTF_Quit();
    SDL_Quit();
    return 0;
}
