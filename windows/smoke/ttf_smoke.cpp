// Starts SDL, renders a line of text with SDL_ttf through FreeType and opens an
// audio device: the three things the game does first on Windows.
#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdio>

namespace {

int Fail(const char* what) {
    std::fprintf(stderr, "%s: %s\n", what, SDL_GetError());
    return 1;
}

// Pixels with any coverage: a surface of the right size but no ink would mean
// FreeType loaded the face and rasterised nothing.
int InkedPixels(SDL_Surface* surface) {
    int inked = 0;
    SDL_LockSurface(surface);
    for (int y = 0; y < surface->h; ++y) {
        auto* row = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(surface->pixels) +
                                                    y * surface->pitch);
        for (int x = 0; x < surface->w; ++x) {
            Uint8 r, g, b, a;
            SDL_GetRGBA(row[x], surface->format, &r, &g, &b, &a);
            inked += a != 0;
        }
    }
    SDL_UnlockSurface(surface);
    return inked;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: ttf_smoke FONT.ttf\n");
        return 2;
    }
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO) != 0) {
        return Fail("SDL_Init");
    }
    std::printf("SDL %s video, %s audio\n", SDL_GetCurrentVideoDriver(),
                SDL_GetCurrentAudioDriver());
    if (TTF_Init() != 0) {
        return Fail("TTF_Init");
    }
    TTF_Font* font = TTF_OpenFont(argv[1], 24);
    if (font == nullptr) {
        return Fail("TTF_OpenFont");
    }
    SDL_Surface* text =
        TTF_RenderUTF8_Blended(font, "Pegdrop 0,000", SDL_Color{255, 255, 255, 255});
    if (text == nullptr) {
        return Fail("TTF_RenderUTF8_Blended");
    }
    const int inked = InkedPixels(text);
    std::printf("text %dx%d, %d inked pixels, font %s\n", text->w, text->h, inked,
                TTF_FontFaceFamilyName(font));
    const bool text_ok = text->w > 100 && text->h >= 24 && inked > 200;

    SDL_AudioSpec want{};
    want.freq = 44100;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    SDL_AudioSpec have{};
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device == 0) {
        return Fail("SDL_OpenAudioDevice");
    }
    std::printf("audio %d Hz, %d channels\n", have.freq, have.channels);

    SDL_CloseAudioDevice(device);
    SDL_FreeSurface(text);
    TTF_CloseFont(font);
    TTF_Quit();
    SDL_Quit();
    if (!text_ok) {
        std::fprintf(stderr, "the text came out too small or blank\n");
        return 1;
    }
    return 0;
}
