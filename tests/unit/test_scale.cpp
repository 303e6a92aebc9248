// Dense screens: the density found and the scale chosen from it, and windows
// drawn at a whole-number scale with sharp text and the pointer mapped back.
#include "harness.h"

#include "game/frmBoard.h"
#include "game/frmSplash.h"
#include "ui/button.h"
#include "ui/scale.h"
#include "ui/textbox.h"

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

// Sets or clears an environment variable for one scope.
class Environment {
public:
    Environment(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        test::SetEnv(name, value);
    }
    ~Environment() { test::SetEnv(name_, old_ ? old_->c_str() : nullptr); }
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

using Scaling = test::Harness;

TEST_F(Scaling, ANamedScaleIsKeptAndADensityScaleFitsTheScreen) {
    // The dummy display is 1024 x 768 at no known density.
    EXPECT_EQ(platform::ReadDisplayDensity().dpi, 96.0);
    {
        const Environment named("PEGDROP_SCALE", "3");
        const ui::ScaleChoice choice = ui::ChooseScale(0, "PEGDROP_SCALE");
        EXPECT_EQ(choice.wanted, 3);
        EXPECT_TRUE(choice.named);
        EXPECT_EQ(choice.For(600, 453), 3) << "the player's word, even past the screen";
    }
    {
        const Environment wrong("PEGDROP_SCALE", "huge");
        EXPECT_EQ(ui::ChooseScale(0, "PEGDROP_SCALE").wanted, 1)
            << "a wrong value leaves the display's choice";
        EXPECT_EQ(ui::ChooseScale(2, "PEGDROP_SCALE").wanted, 2)
            << "a scale named in the program comes first";
    }
    const ui::ScaleChoice dense{2, false};
    EXPECT_EQ(dense.For(600, 453), 1) << "1200 x 906 does not fit 1024 x 768";
    EXPECT_EQ(dense.For(480, 336), 2);
}

TEST_F(Scaling, TheBoardOpensAtTwiceItsSizeAndTheChipIsDrawnInBlocks) {
    app().SetScale({2, true});
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
    app().SetScale({2, true});
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
    app().SetScale({2, true});
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

} // namespace
