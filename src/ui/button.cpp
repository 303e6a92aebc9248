#include "ui/button.h"

#include "ui/draw3d.h"
#include "ui/window.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace ui {
namespace {

// White, tinted by colour mod as it is drawn.
constexpr Color kButtonText = RGB(255, 255, 255);

struct Underline {
    float left = 0, width = 0;
};

// The access key's line under its letter, measured as drawn, so that it stays
// under the letter at any scale.
Underline AccessUnderline(FontCache& fonts, const FontSpec& font, int scale,
                          const AccessCaption& access) {
    if (access.underline == std::string::npos)
        return {};
    const std::size_t letterBytes =
        access.underline < access.text.size() ? 1 : 0; // access keys are ASCII
    return {KeptAdvance(fonts, font, scale, access.text.substr(0, access.underline)),
            KeptAdvance(fonts, font, scale, access.text.substr(access.underline, letterBytes))};
}

} // namespace

AccessCaption ParseAccessCaption(const std::string& caption) {
    AccessCaption out;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] != '&' || i + 1 == caption.size()) {
            out.text += caption[i];
            continue;
        }
        ++i;
        if (caption[i] != '&' && out.key == 0) {
            out.underline = out.text.size();
            out.key = static_cast<char>(std::tolower(static_cast<unsigned char>(caption[i])));
        }
        out.text += caption[i];
    }
    return out;
}

void RenderButtonAhead(FontCache& fonts, const FontSpec& font, const std::string& caption,
                       int scale) {
    const AccessCaption access = ParseAccessCaption(caption);
    if (access.text.empty())
        return;
    RenderLineAhead(fonts, font, access.text, kButtonText, scale);
    AccessUnderline(fonts, font, std::max(1, scale), access);
}

Button::Button(Window& owner, Rect bounds, std::string caption, FontSpec font)
    : Control(owner, bounds), caption_(std::move(caption)), access_(ParseAccessCaption(caption_)),
      font_(std::move(font)) {}

void Button::SetCaption(std::string caption) {
    caption_ = std::move(caption);
    access_ = ParseAccessCaption(caption_);
    text_ = {};
    Invalidate();
}

bool Button::DefaultLook() const {
    const Control* focused = Owner().Focused();
    if (focused == this)
        return true;
    const bool focusOnButton =
        focused != nullptr && dynamic_cast<const Button*>(focused) != nullptr;
    return Owner().DefaultButton() == this && !focusOnButton;
}

bool Button::KeyChar(std::uint32_t key) {
    if (key != ' ' && key != 13)
        return false;
    Press();
    return true;
}

void Button::Press() {
    if (Enabled() && Visible() && Click)
        Click();
}

void Button::ShowPressed(bool pressed) {
    if (pressed_ != pressed) {
        pressed_ = pressed;
        Invalidate();
    }
}

void Button::Draw(SDL_Renderer* renderer, FontCache& fonts) {
    const SDL_Rect box{Left(), Top(), Width(), Height()};
    FillBox(renderer, box, kButtonFace);
    SDL_Rect face = box;
    if (DefaultLook()) {
        DrawEdge(renderer, face, RGB(0, 0, 0), RGB(0, 0, 0));
        face = Inset(face, 1);
    }
    if (pressed_) {
        DrawEdge(renderer, face, kButtonShadow, kButtonShadow);
        face = Inset(face, 2);
    } else {
        face = DrawRaised(renderer, face);
    }
    if (!text_ && !access_.text.empty()) {
        text_ = RenderLine(renderer, fonts, font_, access_.text, kButtonText);
        if (!text_)
            return;
        const int scale = text_.scale;
        textWidth_ = text_.width;
        textHeight_ = text_.height;
        baseline_ = FontAscent(fonts, font_, scale) + 1.0f;
        const Underline underline = AccessUnderline(fonts, font_, scale, access_);
        underlineLeft_ = underline.left;
        underlineWidth_ = underline.width;
    }
    if (!text_)
        return;
    const int shift = pressed_ ? 1 : 0;
    const int x = box.x + (box.w - textWidth_) / 2 + shift;
    const int y = box.y + (box.h - textHeight_) / 2 + shift;
    auto drawText = [&](int dx, int dy, Color c) {
        SDL_SetTextureColorMod(text_.texture.get(), c.r, c.g, c.b);
        DrawText(renderer, text_, static_cast<float>(x + dx), static_cast<float>(y + dy));
        if (underlineWidth_ > 0) {
            SDL_SetRenderDrawColor(renderer, c.r, c.g, c.b, 255);
            const SDL_FRect line{static_cast<float>(x + dx) + underlineLeft_,
                                 std::floor(static_cast<float>(y + dy) + baseline_),
                                 underlineWidth_, 1.0f};
            SDL_RenderFillRectF(renderer, &line);
        }
    };
    if (Enabled()) {
        drawText(0, 0, RGB(0, 0, 0));
    } else {
        // Engraved: a light copy below and right of the grey one.
        drawText(1, 1, kButtonHighlight);
        drawText(0, 0, kButtonShadow);
    }
    if (Owner().Focused() == this)
        DrawFocusRect(renderer, Inset(face, 1));
}

} // namespace ui
