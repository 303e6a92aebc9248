#include "ui/controls.h"

#include "text/utf8.h"
#include "ui/application.h"
#include "ui/draw3d.h"
#include "ui/scaled_text.h"
#include "ui/text_layout.h"
#include "ui/window.h"

#include <algorithm>
#include <cmath>
#include <optional>
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

std::optional<TextSize> MeasureText(FontCache& fonts, const FontSpec& font,
                                    const std::string& text) {
    TTF_Font* face = fonts.Get(font);
    if (face == nullptr)
        return std::nullopt;
    const std::vector<std::string> lines = SplitLines(NormaliseLineBreaks(text));
    TextSize size;
    for (const std::string& line : lines)
        size.width = std::max(size.width, LineWidth(fonts, font, line));
    size.height = static_cast<int>(lines.size()) * TTF_FontLineSkip(face);
    return size;
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
    if (style_.fore == color)
        return;
    // The colour changes nothing of the text's size or layout.
    TextPicture drawn = std::move(text_);
    text_ = {};
    if (other_ && otherFore_ == color)
        text_ = std::move(other_);
    other_ = std::move(drawn);
    otherFore_ = style_.fore;
    style_.fore = color;
    Invalidate();
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
    text_ = {};
    other_ = {};
    Invalidate();
    if (!style_.autoSize)
        return;
    if (const std::optional<TextSize> size = MeasureText(App().Fonts(), style_.font, caption_))
        SetBounds(Rect{Left(), Top(), size->width, size->height});
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
        const std::optional<LabelText> laid =
            LayOutLabel(fonts, style_, caption_, Width(), RendererScale(renderer));
        if (!laid)
            return;
        text_ = RenderWrapped(renderer, fonts, laid->face, laid->text, style_.fore, laid->wrap,
                              laid->align);
        if (!text_)
            return;
    }
    int x = box.x;
    if (style_.align == Align::Center)
        x += (box.w - text_.width) / 2;
    else if (style_.align == Align::Right)
        x += box.w - text_.width;
    const ClipScope clip(renderer, box);
    if (!clip.Empty())
        DrawText(renderer, text_, static_cast<float>(x), static_cast<float>(box.y));
}

namespace {

// The face a fitted line is drawn in: smaller by quarter points until it fits.
FontSpec FittedFace(FontCache& fonts, FontSpec face, const std::string& text, int width,
                    int scale) {
    std::string key = TextKey(face, scale, {width}, text);
    if (const std::optional<float> known = fonts.Measured(key)) {
        face.points = *known;
        return face;
    }
    // Measured as drawn: a face at twice the size is not quite twice as wide.
    // Hinting does not promise that a smaller size is narrower, so every
    // size is tried in turn rather than halving the range.
    TTF_Font* font = fonts.Get(face);
    while (font != nullptr && face.points > 6.0f &&
           TextAdvance(fonts, face, scale, text) > static_cast<float>(width)) {
        face.points -= 0.25f;
        font = fonts.Get(face);
    }
    if (font != nullptr)
        fonts.KeepMeasured(std::move(key), face.points);
    return face;
}

} // namespace

std::optional<LabelText> LayOutLabel(FontCache& fonts, const LabelStyle& style,
                                     const std::string& caption, int width, int scale) {
    const std::string text = NormaliseLineBreaks(text::ValidUtf8(caption));
    const FontSpec face =
        style.fitWidth ? FittedFace(fonts, style.font, text, width, scale) : style.font;
    if (fonts.Get(face) == nullptr)
        return std::nullopt;
    LabelText laid;
    laid.face = face;
    // An empty line still takes its height; SDL_ttf refuses empty text.
    laid.text = text.empty() ? std::string(" ") : text;
    laid.align = style.align == Align::Center  ? TTF_WRAPPED_ALIGN_CENTER
                 : style.align == Align::Right ? TTF_WRAPPED_ALIGN_RIGHT
                                               : TTF_WRAPPED_ALIGN_LEFT;
    // A fitted line was measured at the drawn size only: at the window's
    // own size, where breaks are chosen, hinting may make it a pixel or
    // two wider than the label, and it must not break there.
    laid.wrap = style.autoSize || style.fitWidth ? 0 : std::max(1, width);
    return laid;
}

void RenderLabelAhead(FontCache& fonts, const LabelStyle& style, int width,
                      const std::string& caption, int scale) {
    if (caption.empty())
        return;
    if (const std::optional<LabelText> laid = LayOutLabel(fonts, style, caption, width, scale))
        RenderWrappedAhead(fonts, laid->face, laid->text, style.fore, laid->wrap, laid->align,
                           scale);
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
    const SDL_Rect box = ToSdl(Bounds());
    const SDL_Rect where{box.x, box.y, picture_->width, picture_->height};
    const ClipScope clip(renderer, box);
    if (clip.Empty())
        return;
    SDL_Rect within{};
    SDL_RenderGetClipRect(renderer, &within);
    if (Owner().BlitStraight(*picture_, box.x, box.y, &within))
        return;
    if (!texture_)
        texture_ = TextureFromPixels(renderer, picture_->width, picture_->height,
                                     picture_->pixels.data(), false);
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
