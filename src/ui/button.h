// A push button in the raised style of a 96 dpi desktop: a caption whose "&"
// marks the access key, a pressed look while the left button is held on it,
// the focus rectangle, and a greyed caption while disabled.
#pragma once

#include "ui/controls.h"
#include "ui/scaled_text.h"

#include <string>

namespace ui {

// A caption without its marks: "&" before the access key, "&&" for an "&".
struct AccessCaption {
    std::string text;
    std::size_t underline = std::string::npos; // byte offset of the access key in text
    char key = 0;                              // the access key, lower case
};
AccessCaption ParseAccessCaption(const std::string& caption);

inline const FontSpec kButtonFont{"Arial", 8.25f, false};
// Renders a button's caption ahead, as a button in that face will draw it at
// that scale, so that its first picture takes it ready.
void RenderButtonAhead(FontCache& fonts, const FontSpec& font, const std::string& caption,
                       int scale);

class Button : public Control {
public:
    Button(Window& owner, Rect bounds, std::string caption, FontSpec font = kButtonFont);

    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);
    bool PressedLook() const { return pressed_; }
    // Drawn with the heavy frame of the button that Enter presses.
    bool DefaultLook() const;

    bool CanFocus() const override { return true; }
    bool TakesEnter() const override { return true; }
    bool KeyChar(std::uint32_t key) override;
    void Press() override;
    char AccessKey() const override { return access_.key; }
    void ShowPressed(bool pressed) override;
    void Draw(SDL_Renderer* renderer, FontCache& fonts) override;
    void ReleaseGraphics() override { text_ = {}; }

private:
    std::string caption_;
    AccessCaption access_;
    FontSpec font_;
    bool pressed_ = false;
    TextPicture text_; // white, tinted as drawn
    int textWidth_ = 0;
    int textHeight_ = 0;
    float underlineLeft_ = 0;
    float underlineWidth_ = 0;
    float baseline_ = 0;
};

} // namespace ui
