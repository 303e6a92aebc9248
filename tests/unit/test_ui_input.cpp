// Focus, clicks, buttons, the text box and the modal dialogs of the control
// layer, driven through SDL's own event queue.
#include "harness.h"

#include "text/utf8.h"
#include "ui/button.h"
#include "ui/dialogs.h"
#include "ui/textbox.h"

#include <string>
#include <vector>

namespace {

// A form with a text box and three buttons, in that tab order.
class Form : public ui::Window {
public:
    Form()
        : ui::Window("Form", 300, 120), txt(*this, {10, 10, 100, 24}, {}, 3),
          cmdA(*this, {10, 50, 80, 25}, "&Apply"), cmdB(*this, {100, 50, 80, 25}, "&Back"),
          cmdC(*this, {190, 50, 80, 25}, "Cancel"), tick(*this, 100, true) {
        SetDefaultButton(&cmdA);
        SetCancelButton(&cmdC);
        for (ui::Control* c : std::vector<ui::Control*>{&txt, &cmdA, &cmdB, &cmdC}) {
            c->GotFocus = [this, c] { log.push_back("got " + NameOf(c)); };
            c->LostFocus = [this, c](ui::Control* now) {
                log.push_back("lost " + NameOf(c) + " to " + NameOf(now));
            };
        }
        cmdA.Click = [this] { log.push_back("click A"); };
        cmdB.Click = [this] { log.push_back("click B"); };
        cmdC.Click = [this] { log.push_back("click C"); };
        txt.Change = [this] { log.push_back("change " + txt.Text()); };
        tick.Tick = [this] { ++ticks; };
    }
    void Form_Load() override { Show(); }
    void Form_KeyPress(std::int16_t& key) override { keys.push_back(key); }
    std::string NameOf(const ui::Control* c) const {
        return c == &txt ? "txt" : c == &cmdA ? "A" : c == &cmdB ? "B" : c == &cmdC ? "C" : "none";
    }
    ui::TextBox txt;
    ui::Button cmdA;
    ui::Button cmdB;
    ui::Button cmdC;
    ui::Timer tick;
    std::vector<std::string> log;
    std::vector<std::int16_t> keys;
    int ticks = 0;
};

class ControlInput : public test::Harness {
protected:
    Form& Open() {
        Form& f = app().Instance<Form>();
        Yield();
        f.log.clear();
        return f;
    }
    void ClickOn(ui::Window& w, const ui::Control& c) {
        Click(w, c.Left() + c.Width() / 2, c.Top() + c.Height() / 2);
    }
    // What a dialog's answer does, from inside its modal loop.
    void Answer(std::function<void(ui::Window&)> answer) {
        app().onModal = [this, answer](ui::Window& dialog) {
            app().onModal = nullptr;
            answer(dialog);
        };
    }
};

TEST_F(ControlInput, APressMovesTheFocusAndTheClickRunsOnlyIfTheFocusHeld) {
    Form& f = Open();
    EXPECT_EQ(f.Focused(), &f.txt) << "a window opens on the first control of its tab order";
    ClickOn(f, f.cmdB);
    EXPECT_EQ(f.log, (std::vector<std::string>{"lost txt to B", "got B", "click B"}));

    // A lost-focus handler that takes the focus back ends the click.
    f.log.clear();
    ASSERT_TRUE(f.SetFocus(&f.txt));
    f.txt.LostFocus = [&](ui::Control* now) {
        f.log.push_back("lost txt to " + f.NameOf(now));
        EXPECT_TRUE(f.SetFocus(&f.txt)) << "the move back holds";
    };
    f.log.clear();
    ClickOn(f, f.cmdA);
    EXPECT_EQ(f.log, (std::vector<std::string>{"lost txt to A", "got txt"}))
        << "got-focus once, on the box that holds it, never on A";
    EXPECT_EQ(f.Focused(), &f.txt);
}

TEST_F(ControlInput, SetFocusSaysWhetherTheMoveHeld) {
    Form& f = Open();
    EXPECT_TRUE(f.SetFocus(&f.cmdB));
    f.cmdB.LostFocus = [&](ui::Control*) { f.SetFocus(&f.cmdC); };
    f.log.clear();
    EXPECT_FALSE(f.SetFocus(&f.cmdA));
    EXPECT_EQ(f.Focused(), &f.cmdC);
    EXPECT_EQ(f.log, std::vector<std::string>{"got C"});
    EXPECT_TRUE(f.SetFocus(&f.cmdC)) << "already there";
    f.cmdA.SetEnabled(false);
    EXPECT_FALSE(f.SetFocus(&f.cmdA)) << "a disabled control cannot take it";
}

TEST_F(ControlInput, ADisabledControlTakesNoPressClickOrKeyAndTabSkipsIt) {
    Form& f = Open();
    f.cmdA.SetEnabled(false);
    f.txt.SetEnabled(false);
    EXPECT_EQ(f.Focused(), &f.cmdB) << "the focus moves on from a control that goes disabled";
    f.log.clear();
    ClickOn(f, f.cmdA);
    PressKey(f, SDLK_a, KMOD_LALT);
    PressKey(f, SDLK_RETURN); // the focused B takes Enter
    Yield();
    EXPECT_EQ(f.log, std::vector<std::string>{"click B"});
    std::vector<const ui::Control*> visited;
    for (int i = 0; i < 4; ++i) {
        PressKey(f, SDLK_TAB);
        Yield();
        visited.push_back(f.Focused());
    }
    EXPECT_EQ(visited, (std::vector<const ui::Control*>{&f.cmdC, &f.cmdB, &f.cmdC, &f.cmdB}));
    PressKey(f, SDLK_TAB, KMOD_LSHIFT);
    Yield();
    EXPECT_EQ(f.Focused(), &f.cmdC);
}

TEST_F(ControlInput, APressMadeInsideAClickHandlersYieldIsNotLost) {
    Form& f = Open();
    int inner = 0;
    f.cmdB.Click = [&] {
        ++inner;
        if (inner == 1) {
            MouseDown(f, 20, 60); // on A, while B's handler yields
            MouseUp(f, 20, 60);
            Yield();
        }
    };
    ClickOn(f, f.cmdB);
    EXPECT_EQ(inner, 1);
    EXPECT_EQ(std::count(f.log.begin(), f.log.end(), "click A"), 1);
}

TEST_F(ControlInput, APressTakesTheKeysToItsWindowAndADialogGivesThemBackToItsOwner) {
    Form& f = Open();
    Form& other = app().Open<Form>();
    EXPECT_EQ(&Keys(), &other) << "a window shown gets the keys";
    ClickOn(f, f.cmdB);
    EXPECT_EQ(&Keys(), &f);
    EXPECT_EQ(f.log.back(), "click B") << "and the press acts on it";
    Answer([&](ui::Window& d) {
        EXPECT_EQ(&Keys(), &d);
        other.log.clear();
        ClickOn(other, other.cmdA);
        EXPECT_TRUE(other.log.empty()) << "a press behind a dialog does nothing";
        EXPECT_EQ(&Keys(), &d);
        PressKey(Keys(), SDLK_RETURN);
    });
    ui::MessageBox("x", "y", ui::MessageIcon::None, &f);
    EXPECT_EQ(&Keys(), &f) << "back to the owner, not to the window shown last";
    // A window without an owner hands them to the one shown last.
    ClickOn(other, other.cmdC);
    EXPECT_EQ(&Keys(), &other);
    other.Unload();
    EXPECT_EQ(&Keys(), &f);
}

TEST_F(ControlInput, ButtonsArePressedByEnterEscSpaceAndTheirAccessKeys) {
    Form& f = Open();
    PressKey(f, SDLK_RETURN); // focus in the box: the default button
    PressKey(f, SDLK_ESCAPE); // the cancel button
    Yield();
    EXPECT_EQ(f.log, (std::vector<std::string>{"click A", "click C"}));
    f.log.clear();
    // Alt+B moves the focus to B and presses it; its text does not reach anything.
    PressKey(f, SDLK_b, KMOD_LALT);
    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    text.text.windowID = f.NativeId();
    text.text.text[0] = 'b';
    Post(text);
    PressKey(f, SDLK_SPACE);
    text.text.text[0] = ' ';
    Post(text);
    Yield();
    EXPECT_EQ(f.log, (std::vector<std::string>{"lost txt to B", "got B", "click B", "click B"}));
    EXPECT_EQ(f.txt.Text(), "");
    EXPECT_TRUE(f.keys.empty());
    f.log.clear();
    PressKey(f, SDLK_RETURN); // a focused button takes Enter itself
    Yield();
    EXPECT_EQ(f.log, std::vector<std::string>{"click B"});
    EXPECT_TRUE(f.cmdB.DefaultLook());
    EXPECT_FALSE(f.cmdA.DefaultLook()) << "the default frame goes to the focused button";
}

TEST_F(ControlInput, ACaptionMarksItsAccessKeyAndPressedLooksFollowThePointer) {
    struct Case {
        const char* caption;
        const char* text;
        std::size_t underline;
        char key;
    };
    const Case cases[] = {{"&Play again!", "Play again!", 0, 'p'},
                          {"E&xit", "Exit", 1, 'x'},
                          {"Salt && &Pepper", "Salt & Pepper", 7, 'p'},
                          {"OK", "OK", std::string::npos, 0},
                          {"Trailing&", "Trailing&", std::string::npos, 0}};
    for (const Case& c : cases) {
        const ui::AccessCaption a = ui::ParseAccessCaption(c.caption);
        EXPECT_EQ(a.text, c.text) << c.caption;
        EXPECT_EQ(a.underline, c.underline) << c.caption;
        EXPECT_EQ(a.key, c.key) << c.caption;
    }
    Form& f = Open();
    MouseDown(f, 20, 60);
    Yield();
    EXPECT_TRUE(f.cmdA.PressedLook());
    const ui::Color held = ColorOf(Pixel(f, 11, 51));
    MouseMove(f, 200, 110, SDL_BUTTON_LMASK); // off the button: it pops up
    Yield();
    EXPECT_FALSE(f.cmdA.PressedLook());
    const ui::Color raised = ColorOf(Pixel(f, 11, 51));
    MouseUp(f, 200, 110);
    Yield();
    EXPECT_EQ(std::count(f.log.begin(), f.log.end(), "click A"), 0) << "released off the button";
    EXPECT_EQ(held, ui::RGB(128, 128, 128)) << "pressed: a flat shadow edge";
    EXPECT_EQ(raised, ui::RGB(255, 255, 255)) << "raised: a light top-left bevel";
}

TEST_F(ControlInput, ADisabledButtonIsGreyed) {
    Form& f = Open();
    auto inkOf = [&](const ui::Button& b) {
        std::vector<std::uint32_t> px = f.ReadPixels();
        int dark = 0, grey = 0;
        for (int y = b.Top() + 4; y < b.Top() + b.Height() - 4; ++y)
            for (int x = b.Left() + 5; x < b.Left() + b.Width() - 5; ++x) {
                const ui::Color c = ColorOf(px[static_cast<std::size_t>(y * 300 + x)]);
                dark += c.r < 60 && c.g < 60 && c.b < 60;
                grey += c.r > 100 && c.r < 160 && c.r == c.g && c.g == c.b;
            }
        return std::pair{dark, grey};
    };
    const auto [darkBefore, greyBefore] = inkOf(f.cmdB);
    f.cmdB.SetEnabled(false);
    const auto [darkAfter, greyAfter] = inkOf(f.cmdB);
    EXPECT_GT(darkBefore, 20) << "a black caption";
    EXPECT_LT(darkAfter, 3);
    EXPECT_GT(greyAfter, greyBefore + 10);
}

TEST_F(ControlInput, TheTextBoxEditsOneLineWithinItsLimit) {
    Form& f = Open(); // txt holds at most 3 characters
    Type(f, "12345");
    EXPECT_EQ(f.txt.Text(), "123");
    PressKey(f, SDLK_LEFT);
    PressKey(f, SDLK_BACKSPACE);
    Yield();
    EXPECT_EQ(f.txt.Text(), "13");
    PressKey(f, SDLK_HOME);
    PressKey(f, SDLK_DELETE);
    Type(f, "9");
    EXPECT_EQ(f.txt.Text(), "93");
    PressKey(f, SDLK_END, KMOD_LSHIFT); // selects "3"
    Yield();
    EXPECT_EQ(f.txt.SelStart(), 1);
    EXPECT_EQ(f.txt.SelLength(), 1);
    Type(f, "x");
    EXPECT_EQ(f.txt.Text(), "9x");
    PressKey(f, SDLK_a, KMOD_LCTRL); // select all, then type over it
    Type(f, "q");
    EXPECT_EQ(f.txt.Text(), "q");
    EXPECT_EQ(f.log, (std::vector<std::string>{"change 1", "change 12", "change 123", "change 13",
                                               "change 3", "change 93", "change 9x", "change q"}));
    f.log.clear();
    f.txt.SetText("300");
    f.txt.SetText("300");
    EXPECT_EQ(f.log, std::vector<std::string>{"change 300"}) << "a change, and only a change";
    EXPECT_EQ(f.txt.SelStart(), 0);
}

TEST_F(ControlInput, TheKeyPressFilterSeesEveryCharacterAndCanDiscardIt) {
    Form& f = Open();
    std::vector<std::int32_t> seen;
    f.txt.KeyPress = [&](std::int32_t& key) {
        seen.push_back(key);
        if (key < '0' || key > '9')
            key = 0;
    };
    SDL_SetClipboardText("77");
    Type(f, "4a-. ");
    PressKey(f, SDLK_6, KMOD_LALT, "6"); // a chord, not a character
    PressKey(f, SDLK_v, KMOD_LCTRL);
    PressKey(f, SDLK_BACKSPACE);
    Yield();
    EXPECT_EQ(seen, (std::vector<std::int32_t>{'4', 'a', '-', '.', ' ', 22, 8}));
    EXPECT_EQ(f.txt.Text(), "4") << "backspace is discarded by this filter too";
    f.txt.KeyPress = nullptr;
    PressKey(f, SDLK_v, KMOD_LCTRL);
    Yield();
    EXPECT_EQ(f.txt.Text(), "477");
}

TEST_F(ControlInput, TheTextBoxTakesAnyPrintableTextAsUtf8) {
    ui::TextBox box(app().Instance<Form>(), {0, 90, 200, 22});
    box.SetText("A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB2"); // A, e-acute, euro, die
    EXPECT_EQ(box.Length(), 4);
    box.SetSelection(1, 2);
    EXPECT_EQ(box.SelText(), "\xC3\xA9\xE2\x82\xAC");
    box.SetText("\xFF\xC3(\xE2\x82"); // bytes that are no UTF-8
    EXPECT_EQ(text::DecodeUtf8(box.Text()), U"\uFFFD\uFFFD(\uFFFD");
    // Overlong, surrogate, cut short: one replacement for each ill-formed piece.
    EXPECT_EQ(text::DecodeUtf8("\xC0\xAF\xED\xA0\x80"), U"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(text::DecodeUtf8("\xE0\xA0"), U"\uFFFD");
    EXPECT_EQ(text::DecodeUtf8("\xF4\x90\x80\x80"), U"\uFFFD\uFFFD\uFFFD\uFFFD") << "past U+10FFFF";
    const std::u32string all = U"x\u00E9\u20AC\U0001F3B2";
    EXPECT_EQ(text::DecodeUtf8(text::EncodeUtf8(all)), all);
}

TEST_F(ControlInput, TheInputBoxGivesWhatWasTypedOrNothing) {
    Form& f = Open();
    std::string title;
    std::string prompt;
    Answer([&](ui::Window& d) {
        title = d.Caption();
        prompt = static_cast<ui::InputDialog&>(d).lblPrompt.Caption();
        Type(d, "Ann, \"Jr\"");
        PressKey(d, SDLK_BACKSPACE);
        PressKey(d, SDLK_RETURN);
    });
    EXPECT_EQ(ui::InputBox("Line one\rLine two", "TITLE", &f), "Ann, \"Jr");
    EXPECT_EQ(title, "TITLE");
    EXPECT_EQ(prompt, "Line one\rLine two");
    Answer([&](ui::Window& d) {
        Type(d, "Bob");
        PressKey(d, SDLK_ESCAPE);
    });
    EXPECT_EQ(ui::InputBox("?", "T", &f), "");
    Answer([&](ui::Window& d) {
        Type(d, "Cy");
        CloseBox(d);
    });
    EXPECT_EQ(ui::InputBox("?", "T", &f), "");
    Answer([&](ui::Window& d) {
        Type(d, "Di");
        auto& dialog = static_cast<ui::InputDialog&>(d);
        ClickOn(d, dialog.cmdOK);
    });
    EXPECT_EQ(ui::InputBox("?", "T", &f), "Di");
}

TEST_F(ControlInput, TimersTickAndWindowsPaintBehindADialogWhileInputReachesItAlone) {
    Form& f = Open();
    Answer([&](ui::Window& d) {
        const int before = f.ticks;
        Type(f, "zz"); // to the window behind: dropped
        Advance(1000);
        EXPECT_EQ(f.ticks - before, 10);
        f.cmdB.SetCaption("Busy");
        Yield();
        EXPECT_FALSE(f.NeedsPaint()) << "the window behind repaints";
        PressKey(d, SDLK_RETURN);
    });
    ui::MessageBox("Please input a value between 1 and 500", "Illegal value", ui::MessageIcon::Stop,
                   &f);
    EXPECT_EQ(f.txt.Text(), "");
    EXPECT_FALSE(app().Find<ui::MessageDialog>());
    for (const char* key : {"\x1b", " "}) {
        bool answered = false;
        Answer([&](ui::Window& d) {
            if (key[0] == ' ')
                Type(d, key); // a key and its text, as SDL gives Space
            else
                PressKey(d, SDLK_ESCAPE);
            answered = true;
        });
        ui::MessageBox("x", "y", ui::MessageIcon::None, &f);
        EXPECT_TRUE(answered);
    }
}

TEST_F(ControlInput, TheMessageBoxShowsItsTextBesideTheStopIcon) {
    const std::string text = "Please input a value between 1 and 500";
    const ui::MessageLayout l = ui::LayOutMessage(text, ui::MessageIcon::Stop);
    EXPECT_GE(l.text.left, l.icon.left + l.icon.width);
    EXPECT_LE(l.text.left + l.text.width, l.width);
    EXPECT_GE(l.button.top, l.text.top + l.text.height);
    EXPECT_EQ(l.button.left * 2 + l.button.width, l.width) << "OK is centred";
    const auto icon = ui::StopIcon(ui::RGB(212, 208, 200));
    auto at = [&](int x, int y) {
        return ColorOf(icon->pixels[static_cast<std::size_t>(y * 32 + x)]);
    };
    EXPECT_EQ(at(16, 16), ui::RGB(255, 255, 255)) << "the cross";
    EXPECT_EQ(at(16, 6), ui::RGB(224, 0, 0)) << "the disc";
    EXPECT_EQ(at(0, 0), ui::RGB(212, 208, 200)) << "the ground";
    Form& f = Open();
    Answer([&](ui::Window& d) {
        auto& box = static_cast<ui::MessageDialog&>(d);
        EXPECT_EQ(d.Caption(), "Illegal value");
        EXPECT_EQ(box.lblText.Caption(), text);
        EXPECT_EQ(ColorOf(Pixel(d, l.icon.left + 16, l.icon.top + 6)), ui::RGB(224, 0, 0));
        std::vector<std::uint32_t> px = d.ReadPixels();
        int ink = 0;
        for (int y = l.text.top; y < l.text.top + l.text.height; ++y)
            for (int x = l.text.left; x < l.text.left + l.text.width; ++x)
                ink += ColorOf(px[static_cast<std::size_t>(y * d.ClientWidth() + x)]).g < 90;
        EXPECT_GT(ink, 100) << "the text is drawn";
        PressKey(d, SDLK_RETURN);
    });
    ui::MessageBox(text, "Illegal value", ui::MessageIcon::Stop, &f);
}

TEST_F(ControlInput, ALabelThatFitsItsWidthShowsItsWholeLine) {
    Form& f = Open();
    ui::LabelStyle style;
    style.font = {"Arial", 12.0f, false};
    style.fitWidth = true;
    // Far too wide for the box at 12 pt: it must shrink, not wrap out of sight.
    ui::Label label(f, {10, 90, 120, 18}, style, "Input a speed value from 1 to 500:");
    const std::vector<std::uint32_t> px = f.ReadPixels();
    auto inkIn = [&](int x0, int x1) {
        int ink = 0;
        for (int y = 90; y < 108; ++y)
            for (int x = x0; x < x1; ++x)
                ink += ColorOf(px[static_cast<std::size_t>(y * 300 + x)]).g < 100;
        return ink;
    };
    EXPECT_GT(inkIn(10, 30), 5) << "the start of the line";
    EXPECT_GT(inkIn(110, 130), 5) << "the end of the line, \"500:\", is shown too";
}

} // namespace
