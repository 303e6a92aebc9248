#include "ui/application.h"

#include "platform/display.h"
#include "platform/quiet_stderr.h"
#include "ui/scaled_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>

namespace ui {
namespace {

Application* current = nullptr;

std::uint32_t EventWindowId(const SDL_Event& e) {
    switch (e.type) {
    case SDL_MOUSEMOTION:
        return e.motion.windowID;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        return e.button.windowID;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        return e.key.windowID;
    case SDL_TEXTINPUT:
        return e.text.windowID;
    default:
        return 0;
    }
}

} // namespace

Application::Application(Options options)
    : clock_(std::move(options.clock)), fonts_(std::move(options.standIns)),
      name_(std::move(options.name)), firstPicture_(std::move(options.firstPicture)),
      facesAhead_(std::move(options.facesAhead)), programKeys_(std::move(options.programKeys)) {
    current = this;
    if (!clock_)
        clock_ = std::make_unique<platform::RealClock>();
    // The program decides its own end: closing a window is a handler's business.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // SDL would capture the pointer for the window that holds the keys, and
    // a press on another one, without a window manager to move them first,
    // would send the rest of its drag there. A window captures for itself.
    SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "0");
    // Window surfaces go straight to the display: a GL texture behind them
    // would redraw the whole window for every changed pixel.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // Windows are scaled here, from the display's density: a system that
    // would stretch them itself must report its real pixels instead.
    SDL_SetHint(SDL_HINT_WINDOWS_DPI_AWARENESS, "permonitorv2");
    platform::IgnoreStaleWakeUps();
    int started = 0;
    {
        // Each display library SDL tries in turn explains its failure.
        const platform::QuietStderr quiet;
        started = SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    }
    if (started != 0) {
        startError_ = SDL_GetError();
        return;
    }
    sdlStarted_ = true;
    startError_ = platform::NoWindowReasonHere();
    if (!startError_.empty())
        return;
    if (TTF_Init() != 0) {
        startError_ = TTF_GetError();
        return;
    }
    ttfStarted_ = true;
    SDL_StartTextInput();
    double hz = options.frameRateHz;
    SDL_DisplayMode mode;
    if (hz <= 0 && SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.refresh_rate > 0)
        hz = mode.refresh_rate;
    if (hz <= 0)
        hz = 60;
    frameUs_ = 1e6 / hz;
    automatic_ = ChooseScale(options.scale, options.scaleVariable, options.name);
    scale_ = WithPlayersChoice(automatic_, options.chosenScale);
    if (ChooseWindowSystem(options.windowSystem, options.windowSystemVariable, name_) ==
        WindowSystem::kComposited) {
        desktop_ = std::make_unique<Desktop>();
        if (!desktop_->IsOpen()) {
            startError_ = SDL_GetError();
            desktop_.reset();
        }
    }
}

int Application::ScaleFor(int width, int height) {
    const int scale = scale_.For(width, height);
    if (scale < scale_.wanted && !scale_.variable.empty() && !toldScaleLowered_) {
        toldScaleLowered_ = true;
        std::fprintf(stderr,
                     "%s%s=%d does not fit the screen: windows open at the largest scale that "
                     "fits\n",
                     name_.empty() ? "" : (name_ + ": ").c_str(), scale_.variable.c_str(),
                     scale_.wanted);
    }
    return scale;
}

int Application::StepScale(int step) {
    const Window* keys = KeyWindow();
    const int now = keys != nullptr ? keys->Scale() : scale_.For(1, 1);
    int most = 1;
    for (const Window* w : Windows())
        if (w->IsShown() && (keys == nullptr || w == keys))
            most = std::max(most, LargestFittingScale(w->ClientWidth(), w->ClientHeight()));
    // A player's steps fit the screen, whatever named the scale before.
    scale_ = {std::clamp(now + step, 1, most), false, {}};
    RescaleWindows();
    return scale_.wanted;
}

void Application::AutomaticScale() {
    scale_ = automatic_;
    RescaleWindows();
}

void Application::RescaleWindows() {
    for (Window* w : Windows())
        w->SetScale(scale_.For(w->ClientWidth(), w->ClientHeight()));
}

Application::~Application() {
    pads_.reset();
    windows_.clear();
    closed_.clear();
    desktop_.reset();
    fonts_.Clear();
    if (ttfStarted_)
        TTF_Quit();
    if (sdlStarted_)
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    if (current == this)
        current = nullptr;
}

Application& Application::Current() {
    return *current;
}

bool Application::HasWindows() const {
    return std::any_of(windows_.begin(), windows_.end(),
                       [](const auto& w) { return w->IsLoaded(); });
}

std::vector<Window*> Application::Windows() const {
    std::vector<Window*> out;
    for (const auto& w : windows_)
        if (w->IsLoaded())
            out.push_back(w.get());
    return out;
}

Window* Application::FindNative(std::uint32_t windowId) const {
    for (const auto& w : windows_)
        if (w->IsLoaded() && w->NativeId() == windowId)
            return w.get();
    return nullptr;
}

void Application::Fail(std::string reason) {
    if (failure_.empty())
        failure_ = std::move(reason);
    EndProgram();
}

void Application::EndProgram() {
    modal_.clear();
    for (Window* w : Windows())
        w->Unload();
}

void Application::GiveKeys(Window& window) {
    if (window.NativeId() == 0)
        return;
    window.Raise();
    SetKeys(window.NativeId());
}

void Application::SetKeys(std::uint32_t windowId) {
    if (desktop_ != nullptr && windowId != keysWith_)
        desktop_->KeysMoved(FindNative(keysWith_), FindNative(windowId));
    keysWith_ = windowId;
}

void Application::ActivateLastShown() {
    Window* last = nullptr;
    for (const auto& w : windows_)
        if (w->IsShown() && w->NativeId() != 0 &&
            (last == nullptr || w->ShownAt() > last->ShownAt()))
            last = w.get();
    if (last != nullptr)
        GiveKeys(*last);
    else
        SetKeys(0);
}

void Application::PassKeysOn(std::uint32_t ownerId) {
    Window* owner = FindNative(ownerId);
    if (owner != nullptr && owner->IsShown())
        GiveKeys(*owner);
    else
        ActivateLastShown();
}

std::uint64_t Application::Showing(const Window& window) {
    SetKeys(window.NativeId());
    return ++showings_;
}

void Application::Collect() {
    if (depth_ != 0)
        return;
    std::erase_if(windows_, [](const auto& w) { return !w->IsLoaded(); });
}

bool Application::InputBlocked(const Window* target) const {
    return !modal_.empty() && modal_.back() != target;
}

void Application::Dispatch(const SDL_Event& e) {
    if (e.type == SDL_QUIT) {
        EndProgram();
        return;
    }
    // Input to the composited desktop comes back here as the window's own.
    if (desktop_ != nullptr && (e.type == SDL_WINDOWEVENT ? e.window.windowID : EventWindowId(e)) ==
                                   desktop_->NativeId()) {
        desktop_->Dispatch(e, *this);
        return;
    }
    if (e.type == SDL_WINDOWEVENT) {
        Window* w = FindNative(e.window.windowID);
        if (w == nullptr)
            return;
        switch (e.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            SetKeys(e.window.windowID);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            if (keysWith_ == e.window.windowID)
                SetKeys(0);
            break;
        case SDL_WINDOWEVENT_CLOSE:
            if (!InputBlocked(w)) {
                HandlerScope scope;
                w->Form_CloseBox();
            }
            break;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            w->Invalidate();
            break;
        default:
            break;
        }
        return;
    }
    if (pads_ && pads_->Track(e)) {
        if (e.type == SDL_CONTROLLERDEVICEREMOVED && held_ && held_->pad == e.cdevice.which)
            held_.reset();
        return;
    }
    if (e.type == SDL_CONTROLLERBUTTONDOWN || e.type == SDL_CONTROLLERBUTTONUP) {
        PadButton(e.cbutton);
        return;
    }
    const std::uint32_t id = EventWindowId(e);
    if (id == 0)
        return;
    Window* w = FindNative(id);
    if (w == nullptr)
        return;
    // A held chord toggles once: its repeats go on to the window, which
    // takes no character from a chord.
    if (e.type == SDL_KEYDOWN && e.key.repeat == 0 && programKeys_) {
        HandlerScope scope;
        if (programKeys_(e.key.keysym))
            return;
    }
    if (InputBlocked(w)) {
        if (e.type == SDL_MOUSEBUTTONUP)
            w->ForgetButton(e.button.button);
        return;
    }
    // A press acts on the window pressed, and takes the keys there with it,
    // whether or not a window manager has moved them already.
    if (e.type == SDL_MOUSEBUTTONDOWN && KeyWindow() != w)
        GiveKeys(*w);
    HandlerScope scope;
    w->HandleInput(e);
}

void Application::PadButton(const SDL_ControllerButtonEvent& e) {
    if (e.state == SDL_RELEASED) {
        if (held_ && held_->pad == e.which && held_->button == e.button)
            held_.reset();
        return;
    }
    if (e.button >= SDL_CONTROLLER_BUTTON_DPAD_UP && e.button <= SDL_CONTROLLER_BUTTON_DPAD_RIGHT)
        held_ = HeldButton{e.which, e.button, clock_->NowUs() + Gamepads::kRepeatDelayUs};
    PressPad(e.button);
}

Window* Application::PadWindow() const {
    return modal_.empty() ? KeyWindow() : modal_.back();
}

void Application::PressPad(Uint8 button) {
    Window* w = PadWindow();
    if (w == nullptr)
        return;
    HandlerScope scope;
    w->PadButton(button);
}

void Application::FeedPad() {
    if (!pads_)
        return;
    const std::uint64_t now = clock_->NowUs();
    while (held_ && now >= held_->nextUs) {
        held_->nextUs += Gamepads::kRepeatIntervalUs;
        PressPad(held_->button);
    }
    const float push = pads_->StickX();
    if (push == 0.0f) {
        stickToldUs_.reset();
        return;
    }
    // The push is told from the moment it is first seen, so the chip moves
    // as far as the stick was held, however often the loop comes round.
    if (!stickToldUs_) {
        stickToldUs_ = now;
        return;
    }
    if (now <= *stickToldUs_)
        return;
    const double seconds = static_cast<double>(now - *stickToldUs_) / 1e6;
    stickToldUs_ = now;
    Window* w = PadWindow();
    if (w == nullptr)
        return;
    HandlerScope scope;
    w->Form_PadStick(push, seconds);
}

std::uint64_t Application::NextPadDueUs() const {
    std::uint64_t next = std::numeric_limits<std::uint64_t>::max();
    const auto frame = static_cast<std::uint64_t>(std::llround(frameUs_));
    if (pads_ && pads_->AnyOpen())
        next = padsReadUs_ + frame;
    if (held_)
        next = std::min(next, held_->nextUs);
    if (stickToldUs_)
        next = std::min(next, *stickToldUs_ + frame);
    return next;
}

std::uint64_t Application::NextTimerDueUs() const {
    std::uint64_t next = std::numeric_limits<std::uint64_t>::max();
    for (const auto& w : windows_)
        if (w->IsLoaded())
            for (const Timer* t : w->Timers())
                if (t->Enabled() && !t->InTick())
                    next = std::min(next, t->DueUs());
    return next;
}

void Application::FireDueTimers() {
    for (Window* w : Windows()) {
        const std::vector<Timer*> timers = w->Timers();
        for (Timer* t : timers) {
            if (!w->IsLoaded())
                break;
            const std::uint64_t now = clock_->NowUs();
            if (t->Due(now))
                t->Fire(now);
        }
    }
}

std::uint64_t Application::PresentDueUs() const {
    const std::vector<Window*> windows = Windows();
    if (std::none_of(windows.begin(), windows.end(), [](Window* w) { return w->NeedsPaint(); }) &&
        (desktop_ == nullptr || !desktop_->NeedsPresent()))
        return std::numeric_limits<std::uint64_t>::max();
    // A window's first picture is shown at once: only changes keep the pace.
    if (!presented_ || std::any_of(windows.begin(), windows.end(),
                                   [](Window* w) { return w->AwaitsFirstPicture(); }))
        return 0;
    // Pictures closer together than this would mostly never reach the screen;
    // a change held back is still shown within one frame of the last picture.
    return lastPresentUs_ + static_cast<std::uint64_t>(std::llround(frameUs_ * 0.75));
}

void Application::DestroyAfterNextPicture(WindowPtr window) {
    if (!window)
        return;
    closed_.push_back(std::move(window));
    closedAtFrame_ = framesPresented_;
}

void Application::PaintChanged() {
    // Never sleeps: a yield inside a long handler must not set that
    // handler's pace. What is not shown now is shown by a later yield or by
    // the loop, which wakes for it.
    const std::uint64_t due = PresentDueUs();
    if (due == std::numeric_limits<std::uint64_t>::max())
        return;
    const std::uint64_t now = clock_->NowUs();
    if (now < due)
        return;
    lastPresentUs_ = now;
    for (Window* w : Windows())
        if (w->NeedsPaint())
            w->Paint();
    if (desktop_ != nullptr)
        desktop_->Present();
    ++framesPresented_;
    if (!presented_) {
        presented_ = true;
        if (firstPicture_)
            firstPicture_();
        // Looking for controllers reads the system's device lists, which the
        // first picture need not wait for; those present arrive now.
        pads_.emplace();
        const std::vector<Window*> shown = Windows();
        const int scale = shown.empty() ? 1 : shown.front()->Scale();
        for (const FontSpec& face : facesAhead_)
            DoAhead([this, face, scale] { PrepareFaces(fonts_, {face}, scale); });
    }
}

void Application::DoEvents() {
    // Not in the yield that presents the next picture: that one ends a
    // window's opening, and destroying a window takes milliseconds. Hiding
    // one waits for the display server too: a closed window stays up while
    // the window that replaces it has yet to show its first picture.
    const std::vector<Window*> windows = Windows();
    const bool awaited = std::any_of(windows.begin(), windows.end(),
                                     [](const Window* w) { return w->AwaitsFirstPicture(); });
    RaiseDrawnWindows();
    if (!closed_.empty() && framesPresented_ > closedAtFrame_)
        closed_.clear();
    else if (!awaited)
        for (const WindowPtr& w : closed_)
            SDL_HideWindow(w.get());
    if (pads_) {
        pads_->Update();
        padsReadUs_ = clock_->NowUs();
    }
    // A window just shown has its first picture sent before the display
    // server is asked for more events: that waits on it, and what the events
    // of the showing ask for is a picture, which the next turn still makes.
    // Input already taken in is handled as ever.
    const bool firstPicture = awaited && showings_ != readBeforeShowing_;
    readBeforeShowing_ = showings_;
    const bool justRead = std::exchange(justRead_, false);
    SDL_Event e;
    if (firstPicture || justRead)
        while (SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0)
            Dispatch(e);
    else
        while (SDL_PollEvent(&e))
            Dispatch(e);
    FeedPad();
    FireDueTimers();
    PaintChanged();
    Collect();
    if (AheadDue() && SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT) == SDL_FALSE) {
        const std::function<void()> slice = std::move(ahead_.front());
        ahead_.pop_front();
        slice();
    }
}

bool Application::Wait(SDL_Event& event, int timeoutMs) {
    justRead_ = true;
    if (waitEvent(&event, timeoutMs) != 0)
        return true;
    // An endless wait returns only with an event; a timed one without an
    // event once its time is up, or at once when SDL's events are gone. Going
    // round again would spin a core for nothing.
    if (timeoutMs < 0 || SDL_WasInit(SDL_INIT_EVENTS) == 0)
        Fail(std::string("waiting for input failed: ") + SDL_GetError());
    return false;
}

void Application::RaiseDrawnWindows() {
    for (Window* w : Windows())
        w->RaiseOnceDrawn();
}

void Application::WaitForEvent(int capMs) {
    // Before any wait: a window drawn in the last turn is raised now.
    RaiseDrawnWindows();
    SDL_Event e;
    // Work ahead waits for nothing: it takes only input already there.
    if (AheadDue()) {
        if (SDL_PollEvent(&e) != 0)
            Dispatch(e);
        return;
    }
    const std::uint64_t deadline = std::min({NextTimerDueUs(), PresentDueUs(), NextPadDueUs()});
    if (deadline == std::numeric_limits<std::uint64_t>::max()) {
        if (Wait(e, capMs))
            Dispatch(e);
        return;
    }
    const std::uint64_t now = clock_->NowUs();
    const std::uint64_t wholeMs = deadline > now ? (deadline - now + 999u) / 1000u : 0;
    if (capMs >= 0 && wholeMs > static_cast<std::uint64_t>(capMs)) {
        if (Wait(e, capMs))
            Dispatch(e);
        return;
    }
    // SDL waits in whole milliseconds, rounded up here: a tick or a held-back
    // picture comes less than 1 ms late but in one wake-up, where sleeping the
    // rest on the clock took a second one each time. SDL returns no event only
    // once the wait has run out, which by its own rounding may be a little
    // early: the clock sleeps what is left then.
    if (Wait(e,
             static_cast<int>(std::min<std::uint64_t>(wholeMs, std::numeric_limits<int>::max())))) {
        Dispatch(e);
    } else if (failure_.empty() && clock_->NowUs() < deadline) {
        clock_->SleepUntilUs(deadline);
        justRead_ = false; // input may have come while the clock slept
    }
}

void Application::Run() {
    DoEvents();
    while (HasWindows() && failure_.empty()) {
        WaitForEvent(-1);
        DoEvents();
    }
}

void Application::RunModal(Window& dialog) {
    // The dialog's caller is on the stack: nothing is freed until it returns.
    HandlerScope scope;
    modal_.push_back(&dialog);
    // A copy: the hook may clear itself while it runs.
    if (const auto hook = onModal)
        hook(dialog);
    while (dialog.IsShown() && failure_.empty() &&
           std::find(modal_.begin(), modal_.end(), &dialog) != modal_.end()) {
        WaitForEvent(100);
        DoEvents();
    }
    std::erase(modal_, &dialog);
}

} // namespace ui
