// One composited desktop: a single native window on which every window is a
// picture, framed with a title bar and a close box and shown in its order,
// for a system that gives a program one surface to draw on (a browser page's
// one canvas). The windows draw their client areas as they would into a
// window of their own; what a desktop's window manager does is done here.
#pragma once

#include "ui/sdl_ptrs.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ui {

class Application;
class Window;

// How windows are put on screen.
enum class WindowSystem {
    kNative,     // each a native window of its own
    kComposited, // each a picture on the one composited desktop
};
#ifdef __EMSCRIPTEN__
inline constexpr WindowSystem kDefaultWindowSystem = WindowSystem::kComposited;
#else
inline constexpr WindowSystem kDefaultWindowSystem = WindowSystem::kNative;
#endif
// The system named in the environment variable `variable` ("native" or
// "composited"), else `fallback`. A wrong value is ignored with a line on
// stderr beginning "program: ".
WindowSystem ChooseWindowSystem(WindowSystem fallback, const std::string& variable,
                                const std::string& program);

class Desktop {
public:
    // The frame around a client area, in the window's own pixels.
    static constexpr int kBorder = 3;
    static constexpr int kTitleHeight = 18;
    static constexpr int kCloseWidth = 16;
    static constexpr int kCloseHeight = 14;

    // A window's frame, and its client area in it, in the window's own pixels.
    static SDL_Rect Frame(const Window& window);
    static SDL_Rect ClientInFrame(const Window& window);

    Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    // False when no native window could be opened.
    bool IsOpen() const { return window_ != nullptr; }
    std::uint32_t NativeId() const { return nativeId_; }
    SDL_Window* Native() const { return window_.get(); }

    // A window joins the desktop centred on it, and gets an id no native
    // window has.
    std::uint32_t Add(Window& window);
    void Remove(Window& window);
    // To the top, with the dialogs it owns above it.
    void Raise(Window& window);
    // Centred over its owner, or on the desktop for nullptr.
    void CenterOver(Window& window, const Window* owner);
    // The window's picture changed from its size at oldScale: its centre
    // stays where it was.
    void Resized(Window& window, int oldScale);
    // Parts of the window's picture changed, in the picture's pixels
    // (nullptr: all of it).
    void Damaged(const Window& window, const std::vector<SDL_Rect>* areas);
    // The title bar and border, drawn into the window's picture around its
    // client area; the window with the keys is marked.
    void DrawFrame(const Window& window, SDL_Renderer* renderer) const;
    // The keys went from one window to another: both frames change.
    void KeysMoved(Window* from, Window* to);

    // The desktop fills the screen, or comes back to its window.
    void SetFullScreen(bool on);
    bool IsFullScreen() const { return fullScreen_; }

    bool NeedsPresent() const { return !dirty_.empty(); }
    // Puts the changed parts of the desktop on screen.
    void Present();
    // Input to the desktop's native window, sent on as the window under the
    // pointer or the window with the keys would get it from a system of
    // native windows.
    void Dispatch(const SDL_Event& event, Application& app);

    // Where the window's client area begins on the desktop, in desktop pixels.
    SDL_Point Origin(const Window& window) const;
    // The close box, in desktop pixels.
    SDL_Rect CloseBox(const Window& window) const;
    // The desktop's pixels in an area, 0xAARRGGBB, as they are on screen.
    std::vector<std::uint32_t> ReadPixels(const SDL_Rect& area);

private:
    struct Placed {
        Window* window;
        int x, y; // the frame's top-left corner, in desktop pixels
        // Where the frame's top would be if the title bar were not kept on
        // the desktop: a smaller desktop and back leaves the window where it was.
        int freeY;
    };
    Placed* Find(const Window& window);
    const Placed* Find(const Window& window) const;
    SDL_Rect FrameRect(const Placed& placed) const;
    // The topmost shown window whose frame holds the point.
    Placed* At(int x, int y);
    void DamageFrame(const Placed& placed);
    void DamageAll();
    // The native window's size changed: windows keep their places relative
    // to its centre.
    void SizeChanged();
    void Pointer(const SDL_Event& event, Application& app);
    static void SendClose(Window& window, Application& app);

    WindowPtr window_;
    std::uint32_t nativeId_ = 0;
    int width_ = 0, height_ = 0;
    bool fullScreen_ = false;
    std::uint32_t nextId_ = 0x40000000u;
    std::vector<Placed> order_; // bottom first
    std::vector<SDL_Rect> dirty_;
    // The window a button was pressed in, which gets the pointer until every
    // button is up, as a native window captures it.
    std::uint32_t heldBy_ = 0;
    Uint32 buttons_ = 0;
    // A title bar being dragged, and where in it the pointer took it.
    std::uint32_t dragging_ = 0;
    SDL_Point grab_{};
    // A close box pressed and not yet released.
    std::uint32_t closing_ = 0;
};

} // namespace ui
