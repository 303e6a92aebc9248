#include "game/frmBoard.h"

#include "art/pictures.h"
#include "game/data_files.h"
#include "game/faces.h"
#include "game/frmSpeed.h"
#include "game/frmTop10.h"
#include "game/images.h"
#include "game/modPegdrop.h"
#include "game/step_pace.h"
#include "platform/number_locale.h"
#include "rules/board_rules.h"
#include "rules/descent.h"
#include "rules/lattice.h"
#include "rules/slots.h"

using modPegdrop::PlaySound;

namespace {

ui::LabelStyle MessageStyle() {
    ui::LabelStyle style;
    style.fore = ui::RGB(255, 255, 255);
    style.back = ui::RGB(0, 0, 0);
    style.font = faces::kMessage;
    return style;
}

ui::LabelStyle ScoreboardStyle() {
    ui::LabelStyle style;
    style.fore = board::kScoreText;
    style.back = board::kScoreBack;
    style.font = faces::kScoreboard;
    style.align = ui::Align::Right;
    return style;
}

constexpr int kWidth = 600;
constexpr int kHeight = 453;
constexpr ui::Rect kMessageRect{0, 400, kWidth, 56};

ui::Rect SlotRect(int slot) {
    const pegdrop::Slot& s = pegdrop::kSlots[static_cast<std::size_t>(slot - 1)];
    return {s.left, s.top, s.width, s.height};
}

} // namespace

FrmBoard::FrmBoard()
    : ui::Window("PEGDROP!!!", kWidth, kHeight), tmrScoreFlash(*this, 350, false),
      tmrRestart(*this, 3500, false), tmrFlash(*this, 180, true), tmrAfterChip(*this, 2500, false),
      tmrSpaceFlash(*this, 250, false), lblMessage(*this, kMessageRect, MessageStyle()),
      img100left(*this, SlotRect(1), false, pegdrop::images::LitSlot(1)),
      img500left(*this, SlotRect(2), false, pegdrop::images::LitSlot(2)),
      img1000left(*this, SlotRect(3), false, pegdrop::images::LitSlot(3)),
      img0left(*this, SlotRect(4), false, pegdrop::images::LitSlot(4)),
      img10000(*this, SlotRect(5), false, pegdrop::images::LitSlot(5)),
      img0right(*this, SlotRect(6), false, pegdrop::images::LitSlot(6)),
      img1000right(*this, SlotRect(7), false, pegdrop::images::LitSlot(7)),
      img500right(*this, SlotRect(8), false, pegdrop::images::LitSlot(8)),
      img100right(*this, SlotRect(9), false, pegdrop::images::LitSlot(9)),
      lblScoreboard(*this, {61, 150, 90, 23}, ScoreboardStyle()),
      shpChip(*this, {288, 16, 17, 17}, ui::RGB(192, 0, 128), ui::RGB(192, 192, 192)),
      imgMuted(*this,
               {art::kMutedMarkLeft, art::kMutedMarkTop, art::kMutedMarkSize, art::kMutedMarkSize},
               modPegdrop::Muted, pegdrop::images::MutedMark()),
      stepWait(pegdrop::StepWait), slotImages_{&img100left,   &img500left,  &img1000left,
                                               &img0left,     &img10000,    &img0right,
                                               &img1000right, &img500right, &img100right} {
    SetBackground(pegdrop::images::Board());
    SetBackColor(ui::RGB(0, 0, 0));
    SetIcon(pegdrop::images::Icon());
    tmrScoreFlash.Tick = [this] { tmrScoreFlash_Timer(); };
    tmrRestart.Tick = [this] { tmrRestart_Timer(); };
    tmrFlash.Tick = [this] { tmrFlash_Timer(); };
    tmrAfterChip.Tick = [this] { tmrAfterChip_Timer(); };
    tmrSpaceFlash.Tick = [this] { tmrSpaceFlash_Timer(); };
}

void FrmBoard::RenderTextAhead() {
    ui::RenderLabelAhead(ui::App().Fonts(), MessageStyle(), kMessageRect.width, board::kModePrompt,
                         ui::App().Scale().For(kWidth, kHeight));
}

void FrmBoard::PlaceChip() {
    shpChip.Move(ChipX - 8, ChipY - 8);
}

void FrmBoard::ShowMuted() {
    imgMuted.SetVisible(modPegdrop::Muted);
}

void FrmBoard::HideSlotImages() {
    for (ui::Image* image : slotImages_)
        image->SetVisible(false);
}

// ---- Game flow

void FrmBoard::Form_Load() {
    Show();
    modPegdrop::Speed = pegdrop::ReadSpeedFile(modPegdrop::SpeedFilePath());
    NewGame();
}

void FrmBoard::NewGame() {
    modPegdrop::Winnings = 0;
    modPegdrop::GameMode = 0;
    lblScoreboard.SetFontFace(faces::kScoreboardLed.face);
    lblScoreboard.SetCaption("");
    lblScoreboard.SetForeColor(board::kScoreText);
    tmrScoreFlash.SetEnabled(false);
    shpChip.SetVisible(false);
    lblMessage.SetCaption(board::kModePrompt);
}

void FrmBoard::FirstChip() {
    tmrFlash.SetEnabled(false);
    HideSlotImages();
    ChipX = pegdrop::kChipStartX;
    ChipY = pegdrop::kChipTopY;
    PlaceChip();
    shpChip.SetVisible(true);
    lblMessage.SetCaption(board::kDragPrompt);
}

void FrmBoard::Form_KeyPress(std::int16_t& KeyAscii) {
    std::int16_t key = KeyAscii;
    if (key >= 'a' && key <= 'z')
        key = static_cast<std::int16_t>(key - 'a' + 'A');
    if (modPegdrop::GameMode == 0) {
        PlaySound("ding.wav");
        if (key == 'T') {
            modPegdrop::GameMode = 1;
            ChipsLeft = 5;
            FirstChip();
        } else if (key == 'F') {
            modPegdrop::GameMode = 2;
            lblMessage.SetCaption(board::kCountPrompt);
        }
        return;
    }
    if (key >= '1' && key <= '9' && !shpChip.Visible()) {
        PlaySound("ding.wav");
        ChipsLeft = static_cast<std::int16_t>(key - '0');
        FirstChip();
    } else if (key == 'S' && (ChipY == pegdrop::kChipTopY || !shpChip.Visible())) {
        modPegdrop::frmSpeed.Load();
    }
}

// ---- Aiming and release

void FrmBoard::Form_MouseMove(std::int16_t Button, std::int16_t, float X, float) {
    if (Button == ui::kLeftButton && ChipY == pegdrop::kChipTopY)
        ChipX = pegdrop::AimChipX(X);
    PlaceChip();
}

void FrmBoard::Form_MouseUp(std::int16_t Button, std::int16_t, float, float) {
    if (Button == ui::kLeftButton && ChipY == pegdrop::kChipTopY)
        DropChip();
}

// The keys aim and drop as a drag would: the same handlers, with a pointer
// put where the chip is to go, so the same clamping and the same ChipY test.
void FrmBoard::Form_KeyDown(std::int16_t& KeyCode, std::int16_t Shift) {
    // Ctrl and Alt with an arrow are the desktop's.
    if ((Shift & (ui::kCtrlMask | ui::kAltMask)) != 0)
        return;
    const int step = (Shift & ui::kShiftMask) != 0 ? 20 : 2;
    if (KeyCode == ui::kKeyLeft || KeyCode == ui::kKeyRight) {
        const int to = ChipX + (KeyCode == ui::kKeyLeft ? -step : step);
        Form_MouseMove(ui::kLeftButton, Shift, static_cast<float>(to), static_cast<float>(ChipY));
    } else if (KeyCode == ui::kKeyDown) {
        Form_MouseUp(ui::kLeftButton, Shift, static_cast<float>(ChipX), static_cast<float>(ChipY));
    }
}

void FrmBoard::Form_PadStick(float push, double seconds) {
    if (ChipY != pegdrop::kChipTopY) {
        stickCarry_ = 0;
        return;
    }
    // The chip aims at even pixels only, so it moves two at a time; the rest
    // waits, so that a gentle push still moves it.
    stickCarry_ += push * kStickPixelsPerSecond * seconds;
    const int pairs = static_cast<int>(stickCarry_ / 2);
    if (pairs == 0)
        return;
    stickCarry_ -= 2.0 * pairs;
    Form_MouseMove(ui::kLeftButton, 0, static_cast<float>(ChipX + 2 * pairs),
                   static_cast<float>(ChipY));
}

void FrmBoard::Form_PadButton(Uint8 button) {
    // The d-pad's Up and Down stay off the chip, so that a thumb slipping
    // while aiming never drops it.
    std::int16_t key = button == SDL_CONTROLLER_BUTTON_A            ? ui::kKeyDown
                       : button == SDL_CONTROLLER_BUTTON_DPAD_LEFT  ? ui::kKeyLeft
                       : button == SDL_CONTROLLER_BUTTON_DPAD_RIGHT ? ui::kKeyRight
                                                                    : 0;
    if (key != 0)
        Form_KeyDown(key, 0);
}

// ---- The descent

void FrmBoard::DropChip() {
    lblMessage.SetCaption("");
    pegdrop::RandomSource& random = modPegdrop::Random();
    random.Reseed(modPegdrop::SecondsSinceMidnight());
    ChipDirection = pegdrop::kStraight;
    const pegdrop::Chooser choose = pegdrop::RandomChooser(random);
    pegdrop::StepPacer pacer(stepWait);
    const std::uint64_t released = ui::App().GetClock().NowUs();
    while (ChipY != pegdrop::kChipLandY) {
        pegdrop::ChipMotion chip{ChipX, ChipY, ChipDirection};
        const int bounce = pegdrop::AdvanceChip(pegdrop::BoardLattice(), chip, choose);
        if (bounce != 0)
            PlaySound("bounce" + std::to_string(bounce) + ".wav");
        ChipX = chip.x;
        ChipY = chip.y;
        ChipDirection = chip.direction;
        PlaceChip();
        pacer.Step(modPegdrop::Speed);
        ui::App().DoEvents();
        // Closing the board ends the program: the fall goes with its window.
        if (!IsLoaded())
            return;
    }
    modPegdrop::ReportFall(modPegdrop::Speed, ui::App().GetClock().NowUs() - released);
    if (const pegdrop::Slot* slot = pegdrop::SlotForX(ChipX)) {
        LandedSlot = slot->number;
        if (slot->cue != nullptr)
            PlaySound(slot->cue);
        else if (ChipsLeft == 1 && modPegdrop::Winnings == 0)
            PlaySound("horns.wav");
        else
            PlaySound("0-" + std::to_string(pegdrop::RandomChoice(random)) + ".wav");
        lblMessage.SetCaption(slot->caption);
        SlotImage(slot->number).SetVisible(true);
    }
    tmrAfterChip.SetEnabled(true);
    tmrSpaceFlash.SetEnabled(true);
}

// ---- Settlement and game end

void FrmBoard::tmrAfterChip_Timer() {
    tmrAfterChip.SetEnabled(false);
    tmrSpaceFlash.SetEnabled(false);
    HideSlotImages();
    const pegdrop::Slot* slot = pegdrop::SlotByNumber(LandedSlot);
    modPegdrop::Winnings += slot != nullptr ? slot->prize : 0;
    ChipsLeft = static_cast<std::int16_t>(ChipsLeft - 1);
    if (modPegdrop::Winnings > 0)
        lblScoreboard.SetCaption(std::to_string(modPegdrop::Winnings));
    std::string message;
    if (ChipsLeft != 0) {
        message = pegdrop::ChipsLeftMessage(ChipsLeft);
        ChipX = pegdrop::kChipStartX;
        ChipY = pegdrop::kChipTopY;
        PlaceChip();
    } else {
        message = pegdrop::ClosingMessage(modPegdrop::Winnings, platform::ThousandsSeparator());
        tmrFlash.SetEnabled(true);
        tmrRestart.SetEnabled(true);
        tmrScoreFlash.SetEnabled(true);
    }
    lblMessage.SetCaption(message);
}

void FrmBoard::tmrRestart_Timer() {
    modPegdrop::frmTop10.Load();
    tmrRestart.SetEnabled(false);
}

// ---- Light effects

void FrmBoard::tmrFlash_Timer() {
    FlashStep = static_cast<std::int16_t>(FlashStep % 4 + 1);
    struct Step {
        std::array<int, 3> shown;
        std::array<int, 3> hidden; // slot numbers, 0 ends the list
    };
    static constexpr std::array<Step, 4> kChase = {{
        {{1, 5, 9}, {2, 8, 0}},
        {{4, 6, 0}, {1, 5, 9}},
        {{3, 7, 0}, {4, 6, 0}},
        {{2, 8, 0}, {3, 7, 0}},
    }};
    const Step& step = kChase[static_cast<std::size_t>(FlashStep - 1)];
    for (int slot : step.shown)
        if (slot != 0)
            SlotImage(slot).SetVisible(true);
    for (int slot : step.hidden)
        if (slot != 0)
            SlotImage(slot).SetVisible(false);
}

void FrmBoard::tmrSpaceFlash_Timer() {
    if (LandedSlot < 1 || LandedSlot > 9)
        return;
    ui::Image& image = SlotImage(LandedSlot);
    image.SetVisible(!image.Visible());
}

void FrmBoard::tmrScoreFlash_Timer() {
    const ui::Color colour = lblScoreboard.ForeColor();
    if (colour == board::kScoreText)
        lblScoreboard.SetForeColor(board::kScoreBack);
    else if (colour == board::kScoreBack)
        lblScoreboard.SetForeColor(board::kScoreText);
}
