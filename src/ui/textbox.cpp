#include "ui/textbox.h"

#include "text/utf8.h"
#include "ui/application.h"
#include "ui/draw3d.h"
#include "ui/window.h"

#include <algorithm>

namespace ui {
namespace {

constexpr int kPadding = 2; // between the sunken edge and the text
constexpr Color kText = RGB(0, 0, 0), kSelectedText = RGB(255, 255, 255);

// One line of text as the box holds it: no line breaks or other controls.
std::u32string OneLine(std::u32string text) {
    const auto end = text.find_first_of(U"\r\n");
    if (end != std::u32string::npos)
        text.resize(end);
    std::erase_if(text, [](char32_t c) { return c < 32 || c == 127; });
    return text;
}

} // namespace

TextBox::TextBox(Window& owner, Rect bounds, FontSpec font, int maxLength)
    : Control(owner, bounds), font_(std::move(font)), maxLength_(std::max(0, maxLength)) {}

std::string TextBox::Text() const {
    return text::EncodeUtf8(text_);
}

std::string TextBox::SelText() const {
    return text::EncodeUtf8(std::u32string_view(text_).substr(
        static_cast<std::size_t>(SelStart()), static_cast<std::size_t>(SelLength())));
}

void TextBox::SetText(const std::string& utf8) {
    std::u32string decoded = text::DecodeUtf8(utf8);
    if (maxLength_ > 0 && static_cast<int>(decoded.size()) > maxLength_)
        decoded.resize(static_cast<std::size_t>(maxLength_));
    anchor_ = caret_ = 0;
    scroll_ = 0;
    SetText32(std::move(decoded));
    Invalidate();
}

void TextBox::SetText32(std::u32string text) {
    if (text == text_)
        return;
    text_ = std::move(text);
    text_texture_ = {};
    Invalidate();
    if (Change)
        Change();
}

void TextBox::SetSelection(int start, int length) {
    anchor_ = std::clamp(start, 0, Length());
    caret_ = std::clamp(start + std::max(0, length), 0, Length());
    Invalidate();
}

void TextBox::MoveCaret(int to, bool extend) {
    caret_ = std::clamp(to, 0, Length());
    if (!extend)
        anchor_ = caret_;
    Invalidate();
}

void TextBox::Replace(std::u32string inserted) {
    const auto start = static_cast<std::size_t>(SelStart());
    const auto length = static_cast<std::size_t>(SelLength());
    if (maxLength_ > 0) {
        const std::size_t room =
            static_cast<std::size_t>(maxLength_) -
            std::min<std::size_t>(text_.size() - length, static_cast<std::size_t>(maxLength_));
        if (inserted.size() > room)
            inserted.resize(room);
    }
    if (inserted.empty() && length == 0)
        return;
    std::u32string text = text_;
    text.replace(start, length, inserted);
    anchor_ = caret_ = static_cast<int>(start + inserted.size());
    SetText32(std::move(text));
    Invalidate();
}

bool TextBox::KeyDown(const SDL_Keysym& key) {
    const bool shift = (key.mod & KMOD_SHIFT) != 0;
    switch (key.sym) {
    case SDLK_LEFT:
        MoveCaret(SelLength() > 0 && !shift ? SelStart() : caret_ - 1, shift);
        return true;
    case SDLK_RIGHT:
        MoveCaret(SelLength() > 0 && !shift ? SelStart() + SelLength() : caret_ + 1, shift);
        return true;
    case SDLK_HOME:
        MoveCaret(0, shift);
        return true;
    case SDLK_END:
        MoveCaret(Length(), shift);
        return true;
    case SDLK_DELETE:
        if (SelLength() == 0 && caret_ < Length())
            caret_ = caret_ + 1;
        Replace({});
        return true;
    default:
        return false;
    }
}

bool TextBox::KeyChar(std::uint32_t key) {
    auto code = static_cast<std::int32_t>(key);
    if (KeyPress) {
        KeyPress(code);
        if (code == 0)
            return true;
    }
    switch (code) {
    case 8: // Backspace
        if (SelLength() == 0 && caret_ > 0)
            anchor_ = caret_ - 1;
        Replace({});
        return true;
    case 1: // Ctrl+A
        SelectAll();
        return true;
    case 3:  // Ctrl+C
    case 24: // Ctrl+X
        if (SelLength() > 0)
            SDL_SetClipboardText(SelText().c_str());
        if (code == 24)
            Replace({});
        return true;
    case 22: // Ctrl+V
        if (SDL_HasClipboardText()) {
            const std::unique_ptr<char, decltype(&SDL_free)> clip(SDL_GetClipboardText(), SDL_free);
            if (clip)
                Replace(OneLine(text::DecodeUtf8(clip.get())));
        }
        return true;
    case 9:
    case 13:
    case 27:
        return false;
    default:
        if (code < 32 || code == 127)
            return true;
        Replace(std::u32string(1, static_cast<char32_t>(code)));
        return true;
    }
}

void RenderTextBoxAhead(FontCache& fonts, const FontSpec& font, const std::string& utf8,
                        int scale) {
    if (utf8.empty())
        return;
    RenderLineAhead(fonts, font, utf8, kText, scale);
    RenderLineAhead(fonts, font, utf8, kSelectedText, scale);
    KeptAdvance(fonts, font, scale, utf8);
}

float TextBox::TextWidth(int characters) const {
    if (characters <= 0)
        return 0;
    const std::string prefix = text::EncodeUtf8(
        std::u32string_view(text_).substr(0, static_cast<std::size_t>(characters)));
    return KeptAdvance(App().Fonts(), font_, Owner().Scale(), prefix);
}

void TextBox::MousePress(float x, float) {
    const float local = x - (static_cast<float>(Left() + kPadding + 2) - scroll_);
    // The boundary nearest the pointer.
    int best = 0;
    float bestDistance = std::abs(local);
    for (int i = 1; i <= Length(); ++i) {
        const float d = std::abs(local - TextWidth(i));
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    MoveCaret(best, false);
}

void TextBox::FocusChanged() {
    // Coming into the box by Tab or by a program selects what it holds, so
    // that typing replaces it; a click then places the caret.
    if (Owner().Focused() == this)
        SelectAll();
    Invalidate();
}

void TextBox::Draw(SDL_Renderer* renderer, FontCache& fonts) {
    const SDL_Rect box{Left(), Top(), Width(), Height()};
    const SDL_Rect inner = DrawSunken(renderer, box);
    FillBox(renderer, inner, Enabled() ? RGB(255, 255, 255) : kButtonFace);
    TTF_Font* font = fonts.Get(font_);
    if (font == nullptr)
        return;
    const bool focused = Owner().Focused() == this;
    const auto fieldWidth = static_cast<float>(inner.w - 2 * kPadding);
    const float caretX = TextWidth(caret_);
    if (caretX - scroll_ > fieldWidth - 1)
        scroll_ = caretX - fieldWidth + 1;
    if (caretX < scroll_)
        scroll_ = caretX;
    const int lineHeight = TTF_FontHeight(font);
    const float originX = static_cast<float>(inner.x + kPadding) - scroll_;
    const int top = inner.y + (inner.h - lineHeight) / 2;
    const SDL_Rect field{inner.x + 1, inner.y, inner.w - 2, inner.h};
    const ClipScope clip(renderer, field);
    if (clip.Empty())
        return;
    const std::string utf8 = Text();
    if (!text_texture_ && !utf8.empty())
        text_texture_ = RenderLine(renderer, fonts, font_, utf8, kText);
    const auto y = static_cast<float>(top);
    if (text_texture_) {
        const Uint8 tint = Enabled() ? 255 : 128;
        SDL_SetTextureColorMod(text_texture_.texture.get(), tint, tint, tint);
        DrawText(renderer, text_texture_, originX, y);
    }
    if (focused && SelLength() > 0) {
        const float from = TextWidth(SelStart());
        const float to = TextWidth(SelStart() + SelLength());
        const SDL_FRect band{originX + from, y, to - from, static_cast<float>(lineHeight)};
        SDL_SetRenderDrawColor(renderer, kSelectionBack.r, kSelectionBack.g, kSelectionBack.b, 255);
        SDL_RenderFillRectF(renderer, &band);
        const TextPicture selected = RenderLine(renderer, fonts, font_, SelText(), kSelectedText);
        DrawText(renderer, selected, originX + from, y);
    } else if (focused) {
        // One pixel wide, on the boundary as the text is drawn.
        const SDL_FRect caret{originX + caretX, y, 1.0f, static_cast<float>(lineHeight)};
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderFillRectF(renderer, &caret);
    }
}

} // namespace ui
