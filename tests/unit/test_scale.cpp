// Dense screens: the density found and the scale chosen from it, and windows
// drawn at a whole-number scale with sharp text and the pointer mapped back.
#include "harness.h"

#include "game/frmBoard.h"
#include "game/frmSpeed.h"
#include "game/frmSplash.h"
#include "ui/button.h"
#include "ui/scale.h"
#include "ui/textbox.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

TEST(DisplayDensity, XftDpiIsANumberAloneAndPlausible) {
    EXPECT_EQ(platform::ParseDpi("192"), 192.0);
    EXPECT_EQ(platform::ParseDpi("  144.5\n"), 144.5);
    EXPECT_EQ(platform::ParseDpi("96"), 96.0);
    for (const char* bad : {"", " ", "192dpi", "abc", "0", "-192", "nan", "inf", "1e9", "12"})
        EXPECT_EQ(platform::ParseDpi(bad), std::nullopt) << '"' << bad << '"';
    EXPECT_EQ(platform::ParseDpi(nullptr), std::nullopt);
}

TEST(DisplayDensity, MillimetresGiveTheScreensDensity) {
    // Xvfb -dpi 192 -screen 0 2560x1600 reports 339 x 212 mm.
    const auto dense = platform::DpiFromMillimetres(2560, 339);
    ASSERT_TRUE(dense.has_value());
    EXPECT_NEAR(*dense, 191.8, 0.05);
    // Its default, 96 dpi, on a 1024 x 768 screen: 271 mm.
    const auto plain = platform::DpiFromMillimetres(1024, 271);
    ASSERT_TRUE(plain.has_value());
    EXPECT_NEAR(*plain, 96.0, 0.1);
    EXPECT_EQ(platform::DpiFromMillimetres(1920, 0), std::nullopt) << "size unknown";
    EXPECT_EQ(platform::DpiFromMillimetres(1920, 1), std::nullopt) << "a server's nonsense";
    EXPECT_EQ(platform::DpiFromMillimetres(0, 300), std::nullopt);
}

TEST(ScaleChoice, DensityAsksForTheNearestWholeScaleFromOneAndAHalfUp) {
    const std::pair<double, int> cases[] = {{72, 1},    {96, 1},    {143.9, 1}, {144, 2},
                                            {191.8, 2}, {239.9, 2}, {240, 3},   {288, 3},
                                            {384, 4},   {2000, 8},  {NAN, 1}};
    for (auto [dpi, scale] : cases)
        EXPECT_EQ(ui::ScaleForDpi(dpi), scale) << dpi << " dpi";
}

TEST(ScaleChoice, TheLargestScaleUpToTheWantedOneThatFitsTheUsableScreen) {
    struct Case {
        int wanted, width, height, usableWidth, usableHeight, scale;
    };
    const Case cases[] = {
        {2, 600, 453, 2560, 1600, 2}, {3, 600, 453, 2560, 1600, 3}, {4, 600, 453, 2560, 1600, 3},
        {3, 600, 453, 1920, 1080, 2}, {2, 600, 453, 1200, 906, 2},  {2, 600, 453, 1199, 906, 1},
        {2, 600, 453, 1200, 905, 1},  {2, 600, 453, 1366, 768, 1},  {1, 600, 453, 9999, 9999, 1},
        {3, 600, 453, 0, 0, 3},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ui::FitScale(c.wanted, c.width, c.height, c.usableWidth, c.usableHeight), c.scale)
            << c.wanted << "x of " << c.width << "x" << c.height << " on " << c.usableWidth << "x"
            << c.usableHeight;
}

TEST(ScaleChoice, PegdropScaleNamesAWholeScaleFromOneToEight) {
    EXPECT_EQ(ui::ParseScaleOverride("1"), 1);
    EXPECT_EQ(ui::ParseScaleOverride("2"), 2);
    EXPECT_EQ(ui::ParseScaleOverride("8"), 8);
    for (const char* bad : {"", "0", "9", "-2", "2.5", "2x", "two"})
        EXPECT_EQ(ui::ParseScaleOverride(bad), std::nullopt) << '"' << bad << '"';
}

using test::Environment;
using Scaling = test::Harness;

TEST_F(Scaling, APlayersAndADensitysScaleFitTheScreenAndTheProgramsIsKept) {
    // The dummy display is 1024 x 768 at no known density.
    EXPECT_EQ(platform::ReadDisplayDensity().dpi, 96.0);
    {
        const Environment named("PEGDROP_SCALE", "3");
        const ui::ScaleChoice choice = ui::ChooseScale(0, "PEGDROP_SCALE", "pegdrop");
        EXPECT_EQ(choice.wanted, 3);
        EXPECT_EQ(choice.variable, "PEGDROP_SCALE");
        EXPECT_EQ(choice.For(480, 336), 2) << "1440 x 1008 does not fit 1024 x 768";
        EXPECT_EQ(choice.For(600, 453), 1);
        // Said once, however many windows are lowered.
        app().SetScale(choice);
        testing::internal::CaptureStderr();
        EXPECT_EQ(app().ScaleFor(480, 336), 2);
        EXPECT_EQ(app().ScaleFor(600, 453), 1);
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "pegdrop: PEGDROP_SCALE=3 does not fit the screen: windows open at the largest "
                  "scale that fits\n");
    }
    {
        const Environment wrong("PEGDROP_SCALE", "huge");
        testing::internal::CaptureStderr();
        EXPECT_EQ(ui::ChooseScale(0, "PEGDROP_SCALE", "pegdrop").wanted, 1)
            << "a wrong value leaves the display's choice";
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "pegdrop: PEGDROP_SCALE=huge is not a scale from 1 to 8: ignored\n");
        const ui::ScaleChoice program = ui::ChooseScale(3, "PEGDROP_SCALE");
        EXPECT_EQ(program.wanted, 3) << "a scale named in the program comes first";
        EXPECT_EQ(program.For(600, 453), 3) << "and is taken as it is, even past the screen";
    }
    const ui::ScaleChoice dense{2, false, {}};
    EXPECT_EQ(dense.For(600, 453), 1) << "1200 x 906 does not fit 1024 x 768";
    EXPECT_EQ(dense.For(480, 336), 2);
}

TEST_F(Scaling, TheBoardOpensAtTwiceItsSizeAndTheChipIsDrawnInBlocks) {
    app().SetScale({2, true, {}});
    FrmSplash& splash = app().Instance<FrmSplash>();
    int w = 0;
    int h = 0;
    SDL_GetWindowSize(splash.Native(), &w, &h);
    EXPECT_EQ(w, 960);
    EXPECT_EQ(h, 672);
    Click(splash, 480, 300);
    FrmBoard* board = app().Find<FrmBoard>();
    ASSERT_NE(board, nullptr);
    SDL_GetWindowSize(board->Native(), &w, &h);
    EXPECT_EQ(w, 1200);
    EXPECT_EQ(h, 906);
    EXPECT_EQ(board->ClientWidth(), 600) << "the game keeps its own pixels";
    Type(*board, "t");
    const std::vector<std::uint32_t> screen = board->ReadScreenPixels();
    ASSERT_EQ(screen.size(), 1200u * 906u);
    const auto at = [&](int x, int y) { return ColorOf(screen[y * 1200 + x]); };
    const ui::Color chip = ui::RGB(192, 0, 128);
    for (int y : {32, 33})
        for (int x : {600, 601})
            EXPECT_EQ(at(x, y), chip) << x << "," << y;
    // Left of the chip's rim at x 292 (screen 584) there is no chip colour.
    EXPECT_NE(at(582, 32), chip);
    const std::vector<std::uint32_t> own = board->ReadPixels();
    ASSERT_EQ(own.size(), 600u * 453u);
    EXPECT_EQ(ColorOf(own[16 * 600 + 300]), chip);
}

TEST_F(Scaling, ThePointerComesBackAsAFractionAndAimingRoundsItHalfToEven) {
    app().SetScale({2, true, {}});
    FrmSplash& splash = app().Instance<FrmSplash>();
    Click(splash, 480, 300);
    FrmBoard& board = *app().Find<FrmBoard>();
    Type(board, "t");
    // Screen x, and the aim of x / 2: 206.5 and 300.5 go down to the even
    // whole number, 301.5 and 303.5 up; a whole-pixel pointer would give
    // 302 for 303.5.
    const std::pair<int, int> cases[] = {{413, 206}, {601, 300},  {603, 302}, {605, 302},
                                         {607, 304}, {1000, 400}, {100, 200}};
    for (auto [screenX, aimed] : cases) {
        MouseMove(board, screenX, 40, SDL_BUTTON_LMASK);
        Yield();
        EXPECT_EQ(board.ChipX, aimed) << "screen x " << screenX;
    }
    // A press on the splash at screen (480, 300) reached it at (240, 150):
    // this board exists only because the click landed on the splash, which
    // unloaded itself and is gone.
    EXPECT_EQ(app().Find<FrmSplash>(), nullptr);
}

// The same controls at one scale or another.
class TextProbe : public ui::Window {
public:
    TextProbe()
        : ui::Window("Text", 320, 200), lblWrapped(*this, {0, 0, 320, 60}, Wrapped(), kLong),
          lblFigures(*this, {10, 70, 90, 23}, Figures(), "90000"),
          cmdTest(*this, {120, 70, 75, 23}, "&Test", {"Arial", 8.25f, false}),
          txtValue(*this, {10, 110, 121, 20}, {"Arial", 8.25f, false}, 3) {}
    void Form_Load() override {
        txtValue.SetText("300");
        Show();
        SetFocus(&txtValue);
        txtValue.SetSelection(3, 0);
    }
    static constexpr const char* kLong =
        "Drag the Pegdrop chip across the top of the board, and release it anyplace you wish";
    static ui::LabelStyle Wrapped() {
        ui::LabelStyle style;
        style.fore = ui::RGB(255, 255, 255);
        style.back = ui::RGB(0, 0, 0);
        style.font = {"Arial", 14.25f, false};
        return style;
    }
    static ui::LabelStyle Figures() {
        ui::LabelStyle style;
        style.fore = ui::RGB(255, 224, 240);
        style.back = ui::RGB(230, 0, 0);
        style.font = {"EggCrate", 18.0f, false};
        style.align = ui::Align::Right;
        style.fitWidth = true;
        return style;
    }
    ui::Label lblWrapped;
    ui::Label lblFigures;
    ui::Button cmdTest;
    ui::TextBox txtValue;
};

struct Box {
    int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1; // inclusive
    bool Empty() const { return right < 0; }
};

// The ink of a control as one screen shows it: pixels unlike `back` inside
// `area` (own pixels), in screen pixels of a window at `scale`.
Box Ink(const std::vector<std::uint32_t>& screen, int clientWidth, int scale, ui::Rect area,
        ui::Color back) {
    Box ink;
    const int width = clientWidth * scale;
    for (int y = area.top * scale; y < (area.top + area.height) * scale; ++y)
        for (int x = area.left * scale; x < (area.left + area.width) * scale; ++x) {
            const std::uint32_t argb = screen[static_cast<std::size_t>(y * width + x)];
            if (ui::RGB(argb >> 16 & 0xFF, argb >> 8 & 0xFF, argb & 0xFF) == back)
                continue;
            ink.left = std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
            ink.top = std::min(ink.top, y);
            ink.bottom = std::max(ink.bottom, y);
        }
    return ink;
}

// Blocks of scale x scale screen pixels that are not one colour: none when a
// picture of the window's own size is blown up.
int MixedBlocks(const std::vector<std::uint32_t>& screen, int clientWidth, int scale,
                ui::Rect area) {
    const int width = clientWidth * scale;
    int mixed = 0;
    for (int by = area.top; by < area.top + area.height; ++by)
        for (int bx = area.left; bx < area.left + area.width; ++bx) {
            const std::uint32_t first =
                screen[static_cast<std::size_t>(by * scale * width + bx * scale)];
            bool same = true;
            for (int dy = 0; dy < scale && same; ++dy)
                for (int dx = 0; dx < scale && same; ++dx)
                    same = screen[static_cast<std::size_t>((by * scale + dy) * width + bx * scale +
                                                           dx)] == first;
            mixed += same ? 0 : 1;
        }
    return mixed;
}

TEST_F(Scaling, TextIsRenderedAtTheScaleAndLiesWhereItLiesUnscaled) {
    struct Part {
        const char* name;
        ui::Rect area;
        ui::Color back;
    };
    TextProbe& plain = app().Open<TextProbe>();
    const Part parts[] = {
        {"wrapped label", plain.lblWrapped.Bounds(), ui::RGB(0, 0, 0)},
        {"fitted figures", plain.lblFigures.Bounds(), ui::RGB(230, 0, 0)},
        // Inside the button's edges; inside the box's sunken edge.
        {"button caption", {123, 73, 69, 17}, ui::RGB(212, 208, 200)},
        {"text and caret", {12, 112, 117, 16}, ui::RGB(255, 255, 255)},
    };
    const std::vector<std::uint32_t> one = plain.ReadScreenPixels();
    app().SetScale({2, true, {}});
    TextProbe& doubled = app().Open<TextProbe>();
    ASSERT_EQ(doubled.Scale(), 2);
    const std::vector<std::uint32_t> two = doubled.ReadScreenPixels();
    for (const Part& p : parts) {
        const Box a = Ink(one, 320, 1, p.area, p.back);
        const Box b = Ink(two, 320, 2, p.area, p.back);
        ASSERT_FALSE(a.Empty() || b.Empty()) << p.name;
        // Same place and extent: nothing wraps, moves or is cut off
        // differently at twice the size. Glyphs hinted at twice the size
        // are not quite twice as wide, nor twice as tall: each glyph's
        // advance rounds on its own, so a line may end a little apart.
        const double slack = std::max(1.0, 0.03 * (a.right - a.left));
        EXPECT_NEAR(b.left / 2.0, a.left, slack) << p.name;
        EXPECT_NEAR(b.right / 2.0, a.right, slack) << p.name;
        EXPECT_NEAR(b.top / 2.0, a.top, 1.5) << p.name;
        EXPECT_NEAR(b.bottom / 2.0, a.bottom, 1.5) << p.name;
        // Glyph edges fall between the blocks of a blown-up picture.
        EXPECT_GT(MixedBlocks(two, 320, 2, p.area), 20) << p.name;
    }
}

TEST_F(Scaling, TheSpeedPromptIsOneWholeLineAtEveryScale) {
    for (const int scale : {1, 2, 3}) {
        app().SetScale({scale, true, {}});
        FrmSpeed& speed = app().Instance<FrmSpeed>();
        ASSERT_EQ(speed.Scale(), scale);
        const ui::Rect area = speed.lblInputSpeed.Bounds();
        const Box ink =
            Ink(speed.ReadScreenPixels(), speed.ClientWidth(), scale, area, ui::RGB(212, 208, 200));
        ASSERT_FALSE(ink.Empty()) << "scale " << scale;
        // Cut after "to", the line ends at 85% of the label; whole, past 90%.
        EXPECT_GT(ink.right / scale, area.left + area.width * 9 / 10)
            << "\"500:\" is missing at scale " << scale;
        EXPECT_LE(ink.right / scale, area.left + area.width) << "scale " << scale;
        speed.Unload();
        Yield();
    }
}

} // namespace

// The text probe, keeping where the pointer last moved in its own pixels.
class Probe : public TextProbe {
public:
    void Form_MouseMove(std::int16_t, std::int16_t, float X, float) override { lastX = X; }
    float lastX = -1;
};

TEST_F(Scaling, CtrlPlusAndMinusRescaleEveryWindowLiveWithinTheScreenAndCtrlZeroGoesBack) {
    const test::SettingsIn settings(data.Path() + "/config");
    modPegdrop::UseSettings();
    FrmBoard& board = OpenBoard();
    PressKey(board, SDLK_EQUALS, KMOD_LCTRL);
    Yield();
    EXPECT_EQ(board.Scale(), 1) << "1200 x 906 does not fit 1024 x 768";

    Probe& probe = app().Open<Probe>();
    probe.Show();
    const auto centre = [&probe] {
        int x = 0, y = 0, w = 0, h = 0;
        SDL_GetWindowPosition(probe.Native(), &x, &y);
        SDL_GetWindowSize(probe.Native(), &w, &h);
        return std::array<int, 4>{x + w / 2, y + h / 2, w, h};
    };
    const std::array<int, 4> before = centre();
    for (const SDL_Keycode plus : {SDLK_KP_PLUS, SDLK_PLUS, SDLK_EQUALS})
        PressKey(probe, plus, KMOD_LCTRL);
    Yield();
    EXPECT_EQ(probe.Scale(), 3) << "960 x 600 is the largest that fits";
    EXPECT_EQ(board.Scale(), 1) << "a window too large for the scale fits the screen";
    const std::array<int, 4> after = centre();
    EXPECT_EQ(after[2], 960);
    EXPECT_EQ(after[3], 600);
    EXPECT_NEAR(after[0], before[0], 1);
    EXPECT_NEAR(after[1], before[1], 1);
    const std::vector<std::uint32_t> screen = probe.ReadScreenPixels();
    ASSERT_EQ(screen.size(), 960u * 600u);
    // Text laid out afresh at the new size, not a blown-up picture of it.
    EXPECT_GT(MixedBlocks(screen, 320, 3, probe.lblWrapped.Bounds()), 20);
    EXPECT_EQ(settings.Read(), "scale=3\n");

    MouseMove(probe, 301, 30);
    Yield();
    EXPECT_FLOAT_EQ(probe.lastX, 301.0f / 3);

    PressKey(probe, SDLK_MINUS, KMOD_LCTRL);
    Yield();
    EXPECT_EQ(probe.Scale(), 2);
    PressKey(probe, SDLK_0, KMOD_LCTRL);
    Yield();
    EXPECT_EQ(probe.Scale(), 1) << "the harness's own scale";
    EXPECT_EQ(settings.Read(), "scale=0\n");
}

TEST_F(Scaling, TheLastChosenScaleComesBackUnlessPegdropScaleNamesOne) {
    const test::SettingsIn settings(data.Path());
    const Environment unset("PEGDROP_SCALE", nullptr);
    settings.Write("scale=2\n");
    modPegdrop::UseSettings();
    const ui::Options options = modPegdrop::ApplicationOptions();
    EXPECT_EQ(options.chosenScale, 2);
    const ui::ScaleChoice chosen =
        ui::WithPlayersChoice(ui::ChooseScale(0, "PEGDROP_SCALE"), options.chosenScale);
    EXPECT_EQ(chosen.wanted, 2);
    EXPECT_FALSE(chosen.named) << "a chosen scale still fits the screen";
    EXPECT_EQ(ui::WithPlayersChoice(ui::ChooseScale(2), 3).wanted, 2);
    const Environment named("PEGDROP_SCALE", "3");
    EXPECT_EQ(ui::WithPlayersChoice(ui::ChooseScale(0, "PEGDROP_SCALE"), 2).wanted, 3);
}

TEST_F(Scaling, F11AndAltEnterFillTheScreenAtAWholeScaleCentredOnBlackAndBack) {
#ifdef _WIN32
    GTEST_SKIP() << "SDL's dummy driver in its Windows build leaves a full-screen window at its "
                    "size, for the Windows driver resizes it itself";
#endif
    Probe& probe = app().Open<Probe>();
    probe.Show();
    const std::vector<std::uint32_t> windowed = probe.ReadPixels();
    PressKey(probe, SDLK_F11);
    Yield();
    ASSERT_TRUE(probe.IsFullScreen());
    EXPECT_EQ(probe.Scale(), 3) << "320 x 200 at 3 is the largest in 1024 x 768";
    int w = 0, h = 0;
    SDL_GetWindowSize(probe.Native(), &w, &h);
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 768);
    // The picture starts at whole blocks nearest the centre: (1024 - 960) / 2
    // = 32 is 10 blocks of 3 and 2 pixels; (768 - 600) / 2 = 84 is 28 blocks.
    probe.ReadScreenPixels();
    SDL_Surface* screen = SDL_GetWindowSurface(probe.Native());
    ASSERT_NE(screen, nullptr);
    ASSERT_EQ(screen->format->BytesPerPixel, 4);
    const auto at = [screen](int x, int y) {
        Uint8 r = 0, g = 0, b = 0;
        SDL_GetRGB(static_cast<const Uint32*>(screen->pixels)[y * screen->pitch / 4 + x],
                   screen->format, &r, &g, &b);
        return ui::RGB(r, g, b);
    };
    const ui::Color back = ColorOf(windowed.back());
    ASSERT_NE(back, ui::RGB(0, 0, 0));
    EXPECT_EQ(at(29, 683), ui::RGB(0, 0, 0));
    EXPECT_EQ(at(989, 683), back) << "the window's last pixel, blown up";
    EXPECT_EQ(at(990, 683), ui::RGB(0, 0, 0));
    EXPECT_EQ(at(989, 684), ui::RGB(0, 0, 0));
    MouseMove(probe, 30 + 301, 84 + 30);
    Yield();
    EXPECT_FLOAT_EQ(probe.lastX, 301.0f / 3);
    PressKey(probe, SDLK_ESCAPE);
    Yield();
    EXPECT_TRUE(probe.IsFullScreen()) << "Esc keeps its meaning";

    PressKey(probe, SDLK_RETURN, KMOD_LALT);
    Yield();
    EXPECT_FALSE(probe.IsFullScreen());
    EXPECT_EQ(probe.Scale(), 1);
    SDL_GetWindowSize(probe.Native(), &w, &h);
    EXPECT_EQ(w, 320);
    EXPECT_EQ(h, 200);
    MouseMove(probe, 301, 30);
    Yield();
    EXPECT_FLOAT_EQ(probe.lastX, 301.0f);
}
