#include "ui/controls.h"

#include "text/utf8.h"
#include "ui/application.h"
#include "ui/draw3d.h"
#include "ui/text_layout.h"
#include "ui/window.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

namespace ui {
namespace {

TexturePtr TextureFromPixels(SDL_Renderer* renderer, int width, int height,
                             const std::uint32_t* pixels, bool blend) {
    TexturePtr texture(SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888,
                                         SDL_TEXTUREACCESS_STATIC, width, height));
    if (!texture)
        return texture;
    SDL_UpdateTexture(texture.get(), nullptr, pixels, width * 4);
    SDL_SetTextureBlendMode(texture.get(), blend ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_NONE);
    return texture;
}

SDL_Rect ToSdl(const Rect& r) {
    return SDL_Rect{r.left, r.top, r.width, r.height};
}

int TextWidth(TTF_Font* font, std::string_view text) {
    int w = 0;
    int h = 0;
    if (text.empty() || TTF_SizeUTF8(font, std::string(text).c_str(), &w, &h) != 0)
        return 0;
    return w;
}

// The lines of a label as one picture, each aligned within the widest. Our own
// breaking rather than SDL_ttf's, which splits a word that does not fit.
SurfacePtr RenderLines(TTF_Font* font, const std::string& text, int width, Align align,
                       SDL_Color fore) {
    const auto measure = [font](std::string_view line) { return TextWidth(font, line); };
    const std::vector<std::string> lines = BreakLines(text, width, measure);
    std::vector<SurfacePtr> rendered;
    int widest = 1;
    for (const std::string& line : lines) {
        rendered.emplace_back(line.empty() ? nullptr
                                           : TTF_RenderUTF8_Blended(font, line.c_str(), fore));
        if (rendered.back())
            widest = std::max(widest, rendered.back()->w);
    }
    const int skip = TTF_FontLineSkip(font);
    const int height = std::max(TTF_FontHeight(font), skip * static_cast<int>(lines.size()));
    SurfacePtr all(SDL_CreateRGBSurfaceWithFormat(0, widest, height, 32, SDL_PIXELFORMAT_ARGB8888));
    if (!all)
        return all;
    SDL_FillRect(all.get(), nullptr, 0);
    int y = 0;
    for (const SurfacePtr& line : rendered) {
        if (line) {
            int x = 0;
            if (align == Align::Center)
                x = (widest - line->w) / 2;
            else if (align == Align::Right)
                x = widest - line->w;
            SDL_Rect where{x, y, line->w, line->h};
            SDL_SetSurfaceBlendMode(line.get(), SDL_BLENDMODE_NONE);
            SDL_BlitSurface(line.get(), nullptr, all.get(), &where);
        }
        y += skip;
    }
    return all;
}

} // namespace

// ---- Control

Control::Control(Window& owner, Rect bounds, bool visible)
    : owner_(owner), bounds_(bounds), visible_(visible) {
    owner_.AddControl(this);
}

Control::~Control() {
    owner_.RemoveControl(this);
}

void Control::Invalidate() {
    owner_.InvalidateRect(bounds_);
}

void Control::SetVisible(bool visible) {
    if (visible_ != visible) {
        visible_ = visible;
        Invalidate();
        if (!visible)
            owner_.ControlUnavailable(this);
    }
}

void Control::Move(int left, int top) {
    if (bounds_.left != left || bounds_.top != top) {
        Invalidate();
        bounds_.left = left;
        bounds_.top = top;
        Invalidate();
    }
}

void Control::SetBounds(Rect bounds) {
    Invalidate();
    bounds_ = bounds;
    Invalidate();
}

void Control::SetEnabled(bool enabled) {
    if (enabled_ != enabled) {
        enabled_ = enabled;
        Invalidate();
        if (!enabled)
            owner_.ControlUnavailable(this);
    }
}

// ---- Label

std::string NormaliseLineBreaks(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

Label::Label(Window& owner, Rect bounds, LabelStyle style, std::string caption)
    : Control(owner, bounds), style_(std::move(style)), caption_(std::move(caption)) {
    Restyle();
}

void Label::SetCaption(std::string caption) {
    if (caption_ != caption) {
        caption_ = std::move(caption);
        Restyle();
    }
}

void Label::SetForeColor(Color color) {
    if (!(style_.fore == color)) {
        style_.fore = color;
        Restyle();
    }
}

void Label::SetBackColor(Color color) {
    if (!(style_.back == color)) {
        style_.back = color;
        Invalidate();
    }
}

void Label::SetFontFace(std::string face) {
    if (style_.font.face != face) {
        style_.font.face = std::move(face);
        Restyle();
    }
}

void Label::Restyle() {
    text_.reset();
    Invalidate();
    if (!style_.autoSize)
        return;
    TTF_Font* font = App().Fonts().Get(style_.font);
    if (font == nullptr)
        return;
    const std::string text = NormaliseLineBreaks(caption_);
    int width = 0;
    int lines = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        int w = 0;
        int h = 0;
        if (!line.empty() && TTF_SizeUTF8(font, line.c_str(), &w, &h) == 0)
            width = std::max(width, w);
        ++lines;
        start = end + 1;
    }
    SetBounds(Rect{Left(), Top(), width, lines * TTF_FontLineSkip(font)});
}

void Label::Draw(SDL_Renderer* renderer, FontCache& fonts) {
    const SDL_Rect box = ToSdl(Bounds());
    if (!style_.transparent) {
        SDL_SetRenderDrawColor(renderer, style_.back.r, style_.back.g, style_.back.b, 255);
        SDL_RenderFillRect(renderer, &box);
    }
    if (caption_.empty())
        return;
    if (!text_) {
        const std::string text = NormaliseLineBreaks(text::ValidUtf8(caption_));
        FontSpec face = style_.font;
        TTF_Font* font = fonts.Get(face);
        int w = 0;
        int h = 0;
        while (style_.fitWidth && font != nullptr && face.points > 6.0f &&
               TTF_SizeUTF8(font, text.c_str(), &w, &h) == 0 && w > Width()) {
            face.points -= 0.25f;
            font = fonts.Get(face);
        }
        if (font == nullptr)
            return;
        SurfacePtr surface =
            RenderLines(font, text, style_.autoSize ? 0 : Width(), style_.align,
                        SDL_Color{style_.fore.r, style_.fore.g, style_.fore.b, 255});
        if (!surface)
            return;
        text_.reset(SDL_CreateTextureFromSurface(renderer, surface.get()));
        textWidth_ = surface->w;
        textHeight_ = surface->h;
        if (!text_)
            return;
    }
    int x = box.x;
    if (style_.align == Align::Center)
        x += (box.w - textWidth_) / 2;
    else if (style_.align == Align::Right)
        x += box.w - textWidth_;
    const SDL_Rect where{x, box.y, textWidth_, textHeight_};
    const ClipScope clip(renderer, box);
    if (!clip.Empty())
        SDL_RenderCopy(renderer, text_.get(), nullptr, &where);
}

// ---- Image

Image::Image(Window& owner, Rect bounds, bool visible, std::shared_ptr<const Bitmap> picture)
    : Control(owner, bounds, visible), picture_(std::move(picture)) {}

void Image::SetPicture(std::shared_ptr<const Bitmap> picture) {
    picture_ = std::move(picture);
    texture_.reset();
    Invalidate();
}

void Image::Draw(SDL_Renderer* renderer, FontCache&) {
    if (!picture_ || picture_->width <= 0)
        return;
    if (!texture_)
        texture_ = TextureFromPixels(renderer, picture_->width, picture_->height,
                                     picture_->pixels.data(), false);
    const SDL_Rect box = ToSdl(Bounds());
    const SDL_Rect where{box.x, box.y, picture_->width, picture_->height};
    const ClipScope clip(renderer, box);
    if (!clip.Empty())
        SDL_RenderCopy(renderer, texture_.get(), nullptr, &where);
}

// ---- Shape

Shape::Shape(Window& owner, Rect bounds, Color fill, Color outline, bool visible)
    : Control(owner, bounds, visible), fill_(fill), outline_(outline) {}

void Shape::Draw(SDL_Renderer* renderer, FontCache&) {
    const int w = Width();
    const int h = Height();
    if (w <= 0 || h <= 0)
        return;
    if (!texture_) {
        // Coverage from 4 x 4 samples per pixel gives a smooth rim.
        std::vector<std::uint32_t> pixels(static_cast<std::size_t>(w * h));
        const float r = std::min(w, h) / 2.0f;
        const float cx = w / 2.0f;
        const float cy = h / 2.0f;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                int inside = 0;
                int inner = 0;
                for (int sy = 0; sy < 4; ++sy) {
                    for (int sx = 0; sx < 4; ++sx) {
                        const float px = x + (sx + 0.5f) / 4.0f - cx;
                        const float py = y + (sy + 0.5f) / 4.0f - cy;
                        const float d = std::sqrt(px * px + py * py);
                        inside += d <= r;
                        inner += d <= r - 1.0f;
                    }
                }
                const float fillShare = inner / 16.0f;
                const float alpha = inside / 16.0f;
                auto mix = [&](std::uint8_t f, std::uint8_t o) {
                    const float ring = alpha - fillShare;
                    const float v = alpha > 0 ? (f * fillShare + o * ring) / alpha : 0.0f;
                    return static_cast<std::uint32_t>(v + 0.5f);
                };
                pixels[static_cast<std::size_t>(y * w + x)] =
                    static_cast<std::uint32_t>(alpha * 255.0f + 0.5f) << 24 |
                    mix(fill_.r, outline_.r) << 16 | mix(fill_.g, outline_.g) << 8 |
                    mix(fill_.b, outline_.b);
            }
        }
        texture_ = TextureFromPixels(renderer, w, h, pixels.data(), true);
    }
    const SDL_Rect where = ToSdl(Bounds());
    SDL_RenderCopy(renderer, texture_.get(), nullptr, &where);
}

// ---- Timer

Timer::Timer(Window& owner, int intervalMs, bool enabled) : owner_(owner), intervalMs_(intervalMs) {
    owner_.AddTimer(this);
    SetEnabled(enabled);
}

Timer::~Timer() {
    owner_.RemoveTimer(this);
}

void Timer::Restart() {
    dueUs_ = App().GetClock().NowUs() + static_cast<std::uint64_t>(intervalMs_) * 1000u;
}

void Timer::SetEnabled(bool enabled) {
    const bool wasEnabled = enabled_;
    enabled_ = enabled && intervalMs_ > 0;
    // Only switching on starts a new count; enabling a running timer changes nothing.
    if (enabled_ && !wasEnabled)
        Restart();
}

void Timer::SetInterval(int intervalMs) {
    intervalMs_ = intervalMs;
    const bool enabled = enabled_;
    enabled_ = false;
    SetEnabled(enabled);
}

void Timer::Fire(std::uint64_t nowUs) {
    dueUs_ = nowUs + static_cast<std::uint64_t>(intervalMs_) * 1000u;
    inTick_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{inTick_};
    Application::HandlerScope scope;
    if (Tick)
        Tick();
}

} // namespace ui
