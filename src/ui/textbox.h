// A one-line text box: caret, selection, the editing keys, clipboard, an
// optional limit on its length, a key-press filter and a change event.
#pragma once

#include "ui/controls.h"
#include "ui/scaled_text.h"

#include <cstdint>
#include <functional>
#include <string>

namespace ui {

// What a box holding `utf8` draws as it opens with the focus, all of it
// selected: rendered and measured now, so that its first picture takes them.
void RenderTextBoxAhead(FontCache& fonts, const FontSpec& font, const std::string& utf8, int scale);

class TextBox : public Control {
public:
    // maxLength 0: no limit. Lengths and positions count characters.
    TextBox(Window& owner, Rect bounds, FontSpec font = {"Arial", 8.25f, false}, int maxLength = 0);

    std::string Text() const; // UTF-8
    // Raises Change when the text differs; the caret goes to the start.
    void SetText(const std::string& utf8);
    int Length() const { return static_cast<int>(text_.size()); }
    int MaxLength() const { return maxLength_; }
    int SelStart() const { return std::min(anchor_, caret_); }
    int SelLength() const { return std::abs(caret_ - anchor_); }
    std::string SelText() const;
    void SetSelection(int start, int length);
    void SelectAll() { SetSelection(0, Length()); }

    // Each character code before the box takes it; setting it to 0 discards it.
    std::function<void(std::int32_t& key)> KeyPress;
    // After every change of the text, by typing or by the program.
    std::function<void()> Change;

    bool CanFocus() const override { return true; }
    bool KeyDown(const SDL_Keysym& key) override;
    bool KeyChar(std::uint32_t key) override;
    void MousePress(float x, float y) override;
    void FocusChanged() override;
    void Draw(SDL_Renderer* renderer, FontCache& fonts) override;
    void ReleaseGraphics() override { text_texture_ = {}; }

private:
    void Replace(std::u32string inserted);
    void SetText32(std::u32string text);
    void MoveCaret(int to, bool extend);
    // Where the boundary after that many characters falls, as the text is drawn.
    float TextWidth(int characters) const;

    std::u32string text_;
    FontSpec font_;
    int maxLength_;
    int anchor_ = 0;
    int caret_ = 0;
    float scroll_ = 0; // pixels of text scrolled off to the left
    TextPicture text_texture_;
};

} // namespace ui
