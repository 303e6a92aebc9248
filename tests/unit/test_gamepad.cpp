// A game controller, as SDL's own virtual joystick plugged in: its stick and
// d-pad aim, A drops, and in the other windows A, B and the d-pad work their
// buttons and focus.
#include "game/frmBoard.h"
#include "game/frmSpeed.h"
#include "game/frmTop10.h"
#include "harness.h"
#include "rules/board_rules.h"
#include "ui/gamepad.h"

namespace {

TEST(StickPush, NothingInTheDeadZoneThenEvenlyToAFullPushAtEitherEnd) {
    EXPECT_EQ(ui::StickPush(0), 0.0f);
    EXPECT_EQ(ui::StickPush(8000), 0.0f);
    EXPECT_EQ(ui::StickPush(-8000), 0.0f);
    EXPECT_NEAR(ui::StickPush(20384), 0.5f, 1e-4f);
    EXPECT_NEAR(ui::StickPush(-20384), -0.5f, 1e-4f);
    EXPECT_EQ(ui::StickPush(32767), 1.0f);
    EXPECT_EQ(ui::StickPush(-32768), -1.0f);
}

class Gamepad : public test::Harness {
protected:
    Gamepad() {
        // SDL holds a controller back from a program none of whose windows
        // has the keys, and the dummy video gives them to none.
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
        desc.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1;
        desc.name = "Test pad";
        index_ = SDL_JoystickAttachVirtualEx(&desc);
        pad_.reset(SDL_JoystickOpen(index_));
        if (!pad_)
            ADD_FAILURE() << "no virtual controller: " << SDL_GetError();
        Yield(); // it arrives
    }
    ~Gamepad() override {
        pad_.reset();
        SDL_JoystickDetachVirtual(index_);
        SDL_ResetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS);
    }

    void Hold(SDL_GameControllerButton button, bool down) {
        SDL_JoystickSetVirtualButton(pad_.get(), button, down ? 1 : 0);
        Yield();
    }
    void Press(SDL_GameControllerButton button) {
        Hold(button, true);
        Hold(button, false);
    }
    void Stick(Sint16 x) {
        SDL_JoystickSetVirtualAxis(pad_.get(), SDL_CONTROLLER_AXIS_LEFTX, x);
        Yield();
    }
    FrmBoard& Board() {
        FrmBoard& b = OpenBoard();
        b.stepWait = [this](std::int16_t speed) {
            ++steps;
            return pegdrop::StepWaitCounts(speed);
        };
        cues.paths.clear();
        return b;
    }

    int steps = 0;

private:
    int index_ = -1;
    ui::JoystickPtr pad_;
};

TEST_F(Gamepad, TheDpadAndStickAimAsFarAsPushedAndADropsButNothingIsTyped) {
    FrmBoard& b = Board();
    Press(SDL_CONTROLLER_BUTTON_A);
    Press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    EXPECT_TRUE(cues.paths.empty()) << "a button at the mode prompt is no key";
    Type(b, "t");
    Press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    EXPECT_EQ(b.ChipX, 302);
    Press(SDL_CONTROLLER_BUTTON_DPAD_UP);
    Press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    EXPECT_EQ(b.ChipX, 302);
    EXPECT_EQ(steps, 0) << "the d-pad's down is not a drop";
    // Held, it repeats as a held key does: after 400 ms, then every 50 ms.
    Hold(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    Advance(399);
    EXPECT_EQ(b.ChipX, 300);
    Advance(101);
    EXPECT_EQ(b.ChipX, 294);
    Hold(SDL_CONTROLLER_BUTTON_DPAD_LEFT, false);
    Advance(500);
    EXPECT_EQ(b.ChipX, 294);

    Stick(32767);
    Advance(200);
    Stick(0);
    EXPECT_NEAR(b.ChipX, 294 + 60, 2) << "all the way: 300 pixels a second";
    const int before = b.ChipX;
    Stick(20384);
    Advance(200);
    Stick(0);
    EXPECT_NEAR(b.ChipX - before, 30, 2) << "half way, half as fast";
    Stick(-32768);
    Advance(2000);
    EXPECT_EQ(b.ChipX, pegdrop::kAimMinX) << "held against the edge, as a drag is";
    Stick(-4000);
    Advance(500);
    EXPECT_EQ(b.ChipX, pegdrop::kAimMinX);

    Press(SDL_CONTROLLER_BUTTON_A);
    EXPECT_EQ(steps, 300) << "A drops the chip";
    EXPECT_EQ(b.ChipY, 316);
}

// The controller is plugged in before the first picture, as at a start with
// one already there: the other tests find it all the same.
TEST_F(Gamepad, NoneIsLookedForBeforeTheFirstPicture) {
    EXPECT_EQ(SDL_WasInit(SDL_INIT_GAMECONTROLLER), 0u);
    Board();
    EXPECT_NE(SDL_WasInit(SDL_INIT_GAMECONTROLLER), 0u);
}

TEST_F(Gamepad, AAndBPressTheDefaultAndCancelButtonsAndTheDpadMovesTheFocus) {
    FrmBoard& b = Board();
    Type(b, "f1");
    Press(SDL_CONTROLLER_BUTTON_A);
    ASSERT_EQ(steps, 300);
    Advance(2500 + 3500);
    FrmTop10* top10 = app().Find<FrmTop10>();
    ASSERT_NE(top10, nullptr);
    Press(SDL_CONTROLLER_BUTTON_A);
    EXPECT_EQ(app().Find<FrmTop10>(), nullptr) << "A is Play again";
    EXPECT_EQ(modPegdrop::GameMode, 0);

    Type(b, "f");
    Type(b, "s");
    FrmSpeed* speed = app().Find<FrmSpeed>();
    ASSERT_NE(speed, nullptr);
    ASSERT_EQ(speed->Focused(), &speed->txtSpeed);
    Press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    EXPECT_EQ(speed->Focused(), &speed->cmdTest);
    Press(SDL_CONTROLLER_BUTTON_DPAD_UP);
    EXPECT_EQ(speed->Focused(), &speed->txtSpeed);
    EXPECT_EQ(speed->txtSpeed.Text(), "300") << "no button typed into the box";
    Press(SDL_CONTROLLER_BUTTON_B);
    EXPECT_EQ(app().Find<FrmSpeed>(), nullptr) << "B is Cancel";
}

} // namespace
