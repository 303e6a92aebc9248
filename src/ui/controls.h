// The controls a window owns and draws over its background, in creation order.
#pragma once

#include "ui/fonts.h"
#include "ui/graphics.h"
#include "ui/scaled_text.h"
#include "ui/sdl_ptrs.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace ui {

class Window;

class Control {
public:
    Control(Window& owner, Rect bounds, bool visible = true);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    Window& Owner() const { return owner_; }
    const Rect& Bounds() const { return bounds_; }
    int Left() const { return bounds_.left; }
    int Top() const { return bounds_.top; }
    int Width() const { return bounds_.width; }
    int Height() const { return bounds_.height; }
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    // Moves the left and top, keeping the size.
    void Move(int left, int top);
    void SetBounds(Rect bounds);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    // Raised by a left click that starts and ends on the control.
    std::function<void()> Click;
    // Focus events; a lost focus names the control that holds it now.
    std::function<void()> GotFocus;
    std::function<void(Control* now)> LostFocus;

    // Keyboard: controls that can hold the focus (buttons, text boxes).
    virtual bool CanFocus() const { return false; }
    // Can hold the focus now: visible and enabled.
    bool Focusable() const { return CanFocus() && Visible() && Enabled(); }
    // The editing keys (arrows, Home, End, Delete), before any character
    // code. Returns true when the control used the key.
    virtual bool KeyDown(const SDL_Keysym& key) {
        (void)key;
        return false;
    }
    // A character code. Returns true when the control used it.
    virtual bool KeyChar(std::uint32_t key) {
        (void)key;
        return false;
    }
    // Whether Enter should reach the control rather than the default button.
    virtual bool TakesEnter() const { return false; }
    // What Enter on the default button, Esc on the cancel button or the
    // control's access key does.
    virtual void Press() {}
    // The letter that Alt presses the control with, lower case; 0 for none.
    virtual char AccessKey() const { return 0; }
    // A left press on the control: its pressed look while the pointer stays on
    // it, and where it began (client coordinates).
    virtual void MousePress(float x, float y) {
        (void)x;
        (void)y;
    }
    virtual void ShowPressed(bool pressed) { (void)pressed; }
    // The focus came or went: redraw whatever shows it.
    virtual void FocusChanged() { Invalidate(); }
    int tabIndex = 0;

    virtual void Draw(SDL_Renderer* renderer, FontCache& fonts) = 0;
    // Draw writes every pixel of the control's bounds.
    virtual bool Opaque() const { return false; }
    // Drops anything tied to the window's renderer, which is going away.
    virtual void ReleaseGraphics() {}

protected:
    void Invalidate();

private:
    Window& owner_;
    Rect bounds_;
    bool visible_;
    bool enabled_ = true;
};

enum class Align : std::uint8_t { Left, Center, Right };

struct LabelStyle {
    Color fore = RGB(0, 0, 0);
    Color back = RGB(255, 255, 255);
    bool transparent = false;
    FontSpec font;
    Align align = Align::Left;
    bool autoSize = false; // the label takes the size of its text
    // One line, never wrapped, drawn smaller until it fits the width at the
    // scale it is drawn: for a stand-in face wider than the one the label
    // was laid out for.
    bool fitWidth = false;
};

// Text with an optional background fill. A carriage return and line feed, or a
// lone carriage return, is one line break; lines wrap at the label's width.
class Label : public Control {
public:
    Label(Window& owner, Rect bounds, LabelStyle style, std::string caption = {});

    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);
    Color ForeColor() const { return style_.fore; }
    void SetForeColor(Color color);
    Color BackColor() const { return style_.back; }
    void SetBackColor(Color color);
    const FontSpec& Font() const { return style_.font; }
    void SetFontFace(std::string face);
    const LabelStyle& Style() const { return style_; }

    void Draw(SDL_Renderer* renderer, FontCache& fonts) override;
    bool Opaque() const override { return !style_.transparent; }
    void ReleaseGraphics() override {
        text_ = {};
        other_ = {};
    }

private:
    void Restyle();
    LabelStyle style_;
    std::string caption_;
    TextPicture text_;
    // The text as last drawn in the colour before, for a label that flickers
    // between two colours: kept until anything else about it changes.
    TextPicture other_;
    Color otherFore_;
};

// What a label renders its caption as, at a width and scale; nothing when
// the face cannot be opened.
struct LabelText {
    FontSpec face; // the style's, or smaller for a line fitted to the width
    std::string text;
    int wrap = 0; // the width lines wrap at, 0 for line feeds only
    int align = 0;
};
std::optional<LabelText> LayOutLabel(FontCache& fonts, const LabelStyle& style,
                                     const std::string& caption, int width, int scale);
// Renders a label's caption ahead, as a label of that style and width will
// draw it at that scale, so that its first picture takes it ready.
void RenderLabelAhead(FontCache& fonts, const LabelStyle& style, int width,
                      const std::string& caption, int scale);

// The text a label renders: line breaks normalised to line feeds.
std::string NormaliseLineBreaks(const std::string& text);

struct TextSize {
    int width = 0;
    int height = 0;
};
// The size of text broken at its line breaks only; nothing when the face
// cannot be opened.
std::optional<TextSize> MeasureText(FontCache& fonts, const FontSpec& font,
                                    const std::string& text);

// A picture at a fixed place, shown at its own size and clipped to the control.
class Image : public Control {
public:
    Image(Window& owner, Rect bounds, bool visible, std::shared_ptr<const Bitmap> picture = {});
    void SetPicture(std::shared_ptr<const Bitmap> picture);
    void Draw(SDL_Renderer* renderer, FontCache& fonts) override;
    void ReleaseGraphics() override { texture_.reset(); }

private:
    std::shared_ptr<const Bitmap> picture_;
    TexturePtr texture_;
};

// A filled circle with a one-pixel outline, filling its bounds.
class Shape : public Control {
public:
    Shape(Window& owner, Rect bounds, Color fill, Color outline, bool visible = true);
    Color FillColor() const { return fill_; }
    Color OutlineColor() const { return outline_; }
    void Draw(SDL_Renderer* renderer, FontCache& fonts) override;
    void ReleaseGraphics() override { texture_.reset(); }

private:
    Color fill_;
    Color outline_;
    TexturePtr texture_;
};

// An invisible control that raises Tick every interval while enabled, on the
// event thread only. Disabling and enabling restarts its count.
class Timer {
public:
    Timer(Window& owner, int intervalMs, bool enabled);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    int Interval() const { return intervalMs_; }
    void SetInterval(int intervalMs);
    std::function<void()> Tick;

    // For the event loop.
    bool Due(std::uint64_t nowUs) const { return enabled_ && !inTick_ && nowUs >= dueUs_; }
    std::uint64_t DueUs() const { return dueUs_; }
    bool InTick() const { return inTick_; }
    void Fire(std::uint64_t nowUs);

private:
    void Restart();
    Window& owner_;
    int intervalMs_;
    bool enabled_ = false;
    bool inTick_ = false;
    std::uint64_t dueUs_ = 0;
};

} // namespace ui
