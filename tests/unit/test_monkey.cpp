// A monkey at the controls: random keys, mouse input, clicks, close boxes and
// clock advances over whichever windows are open, on the manual clock, with
// the game's invariants checked after every event. Events also arrive inside
// the nested loops: the board's fall, the speed window's test run and the
// modal dialogs.
//
// PEGDROP_MONKEY_SEEDS=N plays seeds 1..N (10 by default, fewer under the
// sanitizers), PEGDROP_MONKEY_SEED=n replays one seed, and
// PEGDROP_MONKEY_EVENTS the events a seed plays (10,000).
#include "harness.h"

#include "game/frmBoard.h"
#include "game/frmSpeed.h"
#include "game/frmSplash.h"
#include "game/frmTop10.h"
#include "platform/files.h"
#include "rules/board_rules.h"
#include "rules/slots.h"
#include "rules/speed_setting.h"
#include "rules/top10.h"
#include "ui/dialogs.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

#ifndef PEGDROP_MONKEY_DEFAULT_SEEDS
#define PEGDROP_MONKEY_DEFAULT_SEEDS 10
#endif

namespace {

int EnvInt(const char* name, int fallback) {
    const char* text = std::getenv(name);
    if (text == nullptr || *text == '\0')
        return fallback;
    return std::atoi(text);
}

std::vector<int> Seeds() {
    if (std::getenv("PEGDROP_MONKEY_SEED") != nullptr)
        return {EnvInt("PEGDROP_MONKEY_SEED", 1)};
    std::vector<int> seeds;
    for (int s = 1; s <= EnvInt("PEGDROP_MONKEY_SEEDS", PEGDROP_MONKEY_DEFAULT_SEEDS); ++s)
        seeds.push_back(s);
    return seeds;
}

// The game reseeds from the time of day before every fall; the monkey keeps
// its own seed so that a failing run replays draw for draw.
class SeededRandom final : public pegdrop::RandomSource {
public:
    explicit SeededRandom(unsigned seed) : engine_(seed) {}
    void Reseed(double) override {}
    float Next() override { return std::uniform_real_distribution<float>(0.0f, 0.999f)(engine_); }

private:
    std::mt19937 engine_;
};

// A click handler wrapped so that the monkey knows it ran, and when.
struct Spy {
    std::function<void()> before;
    std::function<void()> inner;
    void operator()() const {
        before();
        if (inner)
            inner();
    }
};

// Wraps once: a control already spied on keeps its spy.
bool SpyOn(ui::Control& c, std::function<void()> before) {
    if (c.Click.target<Spy>() != nullptr)
        return false;
    c.Click = Spy{std::move(before), c.Click};
    return true;
}

// Which file is at a path: a rewrite renames a new file over it.
struct Stamp {
    bool exists = false;
    ino_t inode = 0;
    long long mtimeNs = 0;
    off_t size = 0;
    bool operator==(const Stamp&) const = default;
};

Stamp StampOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return {};
    return {true, st.st_ino, st.st_mtim.tv_sec * 1'000'000'000LL + st.st_mtim.tv_nsec, st.st_size};
}

struct Tally {
    int events = 0, runs = 0, drops = 0, games = 0, tournaments = 0, rewrites = 0, prompts = 0,
        messages = 0, speedOks = 0, exits = 0;
};

template <typename T> long CountOf(const std::vector<ui::Window*>& windows) {
    return std::count_if(windows.begin(), windows.end(),
                         [](ui::Window* w) { return dynamic_cast<T*>(w) != nullptr; });
}

class Monkey : public test::Harness, public ::testing::WithParamInterface<int> {
protected:
    void Play(int seed, int events) {
        seed_ = seed;
        rng_.seed(static_cast<unsigned>(seed) * 2654435761u + 1u);
        modPegdrop::SetRandomSource(std::make_unique<SeededRandom>(static_cast<unsigned>(seed)));
        eventsLeft_ = events;
        PrepareDataFolder();
        app().onModal = [this](ui::Window& dialog) { Modal(dialog); };
        StartProgram();
        while (eventsLeft_ > 0 && !failed_) {
            if (!app().HasWindows()) {
                ProgramEnded();
                StartProgram();
                continue;
            }
            OneEvent(Context::Top, nullptr);
        }
        app().onModal = nullptr;
        std::printf("monkey seed %d: %d events, %d runs, %d drops, %d games (%d tournaments, %d "
                    "rewrites), %d name prompts, %d messages, %d speed OKs, %d exits\n",
                    seed_, tally_.events, tally_.runs, tally_.drops, tally_.games,
                    tally_.tournaments, tally_.rewrites, tally_.prompts, tally_.messages,
                    tally_.speedOks, tally_.exits);
    }

    Tally tally_;

private:
    enum class Context { Top, Modal, Fall };

    int Roll(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    int Between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    std::string Top10Path() const { return data.Path() + "/top10.dat"; }
    std::string SpeedPath() const { return data.Path() + "/speed.dat"; }

    // Some seeds start with no files, some with a full table and a setting.
    void PrepareDataFolder() {
        if (Roll(3) != 0) {
            std::string table;
            for (int i = 0; i < 10; ++i)
                table +=
                    "\"P" + std::to_string(i) + "\"," + std::to_string(3000 - 250 * i) + "\r\n";
            data.Write("top10.dat", table);
        }
        fileSpeed_ = pegdrop::kDefaultSpeed;
        if (Roll(2) == 0) {
            fileSpeed_ = static_cast<std::int16_t>(Between(1, 500));
            data.Write("speed.dat", std::to_string(fileSpeed_) + "\r\n");
        }
        top10Stamp_ = StampOf(Top10Path());
    }

    void StartProgram() {
        ++tally_.runs;
        modPegdrop::ResetSharedState();
        boardSeen_ = false;
        prevLanded_ = false;
        prevChipsLeft_ = 0;
        prevMode_ = 0;
        wonSoFar_ = 0;
        landedPrize_.reset();
        tournamentPending_ = false;
        exitClicked_ = false;
        FrmSplash& splash = app().Instance<FrmSplash>();
        splash.Show();
        Yield();
        Check();
    }

    void ProgramEnded() {
        speedAtEnd_ = modPegdrop::Speed;
        const std::string saved = data.Read("speed.dat");
        if (exitClicked_) {
            ++tally_.exits;
            Expect(saved == std::to_string(speedAtEnd_) + "\r\n",
                   "Exit saved \"" + saved + "\" for speed " + std::to_string(speedAtEnd_));
            fileSpeed_ = speedAtEnd_;
        }
        // Nothing but the two files is left behind, however the program ended.
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator(data.Path(), ignored)) {
            const std::string name = entry.path().filename().string();
            Expect(name == "top10.dat" || name == "speed.dat", "left in the data folder: " + name);
        }
    }

    // ---- Events

    // One random event on the open windows; at the top and in a modal loop it
    // is delivered and checked at once, inside a fall it waits for the fall's
    // own yield.
    void OneEvent(Context context, ui::Window* dialog) {
        if (eventsLeft_ <= 0 || failed_)
            return;
        --eventsLeft_;
        ++tally_.events;
        ++eventNo_;
        const std::vector<ui::Window*> shown = ShownWindows();
        if (shown.empty())
            return;
        ui::Window* target = shown[static_cast<std::size_t>(Roll(static_cast<int>(shown.size())))];
        if (dialog != nullptr && Roll(5) != 0)
            target = dialog;
        const int kind = Roll(100);
        if (kind < 28)
            RandomKey(*target);
        else if (kind < 38)
            RandomMouseMove(*target);
        else if (kind < 48)
            RandomButton(*target);
        else if (kind < 62)
            ClickAControl(*target);
        else if (kind < 74)
            DragOnBoard();
        else if (kind < 99 || Roll(3) != 0)
            PassTime(context);
        else
            PostCloseBox(*target); // rare, or few games would reach their end
        if (context == Context::Fall)
            return;
        Yield();
        Check();
    }

    std::vector<ui::Window*> ShownWindows() {
        std::vector<ui::Window*> shown;
        for (ui::Window* w : app().Windows())
            if (w->IsShown())
                shown.push_back(w);
        return shown;
    }

    void Note(const std::string& what) {
        recent_.push_back(std::to_string(eventNo_) + " " + what);
        if (recent_.size() > 8)
            recent_.pop_front();
    }

    void PostKey(ui::Window& w, SDL_Keycode key, Uint16 mod, char text) {
        PressKey(w, key, mod);
        if (text != 0) {
            SDL_Event e{};
            e.type = SDL_TEXTINPUT;
            e.text.windowID = w.NativeId();
            e.text.text[0] = text;
            Post(e);
        }
    }

    void RandomKey(ui::Window& w) {
        static const SDL_Keycode kSpecial[] = {SDLK_RETURN,    SDLK_ESCAPE, SDLK_TAB,   SDLK_SPACE,
                                               SDLK_BACKSPACE, SDLK_LEFT,   SDLK_RIGHT, SDLK_DOWN,
                                               SDLK_HOME,      SDLK_DELETE, SDLK_F4};
        static const char kGameKeys[] = "TFStfs123456789";
        const int pick = Roll(10);
        if (pick < 3) {
            const SDL_Keycode key = kSpecial[Roll(static_cast<int>(std::size(kSpecial)))];
            const Uint16 mod = Roll(4) == 0 ? KMOD_LSHIFT : KMOD_NONE;
            Note("key " + std::to_string(key) + " mod " + std::to_string(mod) + " to " +
                 w.Caption());
            PostKey(w, key, mod, key == SDLK_SPACE ? ' ' : 0);
        } else if (pick < 5) {
            // Access keys: the letters of the buttons and some that are no one's.
            static const char kAlt[] = "xpxpaeoct5";
            const char c = kAlt[Roll(static_cast<int>(std::size(kAlt)) - 1)];
            Note(std::string("alt+") + c + " to " + w.Caption());
            PostKey(w, static_cast<SDL_Keycode>(c), KMOD_LALT, 0);
        } else if (pick < 8) {
            const char c = kGameKeys[Roll(static_cast<int>(std::size(kGameKeys)) - 1)];
            Note(std::string("type ") + c + " to " + w.Caption());
            PostKey(w, static_cast<SDL_Keycode>(std::tolower(static_cast<unsigned char>(c))),
                    KMOD_NONE, c);
        } else {
            const char c = static_cast<char>(Between(' ', '~'));
            Note(std::string("type ") + c + " to " + w.Caption());
            PostKey(w, static_cast<SDL_Keycode>(std::tolower(static_cast<unsigned char>(c))),
                    KMOD_NONE, c);
        }
    }

    // Anywhere, including well outside the window.
    int AnyX(const ui::Window& w) { return Between(-60, w.ClientWidth() + 60); }
    int AnyY(const ui::Window& w) { return Between(-60, w.ClientHeight() + 60); }

    void RandomMouseMove(ui::Window& w) {
        const Uint32 mask = Roll(2) == 0 ? SDL_BUTTON_LMASK : 0;
        const int x = AnyX(w), y = AnyY(w);
        Note("move " + std::to_string(x) + "," + std::to_string(y) + " to " + w.Caption());
        MouseMove(w, x, y, mask);
    }

    void RandomButton(ui::Window& w) {
        static const Uint8 kButtons[] = {SDL_BUTTON_LEFT, SDL_BUTTON_LEFT, SDL_BUTTON_RIGHT,
                                         SDL_BUTTON_MIDDLE};
        const Uint8 button = kButtons[Roll(4)];
        const bool down = Roll(2) == 0;
        const int x = AnyX(w), y = AnyY(w);
        Note(std::string(down ? "press " : "release ") + std::to_string(button) + " at " +
             std::to_string(x) + "," + std::to_string(y) + " on " + w.Caption());
        MouseButton(w, x, y, button, down);
    }

    void ClickAControl(ui::Window& w) {
        const std::vector<ui::Control*>& controls = w.Controls();
        std::vector<ui::Control*> buttons;
        for (ui::Control* c : controls)
            if (dynamic_cast<ui::Button*>(c) != nullptr)
                buttons.push_back(c);
        // Mostly a button; otherwise whatever control, visible or not.
        const std::vector<ui::Control*>& pool =
            !buttons.empty() && Roll(3) != 0 ? buttons : controls;
        if (pool.empty()) {
            const int x = Between(0, w.ClientWidth() - 1), y = Between(0, w.ClientHeight() - 1);
            Note("click " + std::to_string(x) + "," + std::to_string(y) + " on " + w.Caption());
            MouseDown(w, x, y);
            MouseUp(w, x, y);
            return;
        }
        const ui::Control& c = *pool[static_cast<std::size_t>(Roll(static_cast<int>(pool.size())))];
        const int x = c.Left() + Between(0, std::max(0, c.Width() - 1));
        const int y = c.Top() + Between(0, std::max(0, c.Height() - 1));
        Note("click " + std::to_string(x) + "," + std::to_string(y) + " on " + w.Caption());
        MouseDown(w, x, y);
        MouseUp(w, x, y);
    }

    // A drag along the board and a release: how a chip is dropped.
    void DragOnBoard() {
        FrmBoard* b = app().Find<FrmBoard>();
        if (b == nullptr || !b->IsShown())
            return;
        const int x = Between(150, 450), y = Between(0, 452);
        Note("drag to " + std::to_string(x) + " on the board");
        MouseDown(*b, Between(0, 599), y);
        MouseMove(*b, x, y, SDL_BUTTON_LMASK);
        MouseUp(*b, x, y);
    }

    void PassTime(Context context) {
        const int r = Roll(10);
        const int ms = r < 5 ? Between(0, 300) : r < 8 ? Between(300, 3000) : Between(3000, 5000);
        Note("wait " + std::to_string(ms) + " ms");
        if (context == Context::Fall) {
            // A stall inside the fall: the clock jumps, the fall's pace restarts.
            clock().SetUs(clock().NowUs() + static_cast<std::uint64_t>(ms / 10) * 1000u);
            return;
        }
        Advance(ms);
    }

    void PostCloseBox(ui::Window& w) {
        Note("close box of " + w.Caption());
        // Closing the board or the splash ends the program; no other box does.
        if (dynamic_cast<FrmBoard*>(&w) != nullptr || dynamic_cast<FrmSplash*>(&w) != nullptr)
            mayEnd_ = true;
        CloseBox(w);
    }

    // ---- Nested loops

    // The name prompt and the message box: some events, then an answer.
    void Modal(ui::Window& dialog) {
        if (auto* input = dynamic_cast<ui::InputDialog*>(&dialog)) {
            ++tally_.prompts;
            answer_.clear();
            SpyOn(input->cmdOK, [this, input] { answer_ = input->txtInput.Text(); });
        } else {
            ++tally_.messages;
        }
        Check();
        for (int i = Between(0, 40); i > 0 && dialog.IsShown() && !failed_; --i)
            OneEvent(Context::Modal, &dialog);
        if (!dialog.IsShown())
            return;
        if (dynamic_cast<ui::InputDialog*>(&dialog) != nullptr) {
            static const char* const kNames[] = {"Ann", "O\"Neil, Jr", "", "zz top",
                                                 "\xC3\xA9l\xC3\xA8ve"};
            Note("answers the prompt");
            Type(dialog, kNames[Roll(5)]);
        }
        Note("answers " + dialog.Caption());
        PressKey(dialog, Roll(4) == 0 ? SDLK_ESCAPE : SDLK_RETURN);
        Yield();
        Check();
        if (dialog.IsShown()) {
            CloseBox(dialog);
            Yield();
        }
        if (dialog.IsShown()) {
            Expect(false, "the dialog \"" + dialog.Caption() + "\" took no answer");
            app().EndProgram();
        }
    }

    // Inside a fall: the state is checked at every step, and now and then an
    // event is sent for the fall's yield to deliver.
    void FallStep() {
        Check();
        if (Roll(16) == 0)
            OneEvent(Context::Fall, nullptr);
    }

    // Reports the counts of the step wait without making them, so that a fall
    // is paced as in the game but on the manual clock.
    struct FallHook {
        Monkey* monkey;
        std::int32_t operator()(std::int16_t speed) const {
            monkey->FallStep();
            return pegdrop::StepWaitCounts(speed);
        }
    };

    void WatchBoard(FrmBoard& b) {
        if (b.stepWait.target<FallHook>() == nullptr)
            b.stepWait = FallHook{this};
    }

    void WatchSpeed(FrmSpeed& s) {
        if (!SpyOn(s.cmdOK, [this, &s] {
                ++tally_.speedOks;
                // OK refuses a value out of range (the check after every
                // event then finds Speed unchanged) and takes any other.
                if (s.NewSpeed >= 1 && s.NewSpeed <= 500)
                    speed_ = s.NewSpeed;
            }))
            return;
        s.stepWait = [](std::int16_t speed) { return pegdrop::StepWaitCounts(speed); };
        s.yield = [this] {
            if (Roll(8) == 0)
                OneEvent(Context::Fall, nullptr);
            app().DoEvents();
            Check();
        };
    }

    // ---- Invariants

    void Expect(bool holds, const std::string& what) {
        if (holds || failed_)
            return;
        failed_ = true;
        std::ostringstream recent;
        for (const std::string& r : recent_)
            recent << "\n    " << r;
        ADD_FAILURE() << "monkey seed " << seed_ << " failed at event " << eventNo_ << ": " << what
                      << "\n  last events:" << recent.str()
                      << "\n  replay with PEGDROP_MONKEY_SEED=" << seed_;
        // Out of every nested loop: the program ends as a closed board ends it.
        app().EndProgram();
    }

    void Check() {
        if (failed_)
            return;
        const std::vector<ui::Window*> windows = app().Windows();
        if (windows.empty()) {
            Expect(mayEnd_ || exitClicked_, "the program ended without Exit or a closing box");
            return;
        }
        // A close box still queued (a nested loop can check before the outer
        // one delivers it) may yet end the program.
        SDL_Event queued[8];
        if (SDL_PeepEvents(queued, 8, SDL_PEEKEVENT, SDL_WINDOWEVENT, SDL_WINDOWEVENT) == 0)
            mayEnd_ = false;
        Expect(CountOf<FrmTop10>(windows) <= 1, "two top-ten windows");
        Expect(CountOf<FrmSpeed>(windows) <= 1, "two speed windows");
        Expect(CountOf<FrmBoard>(windows) <= 1, "two boards");
        CheckNativeWindows(windows);
        if (auto* s = app().Find<FrmSpeed>())
            WatchSpeed(*s);
        FrmTop10* top10 = app().Find<FrmTop10>();
        if (top10 != nullptr)
            SpyOn(top10->cmdExit, [this] { exitClicked_ = true; });
        if (FrmBoard* b = app().Find<FrmBoard>()) {
            WatchBoard(*b);
            if (!boardSeen_) {
                boardSeen_ = true;
                speed_ = fileSpeed_;
            }
            CheckBoard(*b);
        }
        if (boardSeen_)
            Expect(modPegdrop::Speed == speed_, "Speed is " + std::to_string(modPegdrop::Speed) +
                                                    " without OK (was " + std::to_string(speed_) +
                                                    ")");
        CheckTop10File(top10);
    }

    // Every window on the screen is one the program still holds.
    void CheckNativeWindows(const std::vector<ui::Window*>& windows) {
        std::set<std::uint32_t> now;
        for (ui::Window* w : windows) {
            if (w->Native() == nullptr)
                continue;
            now.insert(w->NativeId());
            if ((SDL_GetWindowFlags(w->Native()) & SDL_WINDOW_SHOWN) != 0)
                Expect(w->IsShown(), "\"" + w->Caption() + "\" is on the screen but not shown");
        }
        // One that is closed may stay until the picture that replaces it.
        for (std::uint32_t id : nativeIds_)
            if (now.count(id) == 0)
                leaving_.emplace(id, app().FramesPresented());
        std::erase_if(leaving_, [this](const auto& left) {
            SDL_Window* w = SDL_GetWindowFromID(left.first);
            if (w == nullptr || (SDL_GetWindowFlags(w) & SDL_WINDOW_SHOWN) == 0)
                return true;
            Expect(app().FramesPresented() <= left.second + 1,
                   "an unloaded window is still on the screen after the next picture");
            return false;
        });
        nativeIds_ = std::move(now);
    }

    void CheckBoard(FrmBoard& b) {
        const std::int32_t won = modPegdrop::Winnings;
        const std::uint8_t mode = modPegdrop::GameMode;
        Expect(b.ChipsLeft >= 0 && b.ChipsLeft <= 9, "ChipsLeft " + std::to_string(b.ChipsLeft));
        Expect(b.ChipY == 0 || (b.ChipY >= 16 && b.ChipY <= 316),
               "ChipY " + std::to_string(b.ChipY));
        Expect(won >= 0 && won <= 90000, "Winnings " + std::to_string(won));
        if (b.shpChip.Visible()) {
            Expect(b.shpChip.Left() == b.ChipX - 8 && b.shpChip.Top() == b.ChipY - 8,
                   "the chip is drawn at " + std::to_string(b.shpChip.Left() + 8) + "," +
                       std::to_string(b.shpChip.Top() + 8) + " for " + std::to_string(b.ChipX) +
                       "," + std::to_string(b.ChipY));
            if (++checksSincePixels_ >= 211) {
                checksSincePixels_ = 0;
                const ui::Color ink = ColorOf(Pixel(b, b.ChipX, b.ChipY));
                Expect(ink == b.shpChip.FillColor(), "no chip on the screen at ChipX, ChipY");
            }
        }
        // A landing: the one lit slot is the one under the chip.
        // (Settled when its 2.5 s are up: the last step's wait comes before it.)
        const bool landed = b.shpChip.Visible() && b.ChipY == 316 && b.tmrAfterChip.Enabled();
        if (landed && !prevLanded_) {
            std::vector<int> lit;
            for (int n = 1; n <= 9; ++n)
                if (b.SlotImage(n).Visible())
                    lit.push_back(n);
            Expect(lit.size() == 1,
                   "a chip landed with " + std::to_string(lit.size()) + " slots lit");
            if (lit.size() == 1) {
                const pegdrop::Slot& slot = pegdrop::kSlots[static_cast<std::size_t>(lit[0] - 1)];
                const int x = b.shpChip.Left() + 8;
                Expect(x >= slot.minX && x <= slot.maxX,
                       "the chip landed at x " + std::to_string(x) + " but slot " +
                           std::to_string(slot.number) + " lit up");
                landedPrize_ = slot.prize;
                ++tally_.drops;
            }
        }
        // A settlement: one chip fewer, and the prize of its landing added.
        if (mode != 0 && mode == prevMode_ && b.ChipsLeft == prevChipsLeft_ - 1) {
            Expect(landedPrize_.has_value(), "a chip was settled that never landed");
            wonSoFar_ += landedPrize_.value_or(0);
            landedPrize_.reset();
            if (b.ChipsLeft == 0) {
                ++tally_.games;
                if (mode == 1) {
                    ++tally_.tournaments;
                    tournamentPending_ = true;
                    rewritesAtFinish_ = tally_.rewrites;
                }
            }
        }
        if (mode == 0) {
            wonSoFar_ = 0;
            landedPrize_.reset();
        }
        Expect(won == wonSoFar_, "Winnings " + std::to_string(won) +
                                     " but the landed prizes sum to " + std::to_string(wonSoFar_));
        prevLanded_ = landed;
        prevChipsLeft_ = b.ChipsLeft;
        prevMode_ = mode;
    }

    // top10.dat changes once for every finished tournament, and then holds
    // the ten rows ranked, the new one with the name typed.
    void CheckTop10File(FrmTop10* top10) {
        const Stamp now = StampOf(Top10Path());
        if (!(now == top10Stamp_)) {
            top10Stamp_ = now;
            ++tally_.rewrites;
            Expect(tournamentPending_, "top10.dat changed outside a finished tournament");
            Expect(tally_.rewrites - rewritesAtFinish_ == 1,
                   "top10.dat rewritten twice for one game");
            const std::string bytes = data.Read("top10.dat");
            Expect(std::count(bytes.begin(), bytes.end(), '\n') == 10,
                   "top10.dat is not ten lines");
            table_ = pegdrop::ParseTop10(bytes);
            for (std::size_t i = 1; i < table_.size(); ++i)
                Expect(table_[i - 1].score >= table_[i].score, "top10.dat is out of order");
        }
        if (top10 != nullptr && top10->IsShown() && tournamentPending_) {
            tournamentPending_ = false;
            Expect(tally_.rewrites - rewritesAtFinish_ == 1,
                   "a finished tournament's table is shown but top10.dat was not rewritten");
            const int row = top10->NewEntryRow;
            if (row >= 1 && row <= 10) {
                const pegdrop::Top10Row& r = table_[static_cast<std::size_t>(row - 1)];
                Expect(r.score == modPegdrop::Winnings && r.name == answer_,
                       "row " + std::to_string(row) + " holds \"" + r.name + "\"," +
                           std::to_string(r.score) + ", not \"" + answer_ + "\"," +
                           std::to_string(modPegdrop::Winnings));
            }
        }
    }

    int seed_ = 0;
    std::mt19937 rng_;
    int eventsLeft_ = 0;
    int eventNo_ = 0;
    bool failed_ = false;
    std::deque<std::string> recent_;
    int checksSincePixels_ = 0;

    // What the game must show, as the monkey saw it come about.
    bool mayEnd_ = false;
    bool exitClicked_ = false;
    bool boardSeen_ = false;
    std::int16_t fileSpeed_ = 0;
    std::int16_t speed_ = 0;
    std::int16_t speedAtEnd_ = 0;
    bool prevLanded_ = false;
    int prevChipsLeft_ = 0;
    int prevMode_ = 0;
    std::int32_t wonSoFar_ = 0;
    std::optional<int> landedPrize_;
    bool tournamentPending_ = false;
    int rewritesAtFinish_ = 0;
    Stamp top10Stamp_;
    pegdrop::Top10Table table_;
    std::string answer_;
    std::set<std::uint32_t> nativeIds_;
    std::map<std::uint32_t, std::uint64_t> leaving_; // closed window, pictures when it left
};

TEST_P(Monkey, KeepsEveryInvariant) {
    Play(GetParam(), EnvInt("PEGDROP_MONKEY_EVENTS", 10000));
}

INSTANTIATE_TEST_SUITE_P(Seeds, Monkey, ::testing::ValuesIn(Seeds()));

} // namespace
