// A top-level window: caption, client size, background picture, icon, the
// controls it owns, and the handlers its events raise.
#pragma once

#include "ui/controls.h"
#include "ui/desktop.h"
#include "ui/graphics.h"
#include "ui/sdl_ptrs.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ui {

// Mouse buttons as handlers see them.
inline constexpr std::int16_t kLeftButton = 1;
inline constexpr std::int16_t kRightButton = 2;
inline constexpr std::int16_t kMiddleButton = 4;
// Modifier keys as handlers see them.
inline constexpr std::int16_t kShiftMask = 1;
inline constexpr std::int16_t kCtrlMask = 2;
inline constexpr std::int16_t kAltMask = 4;
// The arrow keys as key-down handlers see them.
inline constexpr std::int16_t kKeyLeft = 37;
inline constexpr std::int16_t kKeyUp = 38;
inline constexpr std::int16_t kKeyRight = 39;
inline constexpr std::int16_t kKeyDown = 40;

class Window {
public:
    Window(std::string caption, int clientWidth, int clientHeight);
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Runs the load handler; the application does this once, at creation.
    void Load();
    void Show();
    // Ends the window: it disappears at once and is freed once no handler is
    // running. Safe from inside the window's own handlers.
    void Unload();
    bool IsLoaded() const { return loaded_; }
    bool IsShown() const { return loaded_ && shown_; }
    // Its place in the order windows were shown, 0 before it is.
    std::uint64_t ShownAt() const { return shownAt_; }

    const std::string& Caption() const { return caption_; }
    int ClientWidth() const { return width_; }
    int ClientHeight() const { return height_; }
    // Screen pixels to one of the window's own: the window shows that many
    // times its client size, and the pointer comes back divided by it.
    int Scale() const { return scale_; }
    // Shows the window at another scale, its centre where it was. In full
    // screen the scale is kept for when the window comes back.
    void SetScale(int scale);
    // The whole screen: the picture at the largest whole scale that fits,
    // centred on black; or back to the window as it was. On a composited
    // desktop, the desktop fills the screen, with every window on it.
    void SetFullScreen(bool on);
    bool IsFullScreen() const;
    void SetBackground(std::shared_ptr<const Bitmap> picture);
    void SetBackColor(Color color);
    void SetIcon(std::shared_ptr<const Bitmap> icon);

    // Handlers; each window overrides what it uses.
    virtual void Form_Load() {}
    virtual void Form_Click() {}
    virtual void Form_KeyPress(std::int16_t& keyAscii) { (void)keyAscii; }
    // An arrow key that no control of the window took, with the modifiers held.
    virtual void Form_KeyDown(std::int16_t& keyCode, std::int16_t shift) {
        (void)keyCode;
        (void)shift;
    }
    virtual void Form_MouseDown(std::int16_t button, std::int16_t shift, float x, float y);
    virtual void Form_MouseMove(std::int16_t button, std::int16_t shift, float x, float y);
    virtual void Form_MouseUp(std::int16_t button, std::int16_t shift, float x, float y);
    // The frame's close box. A window decides for itself; by default the box
    // does nothing.
    virtual void Form_CloseBox() {}
    // A game controller's left stick held at `push` (-1 all the way left to
    // 1 all the way right) for `seconds`.
    virtual void Form_PadStick(float push, double seconds) {
        (void)push;
        (void)seconds;
    }
    // A game controller's button (SDL_CONTROLLER_BUTTON_…) that no control
    // of the window took; a held d-pad direction comes again as a key repeats.
    virtual void Form_PadButton(Uint8 button) { (void)button; }

    // Keyboard focus among the controls that can hold it. SetFocus says
    // whether the move held: a lost-focus handler may send the focus on.
    Control* Focused() const { return focused_; }
    bool SetFocus(Control* control);
    void FocusNext(bool backwards);
    bool HasFocusableControl() const;
    // A control went disabled or hidden: the focus moves on from it.
    void ControlUnavailable(Control* control);
    // Places the window centred over another one (or the screen for nullptr),
    // and keeps it above that window as a dialog: that window owns it, and
    // gets the keys back when it closes.
    void CenterOver(const Window* owner);
    // A release that a modal dialog kept from the window: no handler runs,
    // but the window no longer holds the button.
    void ForgetButton(Uint8 sdlButton);
    void SetDefaultButton(Control* button) { defaultButton_ = button; }
    void SetCancelButton(Control* button) { cancelButton_ = button; }
    Control* DefaultButton() const { return defaultButton_; }
    Control* CancelButton() const { return cancelButton_; }

    // The whole window, or a part of it, needs drawing again.
    void Invalidate() { dirty_ = fullRepaint_ = true; }
    void InvalidateRect(const Rect& area);
    bool NeedsPaint() const { return dirty_ && IsShown(); }
    // Not yet painted at its present size.
    bool AwaitsFirstPicture() const { return NeedsPaint() && !renderer_; }
    void Paint();
    // Draws the window as it stands and reads its client pixels, 0xAARRGGBB:
    // one for each of the window's own pixels (the top-left screen pixel of
    // each block when scaled), or every screen pixel (Scale() times the
    // client size each way).
    std::vector<std::uint32_t> ReadPixels();
    std::vector<std::uint32_t> ReadScreenPixels();

    // The window's own native window; nullptr on a composited desktop.
    SDL_Window* Native() const { return window_.get(); }
    // The id its input comes with: its native window's, or the one the
    // composited desktop gave it. 0 when it could not be put on screen.
    std::uint32_t NativeId() const { return nativeId_; }
    // Raises the window and gives it the system's keyboard focus.
    void Raise();
    // Puts an opaque picture with its top-left corner at (x, y), clipped to
    // `clip` (the whole client when nullptr), straight onto the window's own
    // surface; false when the window draws only through its renderer.
    bool BlitStraight(const Bitmap& picture, int x, int y, const SDL_Rect* clip);
    // A window just shown asks the window manager for the front once its
    // first picture is out: showing it raised it, and the picture need not
    // wait on the request.
    void RaiseOnceDrawn();

    // For the event loop and the controls.
    void HandleInput(const SDL_Event& event);
    // A character code; a chord (Ctrl or Alt held) may reach the focused
    // control, never the window's key-press handler. KeyDown gives Ctrl with
    // a letter as its control character, no chord.
    void DeliverKey(std::uint32_t key, bool chord = false);
    // A game controller's button (SDL_CONTROLLER_BUTTON_…): A presses the
    // focused or default button, B the cancel button; the d-pad moves the
    // focus. Any other press, and these where there is nothing for them to
    // do, goes to Form_PadButton. No button is a character.
    void PadButton(Uint8 button);
    void AddControl(Control* control) { controls_.push_back(control); }
    void RemoveControl(Control* control);
    void AddTimer(Timer* timer) { timers_.push_back(timer); }
    void RemoveTimer(Timer* timer);
    const std::vector<Timer*>& Timers() const { return timers_; }
    const std::vector<Control*>& Controls() const { return controls_; }

private:
    friend class Desktop;

    bool EnsureRenderer();
    // The new renderer draws the client area at the window's scale and place.
    void SetUpRenderer();
    // On a composited desktop: the picture the window draws into, framed.
    bool EnsurePicture();
    // Where the client area starts in that picture, at the window's scale.
    void PlaceClientInPicture();
    // The drawn picture goes on screen: all of it, or the areas given in
    // screen pixels.
    void ShowDrawn(const std::vector<SDL_Rect>* areas);
    void Render(const SDL_Rect* area);
    void DrawBackground(const SDL_Rect* area);
    // Draws the background without a texture where it can; false when not.
    Control* ControlAt(float x, float y) const;
    Control* AccessControl(char letter) const;
    void MouseDown(const SDL_MouseButtonEvent& e);
    void MouseUp(const SDL_MouseButtonEvent& e);
    void KeyDown(const SDL_Keysym& key);
    float FromScreenX(int v) const {
        return static_cast<float>(v - offsetX_) / static_cast<float>(scale_);
    }
    float FromScreenY(int v) const {
        return static_cast<float>(v - offsetY_) / static_cast<float>(scale_);
    }
    // Drops the surface, renderer and textures, to be made again at the scale.
    void RemakeGraphics();
    // A window unloaded while the program runs leaves the screen at once and
    // is destroyed after the next picture; one destroyed goes at once.
    enum class Leaving { Now, AfterNextPicture };
    void ReleaseNative(Leaving leaving);

    std::string caption_;
    int width_;
    int height_;
    int scale_ = 1;
    bool fullScreen_ = false;
    int windowScale_ = 1;           // the scale to come back to from full screen
    int windowX_ = 0, windowY_ = 0; // and the place
    int offsetX_ = 0, offsetY_ = 0; // where the picture starts on the screen, in screen pixels
    bool loaded_ = true;
    bool shown_ = false;
    std::uint64_t shownAt_ = 0;
    bool raiseAsked_ = false;
    std::uint32_t ownerId_ = 0; // the native id of the window that owns it
    bool dirty_ = true;
    bool fullRepaint_ = true;
    std::vector<SDL_Rect> damaged_;
    SDL_Surface* surface_ = nullptr; // drawn in place when the window has one
    bool surfaceFailed_ = false;
    Color backColor_ = RGB(212, 208, 200);
    std::shared_ptr<const Bitmap> background_;
    std::shared_ptr<const Bitmap> icon_;
    WindowPtr window_;
    Desktop* desktop_ = nullptr; // the composited desktop it is on, instead of window_
    SurfacePtr picture_;         // its picture there
    RendererPtr renderer_;
    TexturePtr backgroundTexture_;
    std::uint32_t nativeId_ = 0;
    std::vector<Control*> controls_;
    std::vector<Timer*> timers_;
    Control* focused_ = nullptr;
    Control* defaultButton_ = nullptr;
    Control* cancelButton_ = nullptr;
    std::int16_t buttonsHeld_ = 0;
    Control* pressedOn_ = nullptr; // holds the left press, gets its release
    bool pressedOnWindow_ = false;
    Control* focusPending_ = nullptr; // given the focus, its got-focus not yet raised
    std::uint64_t focusMoves_ = 0;
    bool swallowText_ = false; // the text of a key that pressed an access key
    SDL_Keysym textKey_{};     // the key down whose text may follow
};

} // namespace ui
