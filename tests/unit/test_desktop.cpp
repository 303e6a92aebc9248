// The composited desktop: every window a picture on one native window, as a
// browser page's one canvas shows them, with input routed as a desktop's
// window manager would route it.
#include "harness.h"

#include "game/frmBoard.h"
#include "game/frmSpeed.h"
#include "game/frmSplash.h"
#include "game/frmTop10.h"
#include "ui/desktop.h"
#include "ui/draw3d.h"

#include <string>
#include <vector>

namespace {

using ui::WindowSystem;

// Records what reaches it.
class Pad : public ui::Window {
public:
    Pad(const char* caption, int width, int height) : ui::Window(caption, width, height) {}
    void Form_Load() override { Show(); }
    void Form_KeyPress(std::int16_t& key) override { keys.push_back(key); }
    void Form_MouseDown(std::int16_t, std::int16_t, float x, float y) override {
        downs.push_back({x, y});
    }
    void Form_MouseMove(std::int16_t buttons, std::int16_t, float x, float y) override {
        if (buttons != 0)
            drags.push_back({x, y});
    }
    void Form_CloseBox() override { ++closes; }
    struct Point {
        float x, y;
        friend bool operator==(const Point&, const Point&) = default;
    };
    std::vector<std::int16_t> keys;
    std::vector<Point> downs, drags;
    int closes = 0;
};

class Wide : public Pad {
public:
    Wide() : Pad("Wide", 300, 120) {}
};

// Small enough to sit inside Wide's client area, both centred.
class Small : public Pad {
public:
    Small() : Pad("Small", 100, 60) {}
    void Form_CloseBox() override {
        Pad::Form_CloseBox();
        Unload();
    }
};

class OneDesktop : public test::Harness {
protected:
    OneDesktop() : test::Harness(WindowSystem::kComposited) {}

    ui::Desktop& Desk() { return *app().CompositedDesktop(); }

    // Pointer input in the desktop's own pixels.
    void AtDesktop(Uint32 type, int x, int y, Uint8 button = SDL_BUTTON_LEFT) {
        SDL_Event e{};
        e.type = type;
        if (type == SDL_MOUSEMOTION) {
            e.motion.windowID = Desk().NativeId();
            e.motion.state = SDL_BUTTON_LMASK;
            e.motion.x = x;
            e.motion.y = y;
        } else {
            e.button.windowID = Desk().NativeId();
            e.button.button = button;
            e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
            e.button.x = x;
            e.button.y = y;
        }
        Post(e);
    }

    // The title bar's colour, just left of the close box.
    ui::Color TitleColor(ui::Window& w) {
        Advance(20);
        const SDL_Rect box = Desk().CloseBox(w);
        return ColorOf(Desk().ReadPixels({box.x - 2, box.y + box.h / 2, 1, 1}).at(0));
    }
};

TEST_F(OneDesktop, ClicksGoToTheWindowUnderThePointerAndKeysToTheMarkedOne) {
    Wide& wide = app().Instance<Wide>();
    Small& small = app().Instance<Small>();
    EXPECT_EQ(wide.Native(), nullptr);
    EXPECT_EQ(app().KeyWindow(), &small) << "the window shown last";
    EXPECT_EQ(TitleColor(small), ui::kSelectionBack);
    EXPECT_EQ(TitleColor(wide), ui::kButtonShadow);
    Type(wide, "a"); // to the desktop, which gives keys to the window that holds them
    EXPECT_EQ(small.keys, std::vector<std::int16_t>{'a'});

    Click(wide, 20, 60); // clear of Small, which lies in Wide's middle
    EXPECT_EQ(wide.downs, (std::vector<Pad::Point>{{20, 60}}));
    EXPECT_EQ(app().KeyWindow(), &wide);
    EXPECT_EQ(TitleColor(wide), ui::kSelectionBack);
    Type(small, "b");
    EXPECT_EQ(wide.keys, std::vector<std::int16_t>{'b'});

    // Wide, raised, now covers Small: a click where Small was is Wide's.
    const SDL_Point w = Desk().Origin(wide), s = Desk().Origin(small);
    Click(small, 10, 10);
    ASSERT_EQ(wide.downs.size(), 2u);
    EXPECT_EQ(wide.downs[1], (Pad::Point{float(s.x - w.x + 10), float(s.y - w.y + 10)}));
    EXPECT_TRUE(small.downs.empty());

    // A press holds the pointer for its window wherever it goes.
    MouseDown(wide, 5, 5);
    MouseMove(wide, -40, 300, SDL_BUTTON_LMASK);
    MouseUp(wide, -40, 300);
    Yield();
    EXPECT_EQ(wide.drags.back(), (Pad::Point{-40, 300}));

    // Its title bar drags it.
    AtDesktop(SDL_MOUSEBUTTONDOWN, w.x + 30, w.y - 8);
    AtDesktop(SDL_MOUSEMOTION, w.x + 70, w.y + 17);
    AtDesktop(SDL_MOUSEBUTTONUP, w.x + 70, w.y + 17);
    Yield();
    EXPECT_EQ(Desk().Origin(wide).x, w.x + 40);
    EXPECT_EQ(Desk().Origin(wide).y, w.y + 25);
    EXPECT_EQ(wide.downs.size(), 3u) << "the title bar is no part of the client area";

    // Gone, it leaves the plain desktop behind, and the keys to Small.
    const SDL_Rect box = Desk().CloseBox(wide);
    wide.Unload();
    Advance(20);
    EXPECT_EQ(ColorOf(Desk().ReadPixels({box.x, box.y, 1, 1}).at(0)), ui::RGB(0, 128, 128));
    EXPECT_EQ(app().KeyWindow(), &small);
    EXPECT_EQ(TitleColor(small), ui::kSelectionBack);
}

TEST_F(OneDesktop, AModalDialogKeepsKeysClicksAndCloseBoxesAndHandsThemBack) {
    Wide& owner = app().Instance<Wide>();
    Small& dialog = app().Instance<Small>();
    dialog.CenterOver(&owner);
    const ui::Color marked = TitleColor(dialog);
    const SDL_Rect box = Desk().CloseBox(dialog);
    app().onModal = [&](ui::Window&) {
        Click(owner, 20, 60);
        CloseBox(owner);
        Type(owner, "q");
        EXPECT_EQ(app().KeyWindow(), &dialog);
        CloseBox(dialog); // Small unloads itself at its close box
    };
    app().RunModal(dialog);
    EXPECT_TRUE(owner.downs.empty());
    EXPECT_EQ(owner.closes, 0);
    EXPECT_EQ(dialog.keys, std::vector<std::int16_t>{'q'});
    EXPECT_FALSE(dialog.IsLoaded());
    EXPECT_EQ(app().KeyWindow(), &owner);
    Advance(20);
    EXPECT_EQ(marked, ui::kSelectionBack);
    EXPECT_EQ(ColorOf(Desk().ReadPixels({box.x - 2, box.y + box.h / 2, 1, 1}).at(0)),
              ui::kButtonFace)
        << "the owner's client area where the dialog's title bar was";
    CloseBox(owner);
    Yield();
    EXPECT_EQ(owner.closes, 1);
}

TEST_F(OneDesktop, F11FillsTheScreenWithTheWholeDesktopAndBringsItBack) {
    Wide& wide = app().Instance<Wide>();
    Small& small = app().Instance<Small>();
    PressKey(small, SDLK_F11);
    Yield();
    EXPECT_TRUE(wide.IsFullScreen() && small.IsFullScreen()) << "one desktop for every window";
    EXPECT_NE(SDL_GetWindowFlags(Desk().Native()) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
    PressKey(small, SDLK_F11);
    Yield();
    EXPECT_FALSE(wide.IsFullScreen());
    EXPECT_EQ(SDL_GetWindowFlags(Desk().Native()) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
}

// A browser's window made smaller than a window on the page, then larger
// again: the title bars stay on the desktop meanwhile, and every window comes
// back to where it was.
TEST_F(OneDesktop, ADesktopShrunkAndGrownAgainPutsEveryWindowBack) {
    Wide& wide = app().Instance<Wide>();
    Small& small = app().Instance<Small>();
    Yield();
    int w = 0, h = 0;
    SDL_GetWindowSize(Desk().Native(), &w, &h);
    const SDL_Rect wideBox = Desk().CloseBox(wide), smallBox = Desk().CloseBox(small);
    SDL_SetWindowSize(Desk().Native(), w, 40);
    Yield();
    EXPECT_GE(Desk().CloseBox(wide).y, 0);
    SDL_SetWindowSize(Desk().Native(), w, h);
    Yield();
    const SDL_Rect wideAfter = Desk().CloseBox(wide), smallAfter = Desk().CloseBox(small);
    EXPECT_TRUE(SDL_RectEquals(&wideBox, &wideAfter));
    EXPECT_TRUE(SDL_RectEquals(&smallBox, &smallAfter));
}

TEST_F(OneDesktop, TheWindowsClientAreasAreTheNativeWindowsPixels) {
    data.Write("top10.dat", "\"Ann\",9000\r\n\"Bob\",8000\r\n\"Cy\",7000\r\n");
    const auto open = [this](int which) -> ui::Window& {
        modPegdrop::DataPath = data.Path() + "/";
        modPegdrop::GameMode = 2; // the table as read, with no prompt
        switch (which) {
        case 0:
        case 4: { // the splash, and the splash made twice as large
            FrmSplash& splash = app().Instance<FrmSplash>();
            splash.Show();
            if (which == 4)
                app().StepScale(+1);
            return splash;
        }
        case 1:
            return OpenBoard();
        case 2:
            return modPegdrop::frmSpeed.Load();
        default:
            return modPegdrop::frmTop10.Load();
        }
    };
    for (int which = 0; which < 5; ++which) {
        Restart(WindowSystem::kNative);
        ui::Window& native = open(which);
        Advance(100);
        const std::vector<std::uint32_t> expected = ClientOnScreen(native);
        const int scale = native.Scale();
        Restart(WindowSystem::kComposited);
        ui::Window& shown = open(which);
        Advance(100);
        const std::vector<std::uint32_t> seen = ClientOnScreen(shown);
        EXPECT_EQ(shown.Scale(), which == 4 ? 2 : 1);
        EXPECT_EQ(scale, shown.Scale());
        ASSERT_EQ(seen.size(), expected.size()) << shown.Caption();
        std::size_t differing = 0;
        for (std::size_t i = 0; i < seen.size(); ++i)
            differing += seen[i] != expected[i];
        EXPECT_EQ(differing, 0u) << shown.Caption();
    }
}

TEST(WindowSystemChoice, TheVariableNamesOneOrIsIgnoredAloud) {
    struct Case {
        const char* value;
        WindowSystem chosen;
        std::string said;
    };
    const Case cases[] = {
        {nullptr, WindowSystem::kNative, ""},
        {"composited", WindowSystem::kComposited, ""},
        {"native", WindowSystem::kNative, ""},
        {"canvas", WindowSystem::kNative,
         "pegdrop: PEGDROP_DESKTOP=canvas is not native or composited: ignored\n"},
    };
    for (const Case& c : cases) {
        const test::Environment variable("PEGDROP_DESKTOP", c.value);
        testing::internal::CaptureStderr();
        EXPECT_EQ(ui::ChooseWindowSystem(WindowSystem::kNative, "PEGDROP_DESKTOP", "pegdrop"),
                  c.chosen)
            << (c.value ? c.value : "unset");
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.said);
    }
    const test::Environment named("PEGDROP_DESKTOP", "native");
    EXPECT_EQ(ui::ChooseWindowSystem(WindowSystem::kComposited, "", "pegdrop"),
              WindowSystem::kComposited)
        << "no variable to read";
}

} // namespace
