#include "ui/application.h"

#include <algorithm>
#include <cmath>
#include <limits>

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

Application::Application(Options options) : clock_(std::move(options.clock)) {
    current = this;
    if (!clock_)
        clock_ = std::make_unique<RealClock>();
    // The program decides its own end: closing a window is a handler's business.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "1");
    // Window surfaces go straight to the display: a GL texture behind them
    // would redraw the whole window for every changed pixel.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        startError_ = SDL_GetError();
        return;
    }
    sdlStarted_ = true;
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
}

Application::~Application() {
    windows_.clear();
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

void Application::EndProgram() {
    modal_.clear();
    for (Window* w : Windows())
        w->Unload();
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
    if (e.type == SDL_WINDOWEVENT) {
        Window* w = FindNative(e.window.windowID);
        if (w == nullptr)
            return;
        switch (e.window.event) {
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
    const std::uint32_t id = EventWindowId(e);
    if (id == 0)
        return;
    Window* w = FindNative(id);
    if (w == nullptr)
        return;
    if (InputBlocked(w)) {
        if (e.type == SDL_MOUSEBUTTONUP)
            w->ForgetButton(e.button.button);
        return;
    }
    HandlerScope scope;
    w->HandleInput(e);
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

void Application::PaintChanged() {
    const std::vector<Window*> windows = Windows();
    if (std::none_of(windows.begin(), windows.end(), [](Window* w) { return w->NeedsPaint(); }))
        return;
    // At most one picture per display frame, so each step of a fall is seen.
    // Frames keep to their own beat rather than drifting by the drawing time.
    const std::uint64_t now = clock_->NowUs();
    const std::uint64_t due = lastPresentUs_ + static_cast<std::uint64_t>(std::llround(frameUs_));
    if (presented_ && now < due) {
        clock_->SleepUntilUs(due);
        lastPresentUs_ = due;
    } else {
        lastPresentUs_ = now;
    }
    for (Window* w : windows)
        if (w->NeedsPaint())
            w->Paint();
    presented_ = true;
    ++framesPresented_;
}

void Application::DoEvents() {
    SDL_Event e;
    while (SDL_PollEvent(&e))
        Dispatch(e);
    FireDueTimers();
    PaintChanged();
    Collect();
}

void Application::Run() {
    DoEvents();
    while (HasWindows()) {
        const std::uint64_t due = NextTimerDueUs();
        SDL_Event e;
        int got = 0;
        if (due == std::numeric_limits<std::uint64_t>::max()) {
            got = SDL_WaitEvent(&e);
        } else {
            const std::uint64_t now = clock_->NowUs();
            const int wait = due > now ? static_cast<int>((due - now + 999) / 1000) : 0;
            got = SDL_WaitEventTimeout(&e, wait);
        }
        if (got)
            Dispatch(e);
        DoEvents();
    }
}

void Application::RunModal(Window& dialog) {
    // The dialog's caller is on the stack: nothing is freed until it returns.
    HandlerScope scope;
    modal_.push_back(&dialog);
    while (dialog.IsShown() && std::find(modal_.begin(), modal_.end(), &dialog) != modal_.end()) {
        const std::uint64_t due = NextTimerDueUs();
        const std::uint64_t now = clock_->NowUs();
        int wait = 100;
        if (due != std::numeric_limits<std::uint64_t>::max())
            wait = due > now
                       ? static_cast<int>(std::min<std::uint64_t>((due - now + 999) / 1000, 100))
                       : 0;
        SDL_Event e;
        if (SDL_WaitEventTimeout(&e, wait))
            Dispatch(e);
        DoEvents();
    }
    std::erase(modal_, &dialog);
}

} // namespace ui
