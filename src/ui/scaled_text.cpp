#include "ui/scaled_text.h"

#include "text/utf8.h"
#include "ui/text_layout.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <utility>
#include <vector>

namespace ui {
namespace {

FontSpec Scaled(FontSpec font, int scale) {
    font.points *= static_cast<float>(scale);
    return font;
}

TextPicture FromSurface(SDL_Renderer* renderer, SDL_Surface* surface, int scale) {
    TextPicture picture;
    if (surface == nullptr)
        return picture;
    picture.texture.reset(SDL_CreateTextureFromSurface(renderer, surface));
    picture.scale = scale;
    picture.width = (surface->w + scale - 1) / scale;
    picture.height = (surface->h + scale - 1) / scale;
    return picture;
}

// A piece of text that one face draws.
struct Run {
    TTF_Font* face;
    std::string utf8;
};

// The text cut where the face that draws it changes. Text that the asked-for
// face draws whole stays one run of the very same bytes, so that it measures
// and renders exactly as it would without any fallback.
std::vector<Run> Runs(FontCache& fonts, const FontSpec& font, const std::string& utf8) {
    TTF_Font* own = fonts.Get(font);
    if (own == nullptr)
        return {};
    std::vector<Run> runs;
    std::u32string piece;
    TTF_Font* current = own;
    for (const char32_t c : text::DecodeUtf8(utf8)) {
        // Line breaks and other controls have no glyph in any face.
        TTF_Font* face = c < 32 ? current : fonts.FaceFor(font, c);
        if (face != current && !piece.empty()) {
            runs.push_back({current, text::EncodeUtf8(piece)});
            piece.clear();
        }
        current = face;
        piece += c;
    }
    if (runs.empty() && current == own)
        return {{own, utf8}};
    if (!piece.empty())
        runs.push_back({current, text::EncodeUtf8(piece)});
    return runs;
}

bool OneFace(const std::vector<Run>& runs, TTF_Font* own) {
    return runs.size() == 1 && runs.front().face == own;
}

int Width(TTF_Font* face, const std::string& utf8) {
    int w = 0;
    int h = 0;
    if (utf8.empty() || TTF_SizeUTF8(face, utf8.c_str(), &w, &h) != 0)
        return 0;
    return w;
}

SurfacePtr ClearSurface(int width, int height, SDL_Color fore) {
    SurfacePtr surface(SDL_CreateRGBSurfaceWithFormat(0, std::max(1, width), std::max(1, height),
                                                      32, SDL_PIXELFORMAT_ARGB8888));
    if (surface)
        SDL_FillRect(surface.get(), nullptr,
                     SDL_MapRGBA(surface->format, fore.r, fore.g, fore.b, 0));
    return surface;
}

// Lays one face's text over another's. Both are one colour at varying
// cover, so the stronger cover of the two is kept where glyphs overhang.
void Overlay(SDL_Surface* to, SDL_Surface* part, int x, int y) {
    SurfacePtr converted;
    if (part->format->format != SDL_PIXELFORMAT_ARGB8888) {
        converted.reset(SDL_ConvertSurfaceFormat(part, SDL_PIXELFORMAT_ARGB8888, 0));
        if (!converted)
            return;
        part = converted.get();
    }
    for (int row = std::max(0, -y); row < part->h && y + row < to->h; ++row) {
        const auto* from = reinterpret_cast<const std::uint32_t*>(
            static_cast<const std::uint8_t*>(part->pixels) + row * part->pitch);
        auto* into = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(to->pixels) +
                                                      (y + row) * to->pitch);
        for (int col = std::max(0, -x); col < part->w && x + col < to->w; ++col)
            if ((from[col] >> 24) > (into[x + col] >> 24))
                into[x + col] = from[col];
    }
}

// One line, each run in its own face, all on the asked-for face's baseline.
SurfacePtr RenderRuns(TTF_Font* own, const std::vector<Run>& runs, SDL_Color fore) {
    if (OneFace(runs, own))
        return SurfacePtr(TTF_RenderUTF8_Blended(own, runs.front().utf8.c_str(), fore));
    const int baseline = TTF_FontAscent(own);
    struct Part {
        SurfacePtr surface;
        int x, y;
    };
    std::vector<Part> parts;
    int advance = 0;
    int width = 0;
    int height = TTF_FontHeight(own);
    for (const Run& run : runs) {
        SurfacePtr surface(TTF_RenderUTF8_Blended(run.face, run.utf8.c_str(), fore));
        if (surface) {
            const int y = baseline - TTF_FontAscent(run.face);
            width = std::max(width, advance + surface->w);
            height = std::max(height, y + surface->h);
            parts.push_back({std::move(surface), advance, y});
        }
        advance += Width(run.face, run.utf8);
    }
    SurfacePtr line = ClearSurface(std::max(width, advance), height, fore);
    if (line)
        for (const Part& p : parts)
            Overlay(line.get(), p.surface.get(), p.x, p.y);
    return line;
}

// Lines broken at line feeds, each aligned within the widest as SDL_ttf's
// wrapped text is, when some character needs a face other than the line's.
SurfacePtr RenderLinesInRuns(FontCache& fonts, const FontSpec& font, const std::string& lines,
                             SDL_Color fore, int align) {
    TTF_Font* own = fonts.Get(font);
    std::vector<SurfacePtr> rendered;
    int width = 0;
    for (const std::string& line : SplitLines(lines)) {
        rendered.push_back(line.empty() ? nullptr : RenderRuns(own, Runs(fonts, font, line), fore));
        if (rendered.back())
            width = std::max(width, rendered.back()->w);
    }
    const int skip = TTF_FontLineSkip(own);
    const int count = static_cast<int>(rendered.size());
    SurfacePtr out = ClearSurface(width, (count - 1) * skip + TTF_FontHeight(own), fore);
    if (!out)
        return out;
    for (int i = 0; i < count; ++i) {
        SDL_Surface* line = rendered[static_cast<std::size_t>(i)].get();
        if (line == nullptr)
            continue;
        const int x = align == TTF_WRAPPED_ALIGN_CENTER  ? (width - line->w) / 2
                      : align == TTF_WRAPPED_ALIGN_RIGHT ? width - line->w
                                                         : 0;
        Overlay(out.get(), line, x, i * skip);
    }
    return out;
}

// All that text rendered ahead was rendered from; a wrap width of -1 is a
// single line.
std::string RenderedKey(const FontSpec& font, const std::string& utf8, Color fore, int scale,
                        int wrapWidth, int align) {
    return TextKey(font, scale, {fore.r, fore.g, fore.b, wrapWidth, align}, utf8);
}

SurfacePtr LineSurface(FontCache& fonts, const FontSpec& font, const std::string& utf8, Color fore,
                       int scale) {
    const FontSpec scaled = Scaled(font, scale);
    TTF_Font* face = fonts.Get(scaled);
    if (face == nullptr || utf8.empty())
        return nullptr;
    return RenderRuns(face, Runs(fonts, scaled, utf8), SDL_Color{fore.r, fore.g, fore.b, 255});
}

SurfacePtr WrappedSurface(FontCache& fonts, const FontSpec& font, const std::string& utf8,
                          Color fore, int scale, int wrapWidth, int align);

} // namespace

int RendererScale(SDL_Renderer* renderer) {
    float sx = 1.0f;
    float sy = 1.0f;
    SDL_RenderGetScale(renderer, &sx, &sy);
    return std::max(1, static_cast<int>(std::lround(sx)));
}

int LineWidth(FontCache& fonts, const FontSpec& font, const std::string& utf8) {
    int width = 0;
    for (const Run& run : Runs(fonts, font, utf8))
        width += Width(run.face, run.utf8);
    return width;
}

TextPicture RenderLine(SDL_Renderer* renderer, FontCache& fonts, const FontSpec& font,
                       const std::string& utf8, Color fore) {
    const int scale = RendererScale(renderer);
    const std::string key = RenderedKey(font, utf8, fore, scale, -1, 0);
    if (SDL_Surface* ready = fonts.Rendered(key))
        return FromSurface(renderer, ready, scale);
    const SurfacePtr surface = LineSurface(fonts, font, utf8, fore, scale);
    return FromSurface(renderer, surface.get(), scale);
}

void RenderLineAhead(FontCache& fonts, const FontSpec& font, const std::string& utf8, Color fore,
                     int scale) {
    scale = std::max(1, scale);
    fonts.KeepRendered(RenderedKey(font, utf8, fore, scale, -1, 0),
                       LineSurface(fonts, font, utf8, fore, scale));
}

std::string WrapText(FontCache& fonts, const FontSpec& font, const std::string& utf8, int width) {
    if (fonts.Get(font) == nullptr || width <= 0)
        return utf8;
    const auto measure = [&fonts, &font](std::string_view line) {
        return LineWidth(fonts, font, std::string(line));
    };
    std::string out;
    for (const std::string& line : BreakLines(utf8, width, measure))
        out += line + '\n';
    out.pop_back(); // there is always one line
    return out;
}

TextPicture RenderWrapped(SDL_Renderer* renderer, FontCache& fonts, const FontSpec& font,
                          const std::string& utf8, Color fore, int wrapWidth, int align) {
    const int scale = RendererScale(renderer);
    const std::string key = RenderedKey(font, utf8, fore, scale, wrapWidth, align);
    if (SDL_Surface* ready = fonts.Rendered(key))
        return FromSurface(renderer, ready, scale);
    const SurfacePtr surface = WrappedSurface(fonts, font, utf8, fore, scale, wrapWidth, align);
    return FromSurface(renderer, surface.get(), scale);
}

void RenderWrappedAhead(FontCache& fonts, const FontSpec& font, const std::string& utf8, Color fore,
                        int wrapWidth, int align, int scale) {
    scale = std::max(1, scale);
    fonts.KeepRendered(RenderedKey(font, utf8, fore, scale, wrapWidth, align),
                       WrappedSurface(fonts, font, utf8, fore, scale, wrapWidth, align));
}

namespace {

SurfacePtr WrappedSurface(FontCache& fonts, const FontSpec& font, const std::string& utf8,
                          Color fore, int scale, int wrapWidth, int align) {
    const FontSpec scaled = Scaled(font, scale);
    TTF_Font* face = fonts.Get(scaled);
    if (face == nullptr || utf8.empty())
        return nullptr;
    const std::string lines = WrapText(fonts, font, utf8, wrapWidth);
    const SDL_Color colour{fore.r, fore.g, fore.b, 255};
    if (!OneFace(Runs(fonts, scaled, lines), face))
        return RenderLinesInRuns(fonts, scaled, lines, colour, align);
    TTF_SetFontWrappedAlign(face, align);
    return SurfacePtr(TTF_RenderUTF8_Blended_Wrapped(face, lines.c_str(), colour, 0));
}

} // namespace

void DrawText(SDL_Renderer* renderer, const TextPicture& text, float x, float y) {
    if (!text)
        return;
    int w = 0;
    int h = 0;
    SDL_QueryTexture(text.texture.get(), nullptr, nullptr, &w, &h);
    const float scale = static_cast<float>(text.scale);
    const SDL_FRect where{x, y, static_cast<float>(w) / scale, static_cast<float>(h) / scale};
    SDL_RenderCopyF(renderer, text.texture.get(), nullptr, &where);
}

void PrepareFaces(FontCache& fonts, const std::vector<FontSpec>& faces, int scale) {
    std::string printable;
    for (char c = ' '; c <= '~'; ++c)
        printable += c;
    for (const FontSpec& font : faces)
        if (TTF_Font* face = fonts.Get(Scaled(font, std::max(1, scale))))
            const SurfacePtr glyphs(
                TTF_RenderUTF8_Blended(face, printable.c_str(), SDL_Color{0, 0, 0, 255}));
}

float TextAdvance(FontCache& fonts, const FontSpec& font, int scale, const std::string& utf8) {
    scale = std::max(1, scale);
    return static_cast<float>(LineWidth(fonts, Scaled(font, scale), utf8)) /
           static_cast<float>(scale);
}

float KeptAdvance(FontCache& fonts, const FontSpec& font, int scale, const std::string& utf8) {
    scale = std::max(1, scale);
    std::string key = TextKey(font, scale, {}, utf8);
    if (const std::optional<float> known = fonts.Measured(key))
        return *known;
    const float advance = TextAdvance(fonts, font, scale, utf8);
    fonts.KeepMeasured(std::move(key), advance);
    return advance;
}

std::string TextKey(const FontSpec& font, int scale, std::initializer_list<int> more,
                    const std::string& utf8) {
    std::string key = font.face;
    for (const int n :
         {static_cast<int>(std::lround(font.points * 4.0f)), font.bold ? 1 : 0, scale})
        key += '\0' + std::to_string(n);
    // The count keeps keys of different kinds apart.
    key += '\0' + std::to_string(more.size());
    for (const int n : more)
        key += '\0' + std::to_string(n);
    return key + '\0' + utf8;
}

float FontAscent(FontCache& fonts, const FontSpec& font, int scale) {
    scale = std::max(1, scale);
    TTF_Font* face = fonts.Get(Scaled(font, scale));
    return face != nullptr ? static_cast<float>(TTF_FontAscent(face)) / static_cast<float>(scale)
                           : 0.0f;
}

} // namespace ui
