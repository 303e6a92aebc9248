// The event loop: one thread, every handler on it, one at a time.
#pragma once

#include "platform/clock.h"
#include "ui/fonts.h"
#include "ui/gamepad.h"
#include "ui/scale.h"
#include "ui/window.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ui {

struct Options {
    std::unique_ptr<platform::Clock> clock; // the real clock when empty
    double frameRateHz = 0;                 // 0: the display's refresh rate, 60 when unknown
    int scale = 0; // 0: as scaleVariable, chosenScale or the display's density asks
    // The scale the player last chose in the game (0: none), below the variable.
    int chosenScale = 0;
    // The environment variable through which a player names the scale.
    std::string scaleVariable;
    // The program's name, which begins every line the layer prints.
    std::string name;
    // Called once, right after the first picture is presented.
    std::function<void()> firstPicture;
    // The faces the program's windows draw text in: opened, and their
    // printable ASCII rendered once, a face a slice after the first picture
    // (after the work firstPicture gives DoAhead), so that a window opened
    // later shows its first picture without waiting for them.
    std::vector<FontSpec> facesAhead;
    // Faces the program's windows ask for that a system may lack.
    std::vector<FaceStandIn> standIns;
    // Keys the program takes in whichever window holds them, dialogs
    // included, before that window sees them: true when taken. A held key's
    // repeats do not come here.
    std::function<bool(const SDL_Keysym& key)> programKeys;
    // How windows are put on screen, and the environment variable through
    // which a player may choose another way ("native" or "composited").
    WindowSystem windowSystem = kDefaultWindowSystem;
    std::string windowSystemVariable;
};

class Application {
public:
    explicit Application(Options options = {});
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    static Application& Current();
    // Empty when SDL's video or text could not be started, or when the only
    // video SDL found shows nothing and nobody asked for it.
    const std::string& StartError() const { return startError_; }
    // Ends the program because it cannot go on honestly (a window that could
    // not be made, a wait that fails); the first reason is kept for main.
    void Fail(std::string reason);
    const std::string& Failure() const { return failure_; }

    platform::Clock& GetClock() { return *clock_; }
    // The one desktop every window is a picture on, or nullptr when each
    // window is a native window of its own.
    Desktop* CompositedDesktop() const { return desktop_.get(); }
    FontCache& Fonts() { return fonts_; }
    // The scale windows open at on this display.
    const ScaleChoice& Scale() const { return scale_; }
    // For the windows opened from now on.
    void SetScale(ScaleChoice choice) { scale_ = choice; }
    // Every window one whole step larger (+1) or smaller (-1), from 1 to the
    // largest at which the window with the keys fits the screen; each keeps
    // its centre. Returns the scale now wanted.
    int StepScale(int step);
    // Every window back at the scale chosen for this display at the start,
    // the player's choice aside.
    void AutomaticScale();
    // The scale a window of this logical size opens at. The first time a
    // player's scale is lowered to fit the screen, one line says so.
    int ScaleFor(int width, int height);

    // The shared instance of a window kind: created, and its load run, by first use.
    template <typename T> T& Instance() {
        if (T* existing = Find<T>())
            return *existing;
        auto created = std::make_unique<T>();
        T& window = *created;
        windows_.push_back(std::move(created));
        window.Load();
        return window;
    }
    // A window that is not shared, such as a dialog: always a new one.
    template <typename T, typename... Args> T& Open(Args&&... args) {
        auto created = std::make_unique<T>(std::forward<Args>(args)...);
        T& window = *created;
        windows_.push_back(std::move(created));
        window.Load();
        return window;
    }
    template <typename T> T* Find() const {
        for (const auto& w : windows_)
            if (w->IsLoaded())
                if (T* t = dynamic_cast<T*>(w.get()))
                    return t;
        return nullptr;
    }

    // Until no window is left.
    void Run();
    // The yield: pending input, due timer ticks and painting, once. It never
    // sleeps; changes less than 3/4 of a display frame after the last picture
    // are left for a later yield or the loop.
    void DoEvents();
    // Work for later windows, done a slice at a time in the loop's own turns
    // (never in a handler's yield), while no input waits, in the order given.
    void DoAhead(std::function<void()> slice) { ahead_.push_back(std::move(slice)); }
    // Unloads every window.
    void EndProgram();
    // The keys: the window that holds them as far as the program knows (the
    // one the system last said took them, or the last one they were given
    // to or shown), nullptr when none of its windows does.
    Window* KeyWindow() const { return FindNative(keysWith_); }
    // Raises the window and gives it the keys, as a click on it does on a desktop.
    void GiveKeys(Window& window);
    // Raises the window shown last that is still shown and gives it the keys.
    void ActivateLastShown();
    // A window that held the keys has gone: they go back to its owner when
    // that is still shown, else to the window shown last.
    void PassKeysOn(std::uint32_t ownerId);
    // A window came on screen, and the system gives a new window the keys.
    // Returns its place in the order windows were shown.
    std::uint64_t Showing(const Window& window);
    bool HasWindows() const;
    // A nested loop that keeps every window painting and every timer ticking
    // but gives input to the dialog alone; returns when the dialog is unloaded
    // or the program ends.
    void RunModal(Window& dialog);
    // Called as each modal loop starts, with its dialog: how tests answer one.
    std::function<void(Window& dialog)> onModal;
    // SDL_WaitEventTimeout (-1 waits without end); tests make it fail.
    std::function<int(SDL_Event* event, int timeoutMs)> waitEvent = SDL_WaitEventTimeout;

    // Earliest due time of an enabled timer, or UINT64_MAX.
    std::uint64_t NextTimerDueUs() const;
    // When open controllers are next read, a held d-pad direction repeats or
    // a pushed stick moves on, or UINT64_MAX.
    std::uint64_t NextPadDueUs() const;
    std::uint64_t FramesPresented() const { return framesPresented_; }
    // A closed window is hidden and destroyed once the next picture is on
    // the screen: the window that replaces it is not kept waiting for it.
    void DestroyAfterNextPicture(WindowPtr window);
    double FrameIntervalUs() const { return frameUs_; }
    std::vector<Window*> Windows() const;
    Window* FindNative(std::uint32_t windowId) const;

    void Dispatch(const SDL_Event& event);
    // Whether a modal dialog other than this window holds the input.
    bool InputBlocked(const Window* target) const;

    // Marks a handler on the stack; windows are freed only when none is.
    class HandlerScope {
    public:
        HandlerScope() { ++Current().depth_; }
        ~HandlerScope() { --Current().depth_; }
        HandlerScope(const HandlerScope&) = delete;
        HandlerScope& operator=(const HandlerScope&) = delete;
    };

private:
    void FireDueTimers();
    bool AheadDue() const { return !ahead_.empty() && depth_ == 0; }
    void RaiseDrawnWindows();
    // When the changed windows are to be shown: UINT64_MAX when none changed.
    std::uint64_t PresentDueUs() const;
    void PaintChanged();
    // Waits for one event, at most until a tick or a picture is due, and at
    // most capMs when that is not negative.
    void WaitForEvent(int capMs);
    void Collect();
    // The keys go to the window with this id (0: none).
    void SetKeys(std::uint32_t windowId);

    bool Wait(SDL_Event& event, int timeoutMs);
    // A controller's buttons and stick go to the modal dialog, else to the
    // window with the keys.
    Window* PadWindow() const;
    void PadButton(const SDL_ControllerButtonEvent& e);
    void PressPad(Uint8 button);
    // The held d-pad's repeats and the stick's push since it was last told.
    void FeedPad();

    std::string startError_;
    std::string failure_;
    std::unique_ptr<platform::Clock> clock_;
    FontCache fonts_;
    std::string name_;
    std::function<void()> firstPicture_;
    std::vector<FontSpec> facesAhead_;
    std::deque<std::function<void()>> ahead_;
    std::function<bool(const SDL_Keysym& key)> programKeys_;
    ScaleChoice scale_;
    ScaleChoice automatic_;
    void RescaleWindows();
    bool toldScaleLowered_ = false;
    std::vector<std::unique_ptr<Window>> windows_;
    std::vector<WindowPtr> closed_;
    std::uint64_t closedAtFrame_ = 0;
    std::unique_ptr<Desktop> desktop_;
    std::vector<Window*> modal_;
    int depth_ = 0;
    double frameUs_ = 1e6 / 60.0;
    std::uint64_t lastPresentUs_ = 0;
    bool presented_ = false;
    std::uint64_t framesPresented_ = 0;
    std::uint32_t keysWith_ = 0; // a window's native id
    std::uint64_t showings_ = 0;
    std::uint64_t readBeforeShowing_ = 0; // showings_ when input was last left for a picture
    // SDL read the display's events as the last wait ended: the turn after it
    // takes what is queued without asking the display server again.
    bool justRead_ = false;
    bool sdlStarted_ = false;
    bool ttfStarted_ = false;
    std::optional<Gamepads> pads_;
    struct HeldButton {
        SDL_JoystickID pad;
        Uint8 button;
        std::uint64_t nextUs;
    };
    std::optional<HeldButton> held_;
    std::optional<std::uint64_t> stickToldUs_; // set while the stick is pushed
    std::uint64_t padsReadUs_ = 0;
};

inline Application& App() {
    return Application::Current();
}

// A window reached through one shared instance (frmBoard, frmTop10 ...).
template <typename T> class Shared {
public:
    T* operator->() const { return &App().Instance<T>(); }
    T& Load() const { return App().Instance<T>(); }
    bool Exists() const { return App().Find<T>() != nullptr; }
    void Unload() const {
        if (T* t = App().Find<T>())
            t->Unload();
    }
};

} // namespace ui
