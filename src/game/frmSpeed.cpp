#include "game/frmSpeed.h"

#include "game/data_files.h"
#include "game/faces.h"
#include "game/images.h"
#include "game/modPegdrop.h"
#include "game/step_pace.h"
#include "rules/descent.h"
#include "rules/speed_setting.h"
#include "rules/test_lattice.h"
#include "ui/dialogs.h"

#include <algorithm>
#include <limits>
#include <string>

namespace {

// The number the text begins with, 0 when it begins with no digit.
std::int16_t LeadingNumber(const std::string& text) {
    constexpr int kMost = std::numeric_limits<std::int16_t>::max();
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            break;
        // Saturates rather than wrapping, so a long paste is never in range.
        value = std::min(kMost, value * 10 + (c - '0'));
    }
    return static_cast<std::int16_t>(value);
}

constexpr int kWidth = 360;
constexpr int kHeight = 280;
constexpr ui::Rect kPromptRect{40, 8, 236, 18};
const char* const kTestCaption = "Click here to test";
const char* const kOKCaption = "OK";
const char* const kCancelCaption = "Cancel";

ui::LabelStyle PromptStyle() {
    ui::LabelStyle style;
    style.transparent = true;
    style.font = faces::kSpeed;
    style.fitWidth = true; // the stand-in for Arial runs a few pixels wider here
    return style;
}

} // namespace

FrmSpeed::FrmSpeed()
    : ui::Window("Form1", kWidth, kHeight),
      lblInputSpeed(*this, kPromptRect, PromptStyle(), speed::kPrompt),
      txtSpeed(*this, {280, 5, 38, 26}, faces::kSpeed, 3),
      cmdTest(*this, {120, 32, 120, 26}, kTestCaption),
      imgBoard(*this, {115, 60, 130, 212}, true, pegdrop::images::TestBoard()),
      shpChip(*this, {172, 64, 17, 17}, ui::RGB(192, 0, 128), ui::RGB(128, 128, 128)),
      cmdOK(*this, {8, 248, 64, 25}, kOKCaption),
      cmdCancel(*this, {288, 248, 64, 25}, kCancelCaption), stepWait(pegdrop::StepWait),
      yield([] { ui::App().DoEvents(); }) {
    SetIcon(pegdrop::images::Icon());
    txtSpeed.SetText("300");
    lblInputSpeed.tabIndex = 0;
    txtSpeed.tabIndex = 1;
    cmdTest.tabIndex = 2;
    cmdOK.tabIndex = 3;
    cmdCancel.tabIndex = 4;
    SetDefaultButton(&cmdTest);
    SetCancelButton(&cmdCancel);
    txtSpeed.KeyPress = [this](std::int32_t& key) { txtSpeed_KeyPress(key); };
    txtSpeed.Change = [this] { txtSpeed_Change(); };
    txtSpeed.LostFocus = [this](ui::Control* now) { txtSpeed_LostFocus(now); };
    cmdTest.Click = [this] { cmdTest_Click(); };
    cmdOK.Click = [this] { cmdOK_Click(); };
    cmdCancel.Click = [this] { cmdCancel_Click(); };
}

void FrmSpeed::RenderTextAhead() {
    ui::FontCache& fonts = ui::App().Fonts();
    const int scale = ui::App().Scale().For(kWidth, kHeight);
    ui::RenderLabelAhead(fonts, PromptStyle(), kPromptRect.width, speed::kPrompt, scale);
    for (const char* caption : {kTestCaption, kOKCaption, kCancelCaption})
        ui::RenderButtonAhead(fonts, ui::kButtonFont, caption, scale);
    // The box opens holding the speed as saved.
    ui::RenderTextBoxAhead(fonts, faces::kSpeed,
                           std::to_string(pegdrop::ReadSpeedFile(modPegdrop::SpeedFilePath())),
                           scale);
}

void FrmSpeed::Form_Load() {
    txtSpeed.SetText(std::to_string(modPegdrop::Speed));
    NewSpeed = modPegdrop::Speed;
    Show();
}

void FrmSpeed::Form_CloseBox() {
    if (cmdCancel.Enabled())
        cmdCancel_Click();
}

void FrmSpeed::txtSpeed_KeyPress(std::int32_t& KeyAscii) {
    const bool digit = KeyAscii >= '0' && KeyAscii <= '9';
    if (!digit && KeyAscii != 8)
        KeyAscii = 0;
}

void FrmSpeed::txtSpeed_Change() {
    NewSpeed = LeadingNumber(txtSpeed.Text());
}

void FrmSpeed::txtSpeed_LostFocus(ui::Control* now) {
    if (pegdrop::SpeedInRange(NewSpeed) || now == &cmdCancel)
        return;
    ui::MessageBox(speed::kRangeMessage, speed::kRangeTitle, ui::MessageIcon::Stop, this);
    // The board was closed while the message was up: the program is ending.
    if (!IsLoaded())
        return;
    txtSpeed.SelectAll();
    SetFocus(&txtSpeed);
}

void FrmSpeed::cmdOK_Click() {
    // The box skips its check when the focus leaves it for Cancel; should the
    // player then reach OK without going back to it, the value is checked here,
    // so that Speed never holds what the box refuses.
    if (!pegdrop::SpeedInRange(NewSpeed)) {
        txtSpeed_LostFocus(&cmdOK);
        return;
    }
    modPegdrop::Speed = NewSpeed;
    Unload();
}

void FrmSpeed::cmdCancel_Click() {
    Unload();
}

void FrmSpeed::cmdTest_Click() {
    pegdrop::RandomSource& random = modPegdrop::Random();
    random.Reseed(modPegdrop::SecondsSinceMidnight());
    // Nothing may start a second run or close the window under this one.
    cmdTest.SetEnabled(false);
    cmdOK.SetEnabled(false);
    cmdCancel.SetEnabled(false);
    pegdrop::ChipMotion chip{pegdrop::kTestStartX, pegdrop::kTestStartY, pegdrop::kStraight};
    const auto draw = [this, &chip] { shpChip.Move(chip.x - 8, chip.y - 8); };
    draw();
    const pegdrop::Chooser choose = pegdrop::RandomChooser(random);
    pegdrop::StepPacer pacer(stepWait);
    while (chip.y < pegdrop::kTestEndY) {
        const int bounce = pegdrop::AdvanceChip(pegdrop::TestBoardLattice(), chip, choose);
        if (bounce != 0)
            modPegdrop::PlaySound("bounce" + std::to_string(bounce) + ".wav");
        draw();
        // Read every step: a value typed during the run paces the rest of it.
        pacer.Step(NewSpeed);
        yield();
        // Closing the board ends the program and takes this window with it.
        if (!IsLoaded())
            return;
        draw();
        yield();
        if (!IsLoaded())
            return;
    }
    cmdTest.SetEnabled(true);
    cmdOK.SetEnabled(true);
    cmdCancel.SetEnabled(true);
}
