// The control layer: timers, the yield, window lifetime, input routing,
// text and frame pacing.
#include "harness.h"

#include "game/faces.h"
#include "game/frmTop10.h"
#include "platform/display.h"
#include "platform/font_files.h"
#include "ui/button.h"
#include "ui/dialogs.h"
#include "ui/fonts.h"
#include "ui/scaled_text.h"
#include "ui/text_layout.h"
#include "ui/textbox.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

class Probe : public ui::Window {
public:
    Probe() : ui::Window("Probe", 200, 100), tick(*this, 180, true) {
        tick.Tick = [this] { ++ticks; };
    }
    void Form_Load() override {
        ++loads;
        Show();
    }
    void Form_Click() override { ++clicks; }
    void Form_KeyPress(std::int16_t& key) override { keys.push_back(key); }
    void Form_MouseMove(std::int16_t b, std::int16_t, float x, float y) override {
        moves.push_back({b, x, y});
    }
    void Form_MouseUp(std::int16_t b, std::int16_t, float x, float y) override {
        ups.push_back({b, x, y});
    }
    struct Mouse {
        std::int16_t buttons;
        float x, y;
    };
    ui::Timer tick;
    int loads = 0, ticks = 0, clicks = 0;
    std::vector<std::int16_t> keys;
    std::vector<Mouse> moves, ups;
};

class Other : public ui::Window {
public:
    Other() : ui::Window("Other", 100, 100) {}
    void Form_Load() override { Show(); }
    void Form_KeyPress(std::int16_t& key) override {
        keys.push_back(key);
        if (key == 'x')
            Unload();
    }
    std::vector<std::int16_t> keys;
};

using ControlLayer = test::Harness;

TEST_F(ControlLayer, SharedInstanceIsCreatedOnceAndFreshAfterUnload) {
    ui::Shared<Probe> probe;
    EXPECT_FALSE(probe.Exists());
    Probe& first = probe.Load();
    probe->ticks = 7;
    EXPECT_EQ(&first, &probe.Load());
    EXPECT_EQ(first.loads, 1);
    probe.Unload();
    EXPECT_FALSE(probe.Exists());
    Yield();
    EXPECT_EQ(probe->ticks, 0) << "a new instance starts from zero";
    EXPECT_EQ(probe->loads, 1);
}

TEST_F(ControlLayer, TimersTickOnTheManualClockAndRestartWhenReenabled) {
    Probe& p = app().Instance<Probe>();
    Advance(179);
    EXPECT_EQ(p.ticks, 0);
    Advance(1);
    EXPECT_EQ(p.ticks, 1);
    Advance(720);
    EXPECT_EQ(p.ticks, 5);
    Advance(100);
    p.tick.SetEnabled(false);
    p.tick.SetEnabled(true); // the count starts again from here
    Advance(179);
    EXPECT_EQ(p.ticks, 5);
    Advance(1);
    EXPECT_EQ(p.ticks, 6);
    Advance(100);
    p.tick.SetEnabled(true); // already running: the count goes on
    Advance(80);
    EXPECT_EQ(p.ticks, 7);
    p.tick.SetEnabled(false);
    Advance(1000);
    EXPECT_EQ(p.ticks, 7);
}

TEST_F(ControlLayer, ATickIsNeverEnteredAgainWhileItRuns) {
    Probe& p = app().Instance<Probe>();
    int depth = 0, deepest = 0;
    p.tick.Tick = [&] {
        ++p.ticks;
        ++depth;
        deepest = std::max(deepest, depth);
        // A prompt inside a tick: time passes and the loop runs meanwhile.
        for (int i = 0; i < 5; ++i) {
            clock().SetUs(clock().NowUs() + 400'000);
            Yield();
        }
        --depth;
    };
    Advance(180);
    EXPECT_EQ(deepest, 1);
    EXPECT_EQ(p.ticks, 1);
}

TEST_F(ControlLayer, UnloadInsideOwnHandlerIsSafeAndTheProgramEndsWithTheLastWindow) {
    Other& other = app().Instance<Other>();
    Type(other, "ax");
    EXPECT_FALSE(app().HasWindows());
    EXPECT_EQ(app().Find<Other>(), nullptr);
}

// The window that replaces one is not kept waiting for the old one to leave
// the screen: it goes with the new one's first picture, and is destroyed after
// it. With nothing new to show it leaves at the next turn of the loop.
TEST_F(ControlLayer, AnUnloadedWindowLeavesTheScreenWithTheNextPictureAndGoesAfterIt) {
    const auto shown = [](std::uint32_t id) {
        SDL_Window* w = SDL_GetWindowFromID(id);
        return w != nullptr && (SDL_GetWindowFlags(w) & SDL_WINDOW_SHOWN) != 0;
    };
    Probe& probe = app().Instance<Probe>();
    Yield();
    std::uint32_t id = probe.NativeId();
    const std::uint64_t frames = app().FramesPresented();
    Other& other = app().Instance<Other>();
    probe.Unload();
    EXPECT_TRUE(shown(id));
    Yield();
    EXPECT_EQ(app().FramesPresented(), frames + 1);
    EXPECT_FALSE(other.AwaitsFirstPicture());
    Yield();
    EXPECT_EQ(SDL_GetWindowFromID(id), nullptr);

    Probe& alone = app().Instance<Probe>();
    Yield();
    id = alone.NativeId();
    alone.Unload();
    Yield();
    EXPECT_FALSE(shown(id));
}

TEST_F(ControlLayer, ACloseBoxDoesWhatItsWindowDecidesAndNothingByDefault) {
    Probe& p = app().Instance<Probe>();
    Other& o = app().Instance<Other>();
    CloseBox(p);
    CloseBox(o);
    Yield();
    EXPECT_TRUE(p.IsShown());
    EXPECT_TRUE(o.IsShown());
}

TEST_F(ControlLayer, KeysGiveCharacterCodesAndOnlyCtrlWithALetterOfTheChords) {
    Probe& p = app().Instance<Probe>();
    Type(p, "tT5 ");
    PressKey(p, SDLK_RETURN);
    PressKey(p, SDLK_KP_ENTER);
    PressKey(p, SDLK_BACKSPACE);
    PressKey(p, SDLK_ESCAPE);
    PressKey(p, SDLK_LSHIFT);
    PressKey(p, SDLK_TAB); // nothing to move the focus to: a character like any other
    // With Ctrl or Alt held, whatever text the system sends with the key.
    PressKey(p, SDLK_t, KMOD_LALT, "t");
    PressKey(p, SDLK_t, KMOD_LALT | KMOD_LSHIFT, "T");
    PressKey(p, SDLK_5, KMOD_LALT, "5");
    PressKey(p, SDLK_t, KMOD_RALT, "t"); // Right Alt on a layout without AltGr
    PressKey(p, SDLK_a, KMOD_LCTRL);
    PressKey(p, SDLK_z, KMOD_RCTRL);
    PressKey(p, SDLK_RETURN, KMOD_LALT);
    PressKey(p, SDLK_TAB, KMOD_LCTRL);
    // AltGr types: X reports it as Right Alt, Windows as Ctrl+Alt.
    PressKey(p, SDLK_q, KMOD_RALT, "@");
    PressKey(p, SDLK_2, KMOD_LCTRL | KMOD_RALT, "@");
    // Any script; past what the code holds, "?".
    PressKey(p, SDLK_SEMICOLON, KMOD_NONE, "\xD0\x96"); // Ж
    PressKey(p, SDLK_p, KMOD_NONE, "\xCF\x80");         // π
    PressKey(p, SDLK_r, KMOD_NONE, "\xEA\xB0\x80");     // 가
    Yield();
    EXPECT_EQ(p.keys, (std::vector<std::int16_t>{'t', 'T', '5', ' ', 13, 13, 8, 27, 9, 1, 26, '@',
                                                 '@', 0x416, 0x3C0, '?'}));
}

TEST_F(ControlLayer, InputGoesToTheWindowItWasMeantFor) {
    Probe& p = app().Instance<Probe>();
    Other& o = app().Instance<Other>();
    Type(o, "q");
    Type(p, "w");
    EXPECT_EQ(o.keys, std::vector<std::int16_t>{'q'});
    EXPECT_EQ(p.keys, std::vector<std::int16_t>{'w'});
}

TEST_F(ControlLayer, MouseCarriesButtonsHeldAndTheButtonReleased) {
    Probe& p = app().Instance<Probe>();
    MouseMove(p, 10, 20, SDL_BUTTON_LMASK);
    MouseMove(p, -30, 250, SDL_BUTTON_LMASK | SDL_BUTTON_RMASK); // captured, outside
    MouseMove(p, 5, 5, SDL_BUTTON_MMASK);
    MouseUp(p, 7, 8, SDL_BUTTON_RIGHT);
    MouseUp(p, 7, 8, SDL_BUTTON_MIDDLE);
    Yield();
    ASSERT_EQ(p.moves.size(), 3u);
    EXPECT_EQ(p.moves[0].buttons, 1);
    EXPECT_EQ(p.moves[1].buttons, 3);
    EXPECT_FLOAT_EQ(p.moves[1].x, -30.0f);
    EXPECT_FLOAT_EQ(p.moves[1].y, 250.0f);
    EXPECT_EQ(p.moves[2].buttons, 4);
    ASSERT_EQ(p.ups.size(), 2u);
    EXPECT_EQ(p.ups[0].buttons, 2);
    EXPECT_EQ(p.ups[1].buttons, 4);
}

TEST_F(ControlLayer, ClicksGoToTheLabelUnderThePointerOrTheWindow) {
    Probe& p = app().Instance<Probe>();
    ui::Label label(p, {10, 10, 50, 20}, ui::LabelStyle{}, "hit me");
    int labelClicks = 0;
    label.Click = [&] { ++labelClicks; };
    Click(p, 20, 15);
    EXPECT_EQ(labelClicks, 1);
    EXPECT_EQ(p.clicks, 0);
    Click(p, 150, 80);
    EXPECT_EQ(p.clicks, 1);
    MouseDown(p, 20, 15); // pressed on the label, released on the window: no click
    MouseUp(p, 150, 80);
    Yield();
    EXPECT_EQ(labelClicks + p.clicks, 2);
    Click(p, 150, 80);
    EXPECT_EQ(p.clicks, 2);
}

TEST_F(ControlLayer, ModalLoopGivesInputToTheDialogAloneButKeepsTimersTicking) {
    Probe& p = app().Instance<Probe>();
    Other& dialog = app().Instance<Other>();
    MouseDown(p, 50, 50);
    Yield();
    MouseUp(p, 50, 50);       // released while the dialog holds the input: dropped
    PressKey(p, SDLK_ESCAPE); // to the window behind: dropped
    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    text.text.windowID = dialog.NativeId();
    text.text.text[0] = 'x'; // the dialog closes itself on x
    Post(text);
    clock().SetUs(clock().NowUs() + 200'000);
    app().RunModal(dialog);
    EXPECT_TRUE(p.keys.empty());
    EXPECT_EQ(dialog.keys, std::vector<std::int16_t>{'x'});
    EXPECT_EQ(p.ticks, 1);
    Type(p, "k");
    EXPECT_EQ(p.keys, std::vector<std::int16_t>{'k'});
    EXPECT_TRUE(p.ups.empty());
    MouseUp(p, 50, 50); // the press before the dialog is forgotten: no click
    Yield();
    EXPECT_EQ(p.clicks, 0);
}

TEST_F(ControlLayer, ShapesAndLabelsDrawOverTheBackgroundInOrder) {
    Probe& p = app().Instance<Probe>();
    auto back = std::make_shared<ui::Bitmap>();
    back->width = 200;
    back->height = 100;
    back->pixels.assign(200 * 100, 0xFF00FF00u);
    p.SetBackground(back);
    ui::LabelStyle style;
    style.back = ui::RGB(0, 0, 255);
    ui::Label label(p, {0, 0, 50, 50}, style);
    ui::Shape chip(p, {20, 20, 17, 17}, ui::RGB(192, 0, 128), ui::RGB(192, 192, 192));
    EXPECT_EQ(ColorOf(Pixel(p, 100, 50)), ui::RGB(0, 255, 0));
    EXPECT_EQ(ColorOf(Pixel(p, 5, 5)), ui::RGB(0, 0, 255));
    EXPECT_EQ(ColorOf(Pixel(p, 28, 28)), ui::RGB(192, 0, 128));
    EXPECT_EQ(ColorOf(Pixel(p, 20, 20)), ui::RGB(0, 0, 255))
        << "the corner stays outside the circle";
    chip.SetVisible(false);
    EXPECT_EQ(ColorOf(Pixel(p, 28, 28)), ui::RGB(0, 0, 255));
}

std::vector<std::uint32_t> LabelPixels(test::Harness&, ui::Window& w, const std::string& text) {
    ui::LabelStyle style;
    style.font = {"Arial", 14.25f, false};
    ui::Label label(w, {0, 0, 200, 100}, style, text);
    return w.ReadPixels();
}

TEST_F(ControlLayer, CarriageReturnsWithOrWithoutLineFeedAreOneLineBreak) {
    Probe& p = app().Instance<Probe>();
    const auto crlf = LabelPixels(*this, p, "one\r\ntwo");
    const auto cr = LabelPixels(*this, p, "one\rtwo");
    const auto lf = LabelPixels(*this, p, "one\ntwo");
    const auto joined = LabelPixels(*this, p, "one two");
    EXPECT_EQ(crlf, cr);
    EXPECT_EQ(crlf, lf);
    EXPECT_NE(crlf, joined);
    EXPECT_EQ(ui::NormaliseLineBreaks("a\r\n\r\nb\r"), "a\n\nb\n");
}

TEST(StartUp, AWindowNobodyCanSeeIsRefusedUnlessAskedFor) {
    using V = platform::VideoStart;
    EXPECT_EQ(platform::NoWindowReason(V{"x11", "", ":0", "", true}), "");
    EXPECT_EQ(platform::NoWindowReason(V{"wayland", "", "", "wayland-0", false}), "");
    EXPECT_EQ(platform::NoWindowReason(V{"KMSDRM", "", "", "", false}), "") << "a console shows it";
    EXPECT_EQ(platform::NoWindowReason(V{"dummy", "dummy", "", "", false}), "")
        << "asked for by name";
    EXPECT_EQ(platform::NoWindowReason(V{"offscreen", "offscreen", ":0", "", true}), "");
    EXPECT_EQ(platform::NoWindowReason(V{"offscreen", "", "", "", false}),
              "no display to show it on (DISPLAY is not set)");
    EXPECT_EQ(platform::NoWindowReason(V{"offscreen", "", ":87", "", false}),
              "cannot connect to the X display \":87\"");
    EXPECT_EQ(platform::NoWindowReason(V{"dummy", "", ":0", "", true}),
              "no video driver could open the display (SDL fell back to \"dummy\")");
}

TEST_F(ControlLayer, AFailingEventWaitEndsTheLoopWithItsReason) {
    Probe& p = app().Instance<Probe>();
    p.tick.SetEnabled(false);
    int waits = 0;
    app().waitEvent = [&](SDL_Event*, int) {
        ++waits;
        SDL_SetError("the queue is gone");
        return 0;
    };
    app().Run();
    EXPECT_EQ(waits, 1) << "no second try, so no spinning";
    EXPECT_EQ(app().Failure(), "waiting for input failed: the queue is gone");
    EXPECT_FALSE(app().HasWindows());
    app().Fail("a later reason");
    EXPECT_EQ(app().Failure(), "waiting for input failed: the queue is gone")
        << "the first is kept";
}

TEST_F(ControlLayer, InputLeftInTheQueueAsAWaitEndsIsHandledInTheTurnAfterIt) {
    Probe& p = app().Instance<Probe>();
    p.tick.SetEnabled(false);
    const auto text = [&p](char c) {
        SDL_Event e{};
        e.type = SDL_TEXTINPUT;
        e.text.windowID = p.NativeId();
        e.text.text[0] = c;
        return e;
    };
    std::vector<std::int16_t> seen;
    int waits = 0;
    app().waitEvent = [&](SDL_Event* event, int) {
        // Two keys came at once: SDL hands one over and leaves the other queued.
        if (++waits == 1) {
            *event = text('a');
            Post(text('b'));
        } else {
            seen = p.keys;
            app().EndProgram();
            *event = SDL_Event{};
            event->type = SDL_USEREVENT;
        }
        return 1;
    };
    app().Run();
    EXPECT_EQ(seen, (std::vector<std::int16_t>{'a', 'b'}));
}

TEST(LabelLines, BreakOnlyBetweenWordsAndKeepAWordTooWideWhole) {
    const auto tenEach = [](std::string_view s) { return static_cast<int>(s.size()) * 10; };
    using Lines = std::vector<std::string>;
    EXPECT_EQ(ui::BreakLines("12600", 40, tenEach), Lines{"12600"});
    EXPECT_EQ(ui::BreakLines("one two three", 75, tenEach), (Lines{"one two", "three"}));
    EXPECT_EQ(ui::BreakLines("one   two", 40, tenEach), (Lines{"one", "two"}))
        << "the spaces at a break are dropped";
    EXPECT_EQ(ui::BreakLines("a verylongword b", 50, tenEach), (Lines{"a", "verylongword", "b"}));
    EXPECT_EQ(ui::BreakLines(" name", 30, tenEach), (Lines{"", "name"}))
        << "a leading space is a break point like any other";
    EXPECT_EQ(ui::BreakLines(" name", 50, tenEach), Lines{" name"});
    EXPECT_EQ(ui::BreakLines("a\n\nb c", 10, tenEach), (Lines{"a", "", "b", "c"}));
    EXPECT_EQ(ui::BreakLines("no wrap here\nx", 0, tenEach), (Lines{"no wrap here", "x"}));
    EXPECT_EQ(ui::BreakLines("", 10, tenEach), Lines{""});
}

TEST_F(ControlLayer, AWordWiderThanItsLabelIsClippedNotCarriedOver) {
    Probe& p = app().Instance<Probe>();
    ui::LabelStyle style;
    style.font = {"Arial", 12.0f, false};
    ui::Label label(p, {0, 0, 30, 100}, style, "Wonderful");
    const std::vector<std::uint32_t> pixels = p.ReadPixels();
    int lowest = -1;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 30; ++x)
            if (ColorOf(pixels[static_cast<std::size_t>(y * p.ClientWidth() + x)]).r < 128)
                lowest = y;
    EXPECT_GE(lowest, 5) << "the word's start shows";
    EXPECT_LT(lowest, 20) << "and nothing of it falls to a second line";
}

TEST_F(ControlLayer, AutoSizedLabelTakesItsTextsSize) {
    Probe& p = app().Instance<Probe>();
    ui::LabelStyle style;
    style.font = {"Arial", 9.0f, false};
    style.autoSize = true;
    ui::Label label(p, {8, 8, 42, 15}, style, "Version");
    const int shortWidth = label.Width();
    label.SetCaption("Version 1.3 and more");
    EXPECT_GT(label.Width(), shortWidth);
    EXPECT_GT(label.Height(), 10);
    EXPECT_LT(label.Height(), 20);
}

TEST(Fonts, FacesResolveToTheirStandIns) {
    // As the game starts: the system's lists read on a thread of their own,
    // which the first lookup waits for.
    platform::StartFontLookups();
    const auto standIns = modPegdrop::ApplicationOptions().standIns;
    const ui::ResolvedFace arial = ui::ResolveFace("Arial", false, standIns);
    EXPECT_EQ(arial.family, "Liberation Sans");
    EXPECT_FALSE(arial.substituted);
    const ui::ResolvedFace led = ui::ResolveFace("EggCrate", false, standIns);
    EXPECT_TRUE(led.substituted);
    EXPECT_EQ(led.family, "DSEG7 Classic") << "fonts-dseg is one of the game's packages";
    EXPECT_EQ(ui::PointsToPixels(14.25f), 19);
    EXPECT_EQ(ui::PointsToPixels(18.0f), 24);
    EXPECT_EQ(ui::PointsToPixels(9.0f), 12);
}

// Opening a face ahead and filling its glyph cache must not change a pixel
// of the text a window draws in it later, at either scale.
TEST_F(ControlLayer, TextIsTheSameWhetherItsFaceWasPreparedAheadOrNot) {
    const auto standIns = modPegdrop::ApplicationOptions().standIns;
    const std::string text = "Top Ten 90000\nZo\u00EB plays on";
    for (const int scale : {1, 2}) {
        const auto draw = [&](bool ahead, const ui::FontSpec& font) {
            ui::FontCache fonts(standIns);
            if (ahead)
                ui::PrepareFaces(fonts, faces::All(), scale);
            const ui::SurfacePtr surface(
                SDL_CreateRGBSurfaceWithFormat(0, 400, 120, 32, SDL_PIXELFORMAT_ARGB8888));
            const ui::RendererPtr renderer(SDL_CreateSoftwareRenderer(surface.get()));
            SDL_RenderSetScale(renderer.get(), static_cast<float>(scale),
                               static_cast<float>(scale));
            const ui::TextPicture picture =
                ui::RenderWrapped(renderer.get(), fonts, font, text, ui::RGB(255, 255, 0), 0,
                                  TTF_WRAPPED_ALIGN_CENTER);
            ui::DrawText(renderer.get(), picture, 0, 0);
            std::vector<std::uint32_t> pixels(400 * 120);
            SDL_RenderReadPixels(renderer.get(), nullptr, SDL_PIXELFORMAT_ARGB8888, pixels.data(),
                                 400 * 4);
            return pixels;
        };
        for (const ui::FontSpec& font : faces::All()) {
            const std::vector<std::uint32_t> fresh = draw(false, font);
            EXPECT_NE(std::count(fresh.begin(), fresh.end(), fresh.front()),
                      static_cast<std::ptrdiff_t>(fresh.size()))
                << font.face << " " << font.points << " drew nothing";
            EXPECT_EQ(draw(true, font), fresh)
                << font.face << " " << font.points << " at " << scale;
        }
    }
}

TEST_F(ControlLayer, WorkAheadRunsASliceATurnInOrderAndNeverInAHandlersYield) {
    std::vector<int> done;
    app().DoAhead([&done] { done.push_back(1); });
    app().DoAhead([&done] { done.push_back(2); });
    {
        const ui::Application::HandlerScope handler;
        Yield();
    }
    EXPECT_TRUE(done.empty()) << "a handler's yield returns to its handler at once";
    Yield();
    EXPECT_EQ(done, std::vector<int>{1});
    Yield();
    Yield();
    EXPECT_EQ(done, (std::vector<int>{1, 2}));
}

// Text rendered ahead is taken only by the very label or button it was
// rendered for: one that differs in anything draws its own, and every one
// draws the same pixels either way. So is the text a flickering label kept
// from its colour before: a label whose caption changed between draws its
// own.
TEST_F(ControlLayer, TextRenderedAheadDrawsAsTextRenderedAtTheFirstPicture) {
    const auto standIns = modPegdrop::ApplicationOptions().standIns;
    Probe& owner = app().Instance<Probe>();
    ui::LabelStyle fitted;
    fitted.font = faces::kSpeed;
    fitted.fitWidth = true;
    ui::LabelStyle wrapped;
    wrapped.fore = ui::RGB(255, 255, 0);
    wrapped.font = faces::kMessage;
    wrapped.align = ui::Align::Center;
    const std::string prompt = "Input a speed value from 1 to 500:";
    const std::string lines = "Select game mode:\r\n[T]ournament mode or [F]un mode";
    struct Case {
        const char* what;
        ui::LabelStyle drawn, ahead;
        int drawnWidth, aheadWidth;
        std::string drawnText, aheadText;
        int aheadScale; // 0: the scale drawn at
        // Instead of rendering ahead, the label is drawn with the ahead text
        // in the drawn colour, then in the ahead colour, then given the drawn
        // text and colour.
        bool flicker = false;
    };
    ui::LabelStyle otherColour = wrapped;
    otherColour.fore = ui::RGB(255, 255, 254);
    ui::LabelStyle otherAlign = wrapped;
    otherAlign.align = ui::Align::Left;
    const std::vector<Case> cases = {
        {"the same fitted line", fitted, fitted, 236, 236, prompt, prompt, 0},
        {"a fitted line at another width", fitted, fitted, 236, 200, prompt, prompt, 0},
        {"the same wrapped lines", wrapped, wrapped, 300, 300, lines, lines, 0},
        {"lines wrapped at another width", wrapped, wrapped, 150, 600, lines, lines, 0},
        {"another colour", wrapped, otherColour, 300, 300, lines, lines, 0},
        {"another alignment", wrapped, otherAlign, 300, 300, lines, lines, 0},
        {"another text", wrapped, wrapped, 300, 300, lines, lines + " ", 0},
        {"another scale", wrapped, wrapped, 300, 300, lines, lines, 3},
        // The button's access key is underlined where measured ahead.
        {"an access key", wrapped, wrapped, 300, 300, "E&xit", "E&xit", 0},
        {"another access key", wrapped, wrapped, 300, 300, "E&xit", "&Exit", 0},
        {"a colour flickered back", wrapped, otherColour, 300, 300, lines, lines, 0, true},
        {"a colour flickered back to another text", wrapped, otherColour, 300, 300, lines, prompt,
         0, true},
    };
    constexpr int kW = 320, kH = 86;
    for (const int scale : {1, 2}) {
        for (const Case& c : cases) {
            const auto draw = [&](bool ahead) {
                ui::FontCache fonts(standIns);
                if (ahead && !c.flicker) {
                    const int at = c.aheadScale != 0 ? c.aheadScale : scale;
                    ui::RenderLabelAhead(fonts, c.ahead, c.aheadWidth, c.aheadText, at);
                    ui::RenderButtonAhead(fonts, ui::kButtonFont, c.aheadText, at);
                    ui::RenderTextBoxAhead(fonts, c.ahead.font, c.aheadText, at);
                }
                const ui::SurfacePtr surface(SDL_CreateRGBSurfaceWithFormat(
                    0, kW * scale, kH * scale, 32, SDL_PIXELFORMAT_ARGB8888));
                const ui::RendererPtr renderer(SDL_CreateSoftwareRenderer(surface.get()));
                SDL_RenderSetScale(renderer.get(), static_cast<float>(scale),
                                   static_cast<float>(scale));
                const bool flicker = ahead && c.flicker;
                ui::Label label(owner, {0, 0, c.drawnWidth, 40}, c.drawn,
                                flicker ? c.aheadText : c.drawnText);
                if (flicker) {
                    label.Draw(renderer.get(), fonts);
                    label.SetForeColor(c.ahead.fore);
                    label.Draw(renderer.get(), fonts);
                    label.SetCaption(c.drawnText);
                    label.SetForeColor(c.drawn.fore);
                }
                label.Draw(renderer.get(), fonts);
                ui::Button button(owner, {0, 40, kW, 20}, c.drawnText);
                button.Draw(renderer.get(), fonts);
                // Focused, all its text selected, as a box opens.
                ui::TextBox box(owner, {0, 60, kW, 26}, c.drawn.font);
                box.SetText(c.drawnText);
                owner.SetFocus(&box);
                box.Draw(renderer.get(), fonts);
                owner.SetFocus(nullptr);
                std::vector<std::uint32_t> pixels(
                    static_cast<std::size_t>(kW * kH * scale * scale));
                SDL_RenderReadPixels(renderer.get(), nullptr, SDL_PIXELFORMAT_ARGB8888,
                                     pixels.data(), kW * scale * 4);
                return pixels;
            };
            const std::vector<std::uint32_t> fresh = draw(false);
            EXPECT_NE(std::count(fresh.begin(), fresh.end(), fresh.front()),
                      static_cast<std::ptrdiff_t>(fresh.size()))
                << c.what << " drew nothing";
            EXPECT_EQ(draw(true), fresh) << c.what << " at " << scale;
        }
    }
}

// ---- Text in any script

const std::string kZoe = "Zo\u00EB \u65E5\u672C"; // "Zoë 日本"

class AnyScript : public test::Harness {
protected:
    AnyScript() {
        modPegdrop::DataPath = data.Path() + "/";
        platform::FontFile file;
        hasFont_ = platform::FontFileWithCharacter(U'\u65E5', "Arial", file) &&
                   platform::FontFileWithCharacter(U'\u672C', "Arial", file);
    }
    void SetUp() override {
        if (!hasFont_)
            GTEST_SKIP() << "no installed font has \u65E5\u672C: install fonts-droid-fallback";
    }
    static bool Ink(std::uint32_t argb, ui::Color ground) {
        const ui::Color c = ColorOf(argb);
        return std::abs(c.r - ground.r) + std::abs(c.g - ground.g) + std::abs(c.b - ground.b) > 192;
    }
    // The two characters drawn from x, in cells of their widths in that face,
    // between top and bottom of a window's pixels on a ground: each has ink,
    // they are not the same picture (as the box for a missing glyph would
    // be), and they take a whole em each (where that box is narrow).
    void ExpectTwoGlyphs(ui::Window& w, const ui::FontSpec& font, int x, int top, int bottom,
                         ui::Color ground = ui::RGB(255, 255, 255)) {
        const std::vector<std::uint32_t> px = w.ReadPixels();
        const int first = ui::LineWidth(app().Fonts(), font, "\u65E5");
        const int both = ui::LineWidth(app().Fonts(), font, "\u65E5\u672C");
        EXPECT_GE(both, 2 * ui::PointsToPixels(font.points) - 2) << "full-width glyphs";
        const auto cell = [&](int from) {
            std::vector<bool> ink;
            for (int y = top; y < bottom; ++y)
                for (int dx = 0; dx < first; ++dx)
                    ink.push_back(
                        Ink(px[static_cast<std::size_t>(y * w.ClientWidth() + from + dx)], ground));
            return ink;
        };
        const std::vector<bool> a = cell(x);
        const std::vector<bool> b = cell(x + first);
        EXPECT_GT(std::count(a.begin(), a.end(), true), 20);
        EXPECT_GT(std::count(b.begin(), b.end(), true), 20);
        EXPECT_NE(a, b) << "two different glyphs, not one box twice";
    }

private:
    bool hasFont_ = false;
};

TEST_F(AnyScript, ALabelDrawsWhatItsFaceLacksInAFallbackFaceOnTheSameBaseline) {
    Probe& p = app().Instance<Probe>();
    ui::LabelStyle style;
    style.font = {"Arial", 14.25f, false};
    ui::Label label(p, {4, 10, 190, 30}, style, kZoe);
    const int x = 4 + ui::LineWidth(app().Fonts(), style.font, "Zo\u00EB ");
    ExpectTwoGlyphs(p, style.font, x, 10, 40);
    // The lowest ink of "Z" and of the two: the Latin baseline, give or take
    // the ideographs' own pixel below it.
    const std::vector<std::uint32_t> px = p.ReadPixels();
    const auto lowest = [&](int from, int to) {
        int y = -1;
        for (int row = 10; row < 40; ++row)
            for (int col = from; col < to; ++col)
                if (Ink(px[static_cast<std::size_t>(row * 200 + col)], ui::RGB(255, 255, 255)))
                    y = row;
        return y;
    };
    const int latin = lowest(4, 4 + ui::LineWidth(app().Fonts(), style.font, "Z"));
    EXPECT_NEAR(lowest(x, 190), latin, 2);
    // Lines of such text are laid out as any others.
    ui::Label lines(p, {4, 50, 190, 50}, style, "\u65E5\u672C\rZo\u00EB");
    TTF_Font* own = app().Fonts().Get(style.font);
    ExpectTwoGlyphs(p, style.font, 4, 50, 50 + TTF_FontLineSkip(own));
    // Pure Latin text keeps its own face's measure, to the pixel.
    int w = 0;
    int h = 0;
    ASSERT_EQ(TTF_SizeUTF8(own, "Zo\u00EB ", &w, &h), 0);
    EXPECT_EQ(ui::LineWidth(app().Fonts(), style.font, "Zo\u00EB "), w);
}

TEST_F(AnyScript, TheNameIsDrawnWhileTypedAtThePromptAndInTheTopTen) {
    Probe& p = app().Instance<Probe>();
    std::string shown;
    app().onModal = [&](ui::Window& d) {
        app().onModal = nullptr;
        auto& prompt = static_cast<ui::InputDialog&>(d);
        // As an input method gives it: the whole text at once.
        SDL_Event text{};
        text.type = SDL_TEXTINPUT;
        text.text.windowID = d.NativeId();
        SDL_strlcpy(text.text.text, "\u65E5\u672C", sizeof text.text.text);
        Post(text);
        Yield();
        const ui::TextBox& box = prompt.txtInput;
        // Inside the sunken edge and the box's own margin.
        ExpectTwoGlyphs(d, {"Arial", 8.25f, false}, box.Left() + 4, box.Top() + 3,
                        box.Top() + box.Height() - 3);
        shown = box.Text();
        PressKey(d, SDLK_RETURN);
    };
    EXPECT_EQ(ui::InputBox("?", "PEGDROP", &p), "\u65E5\u672C");
    data.Write("top10.dat", "\"" + kZoe + "\",9000\r\n");
    modPegdrop::GameMode = 2;
    FrmTop10& top10 = modPegdrop::frmTop10.Load();
    const ui::Label& row = top10.lblPlayer(1);
    ASSERT_EQ(row.Caption(), " " + kZoe);
    ExpectTwoGlyphs(top10, row.Font(),
                    row.Left() + ui::LineWidth(app().Fonts(), row.Font(), " Zo\u00EB "), row.Top(),
                    row.Top() + row.Height(), row.BackColor());
}

} // namespace

namespace {

std::vector<std::uint32_t> OnScreen(ui::Window& w) {
    SDL_Surface* s = SDL_GetWindowSurface(w.Native());
    std::vector<std::uint32_t> rgb;
    for (int y = 0; y < s->h; ++y)
        for (int x = 0; x < s->w; ++x) {
            Uint8 r = 0, g = 0, b = 0;
            const auto* row = static_cast<const std::uint8_t*>(s->pixels) + y * s->pitch;
            SDL_GetRGB(reinterpret_cast<const std::uint32_t*>(row)[x], s->format, &r, &g, &b);
            rgb.push_back(static_cast<std::uint32_t>(r) << 16 | g << 8 | b);
        }
    return rgb;
}

TEST_F(ControlLayer, RepaintingOnlyWhatChangedGivesTheSamePictureAsAFullRepaint) {
    Probe& p = app().Instance<Probe>();
    p.tick.SetEnabled(false);
    auto back = std::make_shared<ui::Bitmap>();
    back->width = 200;
    back->height = 100;
    for (int i = 0; i < 200 * 100; ++i)
        back->pixels.push_back(0xFF000000u | static_cast<std::uint32_t>(i * 2654435761u >> 8));
    p.SetBackground(back);
    ui::LabelStyle style;
    style.transparent = true;
    ui::Label label(p, {5, 60, 150, 30}, style, "start");
    // An opaque label the chip crosses, its colour flickering: a part all its
    // own is drawn without the picture beneath, and one it half covers is not.
    ui::LabelStyle row;
    row.back = ui::RGB(0, 230, 230);
    ui::Label flicker(p, {20, 10, 100, 20}, row, "row");
    // A picture the chip crosses and leaves, drawn again a part at a time.
    auto picture = std::make_shared<ui::Bitmap>();
    picture->width = 40;
    picture->height = 20;
    for (int i = 0; i < 40 * 20; ++i)
        picture->pixels.push_back(0xFF000000u | static_cast<std::uint32_t>(i * 40503u));
    ui::Image image(p, {60, 40, 40, 20}, true, picture);
    ui::Shape chip(p, {0, 0, 17, 17}, ui::RGB(192, 0, 128), ui::RGB(192, 192, 192));
    Yield();
    for (int i = 0; i < 40; ++i) {
        chip.Move(3 * i, i);
        flicker.SetForeColor(i % 2 == 0 ? ui::RGB(255, 255, 0) : ui::RGB(128, 128, 0));
        if (i % 7 == 0)
            label.SetCaption("step " + std::to_string(i));
        if (i == 20)
            chip.SetVisible(false);
        if (i == 30)
            chip.SetVisible(true);
        Advance(17); // a frame apart, so that every change makes its own picture
    }
    const std::vector<std::uint32_t> partial = OnScreen(p);
    std::size_t misplaced = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            misplaced += partial[static_cast<std::size_t>((40 + y) * 200 + 60 + x)] !=
                         (picture->pixels[static_cast<std::size_t>(y * 40 + x)] & 0xFFFFFFu);
    EXPECT_EQ(misplaced, 0u);
    const std::vector<std::uint32_t> full = p.ReadPixels();
    ASSERT_EQ(partial.size(), full.size());
    std::size_t differing = 0;
    for (std::size_t i = 0; i < full.size(); ++i)
        differing += partial[i] != (full[i] & 0xFFFFFFu);
    EXPECT_EQ(differing, 0u);
}

} // namespace
